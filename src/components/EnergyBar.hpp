#pragma once

#include "engine/Behavior.hpp"
#include "engine/EntityHandle.hpp"

#include <string>

namespace vorn::components {

// The HUD's energy bar: its transform's x scale follows the target's "energy", fullWidth wide at
// referenceValue points. A target without energy leaves the bar as it was. Answers "energyBar".
class EnergyBar : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "energyBar";

    EnergyBar(float fullWidth, float referenceValue, vorn::engine::EntityHandle target);

    // Stretches the bar to the target's current energy.
    void update(float dt) override;

    float fullWidth;
    float referenceValue;
    vorn::engine::EntityHandle target;
};

} // namespace vorn::components
