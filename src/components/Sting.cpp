#include "components/Sting.hpp"

#include "components/Action.hpp"
#include "components/Health.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/Body.hpp"
#include "physics/CollisionTracker.hpp"

#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>

namespace components {

using vorn::components::Transform;
using vorn::engine::EntityHandle;

Sting::Sting(const std::string& targetTag, float amount, float cooldown, float knockBack)
    : targetTag(targetTag), amount(amount), cooldown(cooldown), knockBack(knockBack),
      sinceLast(cooldown) {
    addName(componentName);
    updatePriority = 1000.0f;
}

void Sting::update(float dt) {
    sinceLast += dt;
    vorn::engine::World* world = getWorld();
    if (world == nullptr || sinceLast < cooldown || world->getComponent(handle(), "dead"))
        return;
    const auto* tracker = world->getComponentAs<vorn::components::CollisionTracker>(
        handle(), vorn::components::CollisionTracker::componentName);
    if (tracker == nullptr)
        return;
    for (const vorn::components::Contact& contact : tracker->contacts) {
        const EntityHandle victim{contact.other.entityId, world};
        if (world->getComponent(victim, targetTag) == nullptr)
            continue;
        if (auto* health = world->getComponentAs<Health>(victim, Health::componentName))
            health->damage(amount);
        const auto* own = world->getComponentAs<Transform>(handle(), Transform::componentName);
        const auto* theirs = world->getComponentAs<Transform>(victim, Transform::componentName);
        auto* body = world->getComponentAs<vorn::components::Body>(victim, "body");
        if (own != nullptr && theirs != nullptr && body != nullptr) {
            // Away from the creature in the play plane, but always aside and up: a ninja stung
            // from above is thrown clear rather than into the ground. Straight below, he goes
            // towards +x.
            glm::vec2 away = glm::vec2(theirs->position()) - glm::vec2(own->position());
            if (glm::dot(away, away) > 0.0f)
                away = glm::normalize(away);
            const float side = away.x < 0.0f ? -1.0f : 1.0f;
            away = glm::normalize(glm::vec2(side * std::max(std::abs(away.x), minimumSideways),
                                            std::max(away.y, minimumLift)));
            body->velocity.x = away.x * knockBack;
            body->velocity.y = away.y * knockBack;
        }
        vorn::components::invokeAction(victim, "hurtAction");
        sinceLast = 0.0f;
        return;
    }
}

} // namespace components
