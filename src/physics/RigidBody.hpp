#pragma once

#include "engine/EntityHandle.hpp"
#include "physics/Body.hpp"
#include "physics/BroadPhase.hpp"
#include "physics/Contact.hpp"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace vorn::engine {
class EntityCollection;
}
namespace vorn::systems {
class RigidBodySystem;
} // namespace vorn::systems

namespace vorn::components {

class Collider;

// A body that is also solid: after integrating (priority 101, in entity order) a dynamic rigid
// body pushes itself out of every other rigid body it overlaps, exchanges an impulse with it when
// the two approach each other, and records the contact on both bodies. Static bodies integrate
// their own velocity but never resolve and are never pushed. Answers "behavior", "body" and
// "rigidBody".
//
// Contacts: `contacts` is cleared by the world's RigidBodySystem at the start of every physics
// step and when the body leaves its world; during the step it gathers one entry per rigid body
// that this body resolved against or that resolved against this body.
class RigidBody : public Body {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = "rigidBody";

    // `extraRequiredNames` restrict the bodies this one meets to entities that also carry them.
    RigidBody(float mass, bool isStatic, float restitution, float velocityX, float velocityY,
              float velocityZ, const std::set<std::string>& extraRequiredNames = {});

    // Creates the world's RigidBodySystem on entity 0 if there is none.
    void initialize() override;
    // The same for a world this body was carried into.
    void onActivated() override;
    // Clears the contacts and forgets everything cached from the world being left.
    void onRemoved() override;
    // Integrates, then (dynamic bodies only) resolves against every overlapping rigid body.
    void update(float dt) override;

    // Contacts of the current physics step.
    std::vector<Contact> contacts;
    // Bounciness; a pair bounces with the product of both values.
    float restitution;
    // 0 or 1: a static body never resolves and is never moved by another body's resolution.
    float isStatic;
    // The names given at construction plus "transform", "collider" and "rigidBody".
    const std::set<std::string> requiredComponents;

private:
    friend class vorn::systems::RigidBodySystem;

    // The world's system, created when missing.
    vorn::systems::RigidBodySystem* ensureSystem();
    // The world's cached collection for requiredComponents.
    vorn::engine::EntityCollection& candidates();
    // Resolves against the bodies the broad phase finds near this one.
    void resolveNearby(vorn::systems::BroadPhase& broad, uint32_t ownSlot);
    // Tests against one entity's collider and resolves; true when they overlapped.
    bool resolve(vorn::engine::EntityHandle other, const Collider* otherCollider,
                 Transform* otherTransform, RigidBody* otherBody, Transform& ownTransform,
                 const Collider& ownCollider);

    // The world's system; cleared by either side when it leaves the world.
    vorn::systems::RigidBodySystem* system = nullptr;
    vorn::engine::EntityCollection* candidateCache = nullptr;
    const vorn::engine::World* candidateWorld = nullptr;
    // Broad-phase results, reused from frame to frame.
    std::vector<vorn::systems::BroadPhase::Candidate> nearby;
};

} // namespace vorn::components
