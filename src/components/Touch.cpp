#include "components/Touch.hpp"

#include "engine/World.hpp"
#include "physics/CollisionTracker.hpp"
#include "physics/RigidBody.hpp"

namespace vorn::components {

const std::vector<Contact>* Touch::contactsOf(const vorn::engine::World& world,
                                              vorn::engine::EntityHandle entity) {
    if (const auto* body = world.getComponentAs<RigidBody>(entity, "rigidBody"))
        return &body->contacts;
    if (const auto* tracker = world.getComponentAs<CollisionTracker>(entity, "collisionTracker"))
        return &tracker->contacts;
    return nullptr;
}

std::optional<vorn::engine::EntityHandle> Touch::findToucher(const vorn::engine::World& world,
                                                             vorn::engine::EntityHandle entity,
                                                             const std::string& name) {
    const std::vector<Contact>* contacts = contactsOf(world, entity);
    if (contacts == nullptr)
        return std::nullopt;
    for (const Contact& contact : *contacts) {
        if (world.getComponent(contact.other, name) != nullptr)
            return contact.other;
    }
    return std::nullopt;
}

} // namespace vorn::components
