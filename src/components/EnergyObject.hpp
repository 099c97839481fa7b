#pragma once

#include "engine/Behavior.hpp"

#include <string>

namespace vorn::components {

// A sugar pile: every frame the player touches it, his "energy" is filled up to its maximum. It
// stays in place, so it refills again at every later touch. Answers "energyObject".
class EnergyObject : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "energyObject";

    EnergyObject();

    // Fills the touching player's energy.
    void update(float dt) override;
};

} // namespace vorn::components
