#include "components/EffectOwnership.hpp"

#include "components/LifeSpan.hpp"
#include "engine/Component.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"

#include <glm/mat3x3.hpp>

namespace components {

using vorn::components::Transform;

glm::vec3 EffectOwnership::ownerPosition(const vorn::engine::Component& owner) {
    if (!owner.getWorld())
        return glm::vec3(0.0f);
    const auto* transform =
        owner.getWorld()->getComponentAs<Transform>(owner.handle(), Transform::componentName);
    return transform ? transform->position() : glm::vec3(0.0f);
}

bool EffectOwnership::isLive(const vorn::engine::Component& owner,
                             const vorn::engine::EntityHandle& effect) {
    vorn::engine::World* world = owner.getWorld();
    return world && effect.entityId != 0 && effect.world == world && world->isLive(effect);
}

void EffectOwnership::end(const vorn::engine::Component& owner,
                          vorn::engine::EntityHandle& effect) {
    if (isLive(owner, effect))
        owner.getWorld()->addComponent(effect, new LifeSpan(0.0f));
    effect = vorn::engine::EntityHandle{};
}

void EffectOwnership::placeBelowFeet(const vorn::engine::Component& owner,
                                     const vorn::engine::EntityHandle& effect) {
    if (!isLive(owner, effect))
        return;
    vorn::engine::World& world = *owner.getWorld();
    const auto* from = world.getComponentAs<Transform>(owner.handle(), Transform::componentName);
    auto* to = world.getComponentAs<Transform>(effect, Transform::componentName);
    if (!from || !to)
        return;
    const glm::vec3 below = glm::mat3(from->matrix) * glm::vec3(0.0f, 3.0f, 0.0f);
    to->setPosition(from->position() - below);
}

} // namespace components
