#pragma once

#include "engine/EntityHandle.hpp"
#include "physics/Contact.hpp"

#include <optional>
#include <string>
#include <vector>

namespace vorn::engine {
class World;
}

namespace vorn::components {

// How touchable objects learn who touches them. An entity's contact list is its "rigidBody"'s
// contacts when it has one, otherwise its "collisionTracker"'s; entities with neither touch
// nothing. The toucher for a name is the first contact, in list order, whose other entity carries
// a component answering that name.
class Touch {
public:
    // The entity's contact list, or null when it has no rigid body and no tracker.
    static const std::vector<Contact>* contactsOf(const vorn::engine::World& world,
                                                  vorn::engine::EntityHandle entity);
    // The first entity in the contact list that carries `name`; empty when there is none.
    static std::optional<vorn::engine::EntityHandle> findToucher(const vorn::engine::World& world,
                                                                 vorn::engine::EntityHandle entity,
                                                                 const std::string& name);
};

} // namespace vorn::components
