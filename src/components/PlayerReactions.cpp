#include "components/PlayerReactions.hpp"

#include "components/Energy.hpp"
#include "components/Health.hpp"
#include "components/OriginalSpawnPoint.hpp"
#include "components/SimpleNavigation.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/Body.hpp"
#include "rendering/AnimatedModel.hpp"

namespace components {

using vorn::components::SimpleNavigation;

void hurt(vorn::engine::EntityHandle entity) {
    vorn::engine::World* world = entity.world;
    if (world == nullptr)
        return;
    auto* navigation =
        world->getComponentAs<SimpleNavigation>(entity, SimpleNavigation::componentName);
    auto* model = world->getComponentAs<vorn::components::AnimatedModel>(entity, "animatedModel");
    if (navigation == nullptr || model == nullptr ||
        navigation->animationState == SimpleNavigation::Hurt)
        return;
    navigation->animationState = SimpleNavigation::Hurt;
    model->crossFade("hurt", 0.1f);
    navigation->actionTimer = 0.25f;
}

void respawn(vorn::engine::EntityHandle entity) {
    vorn::engine::World* world = entity.world;
    if (world == nullptr)
        return;
    const auto* spawn =
        world->getComponentAs<OriginalSpawnPoint>(entity, OriginalSpawnPoint::componentName);
    if (spawn == nullptr)
        return;
    if (auto* health = world->getComponentAs<Health>(entity, Health::componentName))
        health->current = health->maximum;
    if (auto* transform = world->getComponentAs<vorn::components::Transform>(
            entity, vorn::components::Transform::componentName))
        transform->setPosition(spawn->position);
    if (auto* body = world->getComponentAs<vorn::components::Body>(entity, "body")) {
        body->velocity = glm::vec3(0.0f);
        body->deltaVelocity = glm::vec3(0.0f);
    }
    if (auto* energy = world->getComponentAs<vorn::components::Energy>(entity, "energy"))
        energy->current = energy->maximum;
    world->deleteComponent(entity, "dead");
}

} // namespace components
