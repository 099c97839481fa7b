#pragma once

#include "engine/Behavior.hpp"

#include <string>

namespace vorn::components {

// Rolls a ball: every update the entity turns about its local z axis by the angle its circle would
// roll through at its horizontal speed, -2 * v / r degrees for a velocity v and radius r (applied
// once per update, whatever the time step), and its "soundEmitter", if any, gets louder with the
// speed (volume |v| / 10). Needs "transform", "rigidBody" and "circleCollider". Answers
// "spinHorizontalVelocity".
class SpinHorizontalVelocity : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "spinHorizontalVelocity";

    SpinHorizontalVelocity();

    // Turns the entity and sets its rolling sound's volume.
    void update(float dt) override;
};

} // namespace vorn::components
