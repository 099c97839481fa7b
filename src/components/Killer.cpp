#include "components/Killer.hpp"

#include "components/Action.hpp"
#include "engine/World.hpp"
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
    // Copied: a death action may change this body's contacts.
    const std::vector<vorn::components::Contact> contacts = body->contacts;
    for (const vorn::components::Contact& contact : contacts) {
        if (world->getComponent(contact.other, "player") != nullptr)
            vorn::components::invokeAction(contact.other, "deathAction");
    }
}

} // namespace components
