#include "physics/Body.hpp"

#include "engine/Transform.hpp"
#include "engine/World.hpp"

namespace vorn::components {

Body::Body(float mass, float velocityX, float velocityY, float velocityZ)
    : velocity(velocityX, velocityY, velocityZ), mass(mass) {
    addName(componentName);
    updatePriority = 101.0f;
}

void Body::update(float dt) {
    integrate(dt);
}

Transform* Body::integrate(float dt) {
    // At rest nothing moves and nothing changes: skip even the transform lookup.
    if (velocity == glm::vec3(0.0f) && deltaVelocity == glm::vec3(0.0f))
        return nullptr;
    Transform* moved = nullptr;
    Transform* transform =
        getWorld() ? getWorld()->getComponentAs<Transform>(handle(), Transform::componentName)
                   : nullptr;
    if (transform) {
        const glm::vec3 step = dt * velocity + dt * (deltaVelocity / 2.0f);
        // A body at rest leaves its matrix untouched (a zero translation would only cost time).
        if (step.x != 0.0f || step.y != 0.0f || step.z != 0.0f) {
            transform->translate(step);
            moved = transform;
        }
    }
    velocity += deltaVelocity;
    deltaVelocity = glm::vec3(0.0f);
    return moved;
}

} // namespace vorn::components
