#include "components/Killer.hpp"

#include "components/Action.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/Collider.hpp"
#include "physics/RigidBody.hpp"

namespace components {

namespace {
// How far apart the bounding boxes of the hazard and a player may be and still count as the
// contact of the last physics step: about one frame's travel at a falling ninja's speed.
constexpr float contactSlack = 2.0f;

// The collider's bounding box placed at its entity's position.
bool placedBounds(const vorn::engine::World& world, vorn::engine::EntityHandle entity,
                  vorn::components::Bounds& placed) {
    const auto* collider = world.getComponentAs<vorn::components::Collider>(entity, "collider");
    const auto* transform = world.getComponentAs<vorn::components::Transform>(
        entity, vorn::components::Transform::componentName);
    if (collider == nullptr || transform == nullptr)
        return false;
    const glm::vec2 at(transform->position());
    placed.min = collider->localBounds().min + at;
    placed.max = collider->localBounds().max + at;
    return true;
}
} // namespace

Killer::Killer() {
    addName(componentName);
}

void Killer::update(float) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr)
        return;
    const auto* body = world->getComponentAs<vorn::components::RigidBody>(handle(), "rigidBody");
    if (body == nullptr)
        return;
    // Copied: a death action may change this body's contacts.
    const std::vector<vorn::components::Contact> contacts = body->contacts;
    for (const vorn::components::Contact& contact : contacts) {
        if (world->getComponent(contact.other, "player") == nullptr)
            continue;
        if (!stillNear({contact.other.entityId, world}))
            continue;
        vorn::components::invokeAction({contact.other.entityId, world}, "deathAction");
    }
}

bool Killer::stillNear(vorn::engine::EntityHandle player) const {
    vorn::components::Bounds own, other;
    // Without shapes to compare, the contact is taken as it stands.
    if (!placedBounds(*getWorld(), handle(), own) || !placedBounds(*getWorld(), player, other))
        return true;
    return own.min.x - contactSlack <= other.max.x && other.min.x <= own.max.x + contactSlack &&
           own.min.y - contactSlack <= other.max.y && other.min.y <= own.max.y + contactSlack;
}

} // namespace components
