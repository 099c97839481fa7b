#include "components/Killer.hpp"

#include "components/Action.hpp"
#include "engine/World.hpp"
#include "physics/Collider.hpp"
#include "physics/RigidBody.hpp"

namespace components {

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
    const auto* collider = world->getComponentAs<vorn::components::Collider>(handle(), "collider");
    // Copied: a death action may change this body's contacts.
    const std::vector<vorn::components::Contact> contacts = body->contacts;
    for (const vorn::components::Contact& contact : contacts) {
        if (world->getComponent(contact.other, "player") == nullptr)
            continue;
        // The contacts are those of the last physics step, before anything of this frame moved. A
        // ninja brought back to life elsewhere since then is no longer on the hazard and must not
        // die again; only an overlap that still holds counts.
        const auto* other =
            world->getComponentAs<vorn::components::Collider>(contact.other, "collider");
        if (collider != nullptr && other != nullptr) {
            const glm::vec2 separation = collider->collide(*other, nullptr, nullptr);
            if (separation.x == 0.0f && separation.y == 0.0f)
                continue;
        }
        vorn::components::invokeAction({contact.other.entityId, world}, "deathAction");
    }
}

} // namespace components
