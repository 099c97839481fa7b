#include "physics/Gravity.hpp"

#include "engine/EntityCollection.hpp"
#include "engine/World.hpp"
#include "physics/Body.hpp"

namespace vorn::systems {

Gravity::Gravity(float accelerationX, float accelerationY, float accelerationZ,
                 const std::string& tagName)
    : acceleration(accelerationX, accelerationY, accelerationZ),
      requiredComponents{tagName, vorn::components::Body::componentName} {
    addName(componentName);
}

void Gravity::onRemoved() {
    bodies = nullptr;
    bodiesWorld = nullptr;
}

void Gravity::update(float dt) {
    if (!getWorld())
        return;
    if (!bodies || bodiesWorld != getWorld()) {
        bodies = &getWorld()->getEntities(requiredComponents);
        bodiesWorld = getWorld();
    }
    const glm::vec3 change = acceleration * dt;
    for (const vorn::engine::EntityHandle& entity : *bodies)
        if (auto* body = getWorld()->getComponentAs<vorn::components::Body>(
                entity, vorn::components::Body::componentName))
            body->deltaVelocity += change;
}

} // namespace vorn::systems
