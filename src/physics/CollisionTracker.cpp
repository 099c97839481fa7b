#include "physics/CollisionTracker.hpp"

#include "engine/EntityCollection.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/Collider.hpp"

namespace vorn::components {

CollisionTracker::CollisionTracker(const std::string& tagName)
    : requiredComponents{tagName, Transform::componentName, Collider::componentName} {
    addName(componentName);
    updatePriority = 102.0f;
}

void CollisionTracker::onRemoved() {
    candidates = nullptr;
    candidatesWorld = nullptr;
}

void CollisionTracker::update(float) {
    contacts.clear();
    if (!getWorld())
        return;
    const engine::EntityHandle self = handle();
    const Transform* ownTransform =
        getWorld()->getComponentAs<Transform>(self, Transform::componentName);
    const Collider* ownCollider =
        getWorld()->getComponentAs<Collider>(self, Collider::componentName);
    if (!ownTransform || !ownCollider)
        return;
    if (!candidates || candidatesWorld != getWorld()) {
        candidates = &getWorld()->getEntities(requiredComponents);
        candidatesWorld = getWorld();
    }
    for (const engine::EntityHandle& other : *candidates) {
        if (other.sameEntity(self))
            continue;
        const Collider* otherCollider =
            getWorld()->getComponentAs<Collider>(other, Collider::componentName);
        if (!otherCollider)
            continue;
        const Transform* otherTransform =
            getWorld()->getComponentAs<Transform>(other, Transform::componentName);
        const glm::vec2 s = ownCollider->collide(*otherCollider, ownTransform, otherTransform);
        if (s.x != 0.0f || s.y != 0.0f)
            contacts.push_back(Contact{s, other});
    }
}

} // namespace vorn::components
