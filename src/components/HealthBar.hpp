#pragma once

#include "engine/Behavior.hpp"
#include "engine/EntityHandle.hpp"

#include <string>

namespace components {

// The HUD's health bar: its transform's x scale follows the target's "health", fullWidth wide at
// referenceValue points. A target without health leaves the bar as it was. Answers "healthBar".
class HealthBar : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "healthBar";

    HealthBar(float fullWidth, float referenceValue, vorn::engine::EntityHandle target);

    // Stretches the bar to the target's current health.
    void update(float dt) override;

    float fullWidth;
    float referenceValue;
    vorn::engine::EntityHandle target;
};

} // namespace components
