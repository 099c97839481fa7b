#pragma once

#include "engine/Behavior.hpp"
#include "physics/BroadPhase.hpp"

#include "engine/ScopedConnection.hpp"

#include <unordered_map>
#include <vector>

namespace vorn::components {
class RigidBody;
}

namespace vorn::systems {

// Opens every physics step: at update priority 100, before the bodies (101), it clears the
// contact list of every rigid body of its world. It also owns the world's broad phase, which
// the rigid bodies query instead of scanning every other rigid body; the broad phase can be
// switched off, and the bodies then run the full scan (both give the same contacts in the same
// order). One per world, on the world's own entity (id 0), created by the first rigid body.
// Answers "rigidBodySystem".
//
// Lifetime: the system follows the world's components answering "rigidBody" through the world's
// signals from the moment it is first used in a world until it leaves it. Bodies may keep a
// pointer to it; when the system leaves its world it makes every body it knows forget it.
class RigidBodySystem : public vorn::engine::Behavior {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = "rigidBodySystem";

    RigidBodySystem();
    ~RigidBodySystem() override;

    // Starts following the world's rigid bodies.
    void initialize() override;
    // Lets go of the world being left, and of the bodies that pointed at this system.
    void onRemoved() override;
    // Clears every rigid body's contacts; the broad phase re-reads positions before its next
    // query.
    void update(float dt) override;

    // Switches the broad phase on (the default) or off (every body scans every other one).
    void setBroadPhaseEnabled(bool enabled);
    // Whether the bodies use the broad phase.
    bool broadPhaseEnabled() const { return useBroadPhase; }
    // Edge length of the broad phase's grid cells.
    void setCellSize(float size) { index.setCellSize(size); }

    // The broad phase over this system's world, ready for queries; null while it is switched off
    // or the system is in no world.
    BroadPhase* broadPhase();
    // Follows the current world, if not yet done (bodies call it before keeping a pointer).
    void attach();

private:
    void detach();
    void addBody(vorn::engine::Component* component);
    void removeBody(vorn::engine::Component* component);

    bool useBroadPhase = true;
    BroadPhase index;
    // The world being followed, and its rigid bodies (each answering "rigidBody" and of type
    // RigidBody), with their places in `bodies`.
    vorn::engine::World* attachedWorld = nullptr;
    std::vector<vorn::components::RigidBody*> bodies;
    std::unordered_map<const vorn::engine::Component*, size_t> bodyIndex;
    std::vector<vorn::engine::ScopedConnection> connections;
};

} // namespace vorn::systems
