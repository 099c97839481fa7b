#pragma once

#include "engine/Behavior.hpp"

#include <glm/vec3.hpp>

namespace vorn::components {

// Spins its entity about an axis of its own frame at a constant rate (the upgrade pickups).
// Update priority 999. Answers "constantRotation".
class ConstantRotation : public vorn::engine::Behavior {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = "constantRotation";

    ConstantRotation(float rate, const glm::vec3& axis);

    // Post-multiplies the transform by a turn of rate * dt degrees about `axis`.
    void update(float dt) override;

    // Degrees per second.
    float rate;
    glm::vec3 axis;
};

} // namespace vorn::components
