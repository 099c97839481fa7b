#include "physics/RigidBody.hpp"

#include "engine/EntityCollection.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/Collider.hpp"
#include "physics/RigidBodySystem.hpp"

#include <cmath>

namespace vorn::components {

namespace {

std::set<std::string> withBaseNames(std::set<std::string> names) {
    names.insert(Transform::componentName);
    names.insert(Collider::componentName);
    names.insert(RigidBody::componentName);
    return names;
}
} // namespace

RigidBody::RigidBody(float mass, bool isStatic, float restitution, float velocityX, float velocityY,
                     float velocityZ, const std::set<std::string>& extraRequiredNames)
    : Body(mass, velocityX, velocityY, velocityZ), restitution(restitution),
      isStatic(isStatic ? 1.0f : 0.0f), requiredComponents(withBaseNames(extraRequiredNames)) {
    addName(componentName);
}

void RigidBody::initialize() {
    ensureSystem();
}

void RigidBody::onActivated() {
    ensureSystem();
}

void RigidBody::onRemoved() {
    contacts.clear();
    system = nullptr;
    candidateCache = nullptr;
    candidateWorld = nullptr;
}

systems::RigidBodySystem* RigidBody::ensureSystem() {
    if (!getWorld())
        return nullptr;
    if (system)
        return system;
    const engine::EntityHandle worldEntity{0, getWorld()};
    systems::RigidBodySystem* found = nullptr;
    if (engine::Component* existing =
            getWorld()->getComponent(worldEntity, vorn::systems::RigidBodySystem::componentName)) {
        found = dynamic_cast<systems::RigidBodySystem*>(existing);
    } else {
        found = new systems::RigidBodySystem();
        getWorld()->addComponent(worldEntity, found);
        if (found->getWorld() != getWorld())
            return nullptr;
    }
    if (found) {
        // Once attached, the system knows this body and clears the pointer if it leaves first.
        found->attach();
        system = found;
    }
    return found;
}

engine::EntityCollection& RigidBody::candidates() {
    if (!candidateCache || candidateWorld != getWorld()) {
        candidateCache = &getWorld()->getEntities(requiredComponents);
        candidateWorld = getWorld();
    }
    return *candidateCache;
}

void RigidBody::update(float dt) {
    const Transform* moved = integrate(dt);
    if (!getWorld())
        return;
    if (isStatic != 0.0f) {
        // Static bodies never resolve; others still meet one where it has just moved to.
        if (moved)
            if (systems::RigidBodySystem* found = ensureSystem())
                if (systems::BroadPhase* broad = found->broadPhase())
                    broad->refresh(getEntityId());
        return;
    }
    systems::RigidBodySystem* found = ensureSystem();
    if (systems::BroadPhase* broad = found ? found->broadPhase() : nullptr) {
        const int64_t slot = broad->slotOfEntity(getEntityId());
        if (slot >= 0) {
            resolveNearby(*broad, static_cast<uint32_t>(slot));
            return;
        }
    }
    // The full scan: every entity of the collection, in ascending id.
    const engine::EntityHandle self = handle();
    Transform* ownTransform = getWorld()->getComponentAs<Transform>(self, Transform::componentName);
    const Collider* ownCollider =
        getWorld()->getComponentAs<Collider>(self, Collider::componentName);
    if (!ownTransform || !ownCollider)
        return;
    for (const engine::EntityHandle& other : candidates()) {
        if (other.sameEntity(self))
            continue;
        resolve(other, getWorld()->getComponentAs<Collider>(other, Collider::componentName),
                getWorld()->getComponentAs<Transform>(other, Transform::componentName),
                getWorld()->getComponentAs<RigidBody>(other, RigidBody::componentName),
                *ownTransform, *ownCollider);
    }
}

void RigidBody::resolveNearby(systems::BroadPhase& broad, uint32_t ownSlot) {
    broad.refreshSlot(ownSlot);
    const systems::BroadPhase::Members own = broad.members(ownSlot);
    if (!own.transform || !own.collider)
        return;
    // The broad phase indexes exactly the collection of the three base names; extra names narrow
    // it further.
    const engine::EntityCollection* filter =
        requiredComponents.size() > 3 ? &candidates() : nullptr;
    broad.query(getEntityId(), -1, nearby);
    // `nearby` holds, in ascending id, the bodies near where this one is now. A push moves this
    // body, so after each contact the rest of the scan is asked for again from the new position,
    // beyond the id just handled: the same visits as the full scan, minus pairs that cannot touch.
    size_t i = 0;
    while (i < nearby.size()) {
        const systems::BroadPhase::Candidate candidate = nearby[i++];
        const engine::EntityHandle other{candidate.entityId, getWorld()};
        if (filter && !filter->contains(other))
            continue;
        const systems::BroadPhase::Members& theirs = broad.members(candidate.slot);
        if (resolve(other, theirs.collider, theirs.transform, theirs.body, *own.transform,
                    *own.collider)) {
            broad.refreshSlot(ownSlot);
            broad.refreshSlot(candidate.slot);
            broad.query(getEntityId(), candidate.entityId, nearby);
            i = 0;
        }
    }
}

bool RigidBody::resolve(engine::EntityHandle other, const Collider* otherCollider,
                        Transform* otherTransform, RigidBody* b, Transform& ownTransform,
                        const Collider& ownCollider) {
    if (!otherCollider)
        return false;
    const glm::vec2 s = ownCollider.collide(*otherCollider, &ownTransform, otherTransform);
    if (s.x == 0.0f && s.y == 0.0f)
        return false;
    if (!b || !otherTransform)
        return false;

    // Share of the push taken by the other body: none for a static one, else by mass. Two bodies
    // whose masses add up to zero (or are not numbers) split it evenly rather than turning both
    // positions into NaN.
    float w = 0.0f;
    if (b->isStatic == 0.0f) {
        w = mass / (mass + b->mass);
        if (!std::isfinite(w))
            w = 0.5f;
    }
    const float ownShare = 1.0f - w;
    if (ownShare != 0.0f)
        ownTransform.translate(glm::vec3(ownShare * s.x, ownShare * s.y, 0.0f));
    if (w != 0.0f)
        otherTransform->translate(glm::vec3(-w * s.x, -w * s.y, 0.0f));

    // Impulse along the separation, only while the two approach each other.
    const float length = std::sqrt(s.x * s.x + s.y * s.y);
    if (length > 0.0f && std::isfinite(length)) {
        const glm::vec2 n = s / length;
        const glm::vec2 r(b->velocity.x - velocity.x, b->velocity.y - velocity.y);
        const float vn = r.x * n.x + r.y * n.y;
        if (vn > 0.0f) {
            const glm::vec2 j = n * vn;
            const float k = 1.0f + restitution * b->restitution;
            const glm::vec2 ownChange = j * ownShare * k;
            const glm::vec2 otherChange = j * w * k;
            velocity.x += ownChange.x;
            velocity.y += ownChange.y;
            b->velocity.x -= otherChange.x;
            b->velocity.y -= otherChange.y;
        }
    }

    contacts.push_back(Contact{s, other});
    b->contacts.push_back(Contact{-s, handle()});
    return true;
}

} // namespace vorn::components
