#include "components/Damage.hpp"

#include "components/Action.hpp"
#include "components/Health.hpp"
#include "engine/Diagnostics.hpp"
#include "engine/World.hpp"
#include "physics/Body.hpp"
#include "physics/CollisionTracker.hpp"
#include "physics/RigidBody.hpp"

namespace components {

using vorn::engine::EntityHandle;
using vorn::engine::World;

Damage::Damage(const std::string& targetTag, float amount, float cooldown, float knockback)
    : amount(amount), cooldown(cooldown), timer(cooldown), knockback(knockback),
      targetTag(targetTag) {
    addName(componentName);
    updatePriority = 1000.0f;
}

void Damage::update(float dt) {
    timer += dt;
    World* world = getWorld();
    if (!(timer > cooldown) || world == nullptr)
        return;
    // An entity on its way out strikes no more: a punch whose life ends in the frame its cooldown
    // runs out would otherwise hit a second time.
    for (const EntityHandle& leaving : world->pendingDestroy())
        if (leaving == handle())
            return;
    if (!sourceAlive(*world))
        return;

    // A tracker decides alone: only its first contact counts, hit or not.
    auto* tracker =
        world->getComponentAs<vorn::components::CollisionTracker>(handle(), "collisionTracker");
    if (tracker != nullptr && !tracker->contacts.empty()) {
        EntityHandle other = tracker->contacts.front().other;
        other.world = world;
        if (world->getComponent(other, targetTag) != nullptr) {
            if (auto* health = world->getComponentAs<Health>(other, Health::componentName))
                health->damage(amount);
            vorn::components::invokeAction(other, "hurtAction");
        }
        timer = 0.0f;
        return;
    }

    auto* rigid = world->getComponentAs<vorn::components::RigidBody>(handle(), "rigidBody");
    if (rigid == nullptr)
        return;
    for (size_t i = 0; i < rigid->contacts.size(); ++i) {
        const vorn::components::Contact& contact = rigid->contacts[i];
        EntityHandle other = contact.other;
        other.world = world;
        if (world->getComponent(other, targetTag) == nullptr)
            continue;
        vorn::engine::Diagnostics::out() << "hit!" << i << "\n";
        if (auto* health = world->getComponentAs<Health>(other, Health::componentName))
            health->damage(amount);
        auto* body = world->getComponentAs<vorn::components::Body>(other, "body");
        // A body without mass cannot be thrown (and would turn its velocity into infinities).
        if (body != nullptr && body->mass > 0.0f) {
            const glm::vec2 push = -contact.separation * knockback / body->mass;
            body->deltaVelocity.x += push.x;
            body->deltaVelocity.y += push.y;
        }
        vorn::components::invokeAction(other, "hurtAction");
        timer = 0.0f;
        return;
    }
}

bool Damage::sourceAlive(World& world) const {
    if (source.entityId == 0)
        return true;
    const EntityHandle own{source.entityId, &world};
    if (!world.isLive(own))
        return false;
    const auto* health = world.getComponentAs<Health>(own, Health::componentName);
    return health == nullptr || health->current > 0.0f;
}

} // namespace components
