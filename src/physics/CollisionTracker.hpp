#pragma once

#include "engine/Behavior.hpp"
#include "physics/Contact.hpp"

#include <set>
#include <string>
#include <vector>

namespace vorn::engine {
class EntityCollection;
}

namespace vorn::components {

// Records, every frame, which entities carrying a given tag overlap its own entity's collider.
// Answers "collisionTracker"; updates at priority 102, after the rigid bodies of the same frame.
// The list lives from one update of the tracker to its next; it never accumulates.
class CollisionTracker : public vorn::engine::Behavior {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = "collisionTracker";

    // Tracks entities that carry `tagName` together with a "transform" and a "collider".
    explicit CollisionTracker(const std::string& tagName);

    // Forgets the cached entity collection: it belongs to the world being left.
    void onRemoved() override;
    // Rebuilds the contact list in ascending entity id.
    void update(float dt) override;

    // The names an entity must carry to be tested: the tag, "transform" and "collider".
    const std::set<std::string> requiredComponents;
    // The contacts found by the last update, in ascending entity id of the other entity.
    std::vector<Contact> contacts;

private:
    // The world's cached collection for `required`; valid while this tracker stays in that world.
    vorn::engine::EntityCollection* candidates = nullptr;
    const vorn::engine::World* candidatesWorld = nullptr;
};

} // namespace vorn::components
