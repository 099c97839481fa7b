#pragma once

#include "engine/Behavior.hpp"
#include "engine/VelocitySource.hpp"

#include <glm/vec3.hpp>

namespace vorn::components {

class Transform;

// A velocity that moves its entity's transform every frame. Gravity and gameplay add to
// `deltaVelocity` during the frame; the update (priority 101) moves the transform by the average
// of the old and the new velocity and then folds the change into `velocity`. Answers "behavior"
// and "body".
class Body : public vorn::engine::Behavior, public vorn::engine::VelocitySource {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = vorn::engine::VelocitySource::componentName;

    Body(float mass, float velocityX, float velocityY, float velocityZ);

    // Moves the transform (if any) by dt * velocity + dt * deltaVelocity / 2, then adds
    // deltaVelocity to velocity and clears it.
    void update(float dt) override;
    // The velocity, for readers that may not depend on physics (the sound listener).
    glm::vec3 currentVelocity() const override { return velocity; }

    // Velocity change gathered during the frame; zero at construction and after every update.
    glm::vec3 deltaVelocity{0.0f, 0.0f, 0.0f};
    // Units per second.
    glm::vec3 velocity;
    // Used by the rigid-body resolution only.
    float mass;

protected:
    // The integration step of update(); returns the transform it moved, or null when there is
    // none or the step was exactly zero.
    Transform* integrate(float dt);
};

} // namespace vorn::components
