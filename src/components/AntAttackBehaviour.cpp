#include "components/AntAttackBehaviour.hpp"

#include "components/Energy.hpp"
#include "components/Health.hpp"
#include "components/OriginalSpawnPoint.hpp"
#include "engine/Diagnostics.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/Body.hpp"
#include "physics/CollisionTracker.hpp"
#include "physics/PolygonCollider.hpp"

#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>

namespace components {

using vorn::components::Transform;

AntAttackBehaviour::AntAttackBehaviour(float windupTime, float damage, float recoveryTime,
                                       float biteOffsetX, float biteOffsetY, float biteOffsetZ,
                                       float biteWidth, float biteHeight)
    : windupTime(windupTime), damage(damage), recoveryTime(recoveryTime),
      biteOffset(biteOffsetX, biteOffsetY, biteOffsetZ), biteSize(biteWidth, biteHeight) {
    addName(componentName);
    updatePriority = 102.0f;
}

void AntAttackBehaviour::update(float dt) {
    if (getWorld() == nullptr)
        return;
    switch (state) {
    case ready:
        if (trigger) {
            trigger = false;
            timer = 0.0f;
            state = windingUp;
        }
        break;
    case windingUp:
        timer += dt;
        if (timer >= windupTime)
            bite();
        break;
    case biting:
        resolveBite();
        recover(dt);
        break;
    case recovering:
        recover(dt);
        break;
    default:
        vorn::engine::Diagnostics::out() << "invaild attack state\n";
        break;
    }
}

void AntAttackBehaviour::onRemoved() {
    if (state == biting && getWorld() != nullptr && biteEntity.world == getWorld())
        getWorld()->destroyEntity(biteEntity);
}

void AntAttackBehaviour::recover(float dt) {
    // The timer runs on from the start of the wind-up.
    timer += dt;
    if (timer >= recoveryTime) {
        state = ready;
        timer = 0.0f;
    }
}

void AntAttackBehaviour::bite() {
    vorn::engine::World& world = *getWorld();
    state = biting;
    biteEntity = world.createEntity();
    if (const auto* ant = world.getComponentAs<Transform>(handle(), Transform::componentName))
        world.addComponent(biteEntity, new Transform(glm::translate(ant->matrix, biteOffset)));
    world.addComponent(biteEntity, new vorn::components::PolygonCollider(
                                       0.0f, -biteSize.x / 2.0f, -biteSize.y / 2.0f, biteSize.x,
                                       biteSize.y, 1.0f, 1.0f));
    world.addComponent(biteEntity, new vorn::components::CollisionTracker("player"));
}

void AntAttackBehaviour::resolveBite() {
    vorn::engine::World& world = *getWorld();
    const auto* tracker =
        world.getComponentAs<vorn::components::CollisionTracker>(biteEntity, "collisionTracker");
    const auto* ant = world.getComponentAs<Transform>(handle(), Transform::componentName);
    if (tracker != nullptr) {
        // Copied: the bite area goes away below, and reactions may change the world.
        const std::vector<vorn::components::Contact> contacts = tracker->contacts;
        for (const vorn::components::Contact& contact : contacts) {
            const vorn::engine::EntityHandle victim = contact.other;
            auto* health = world.getComponentAs<Health>(victim, Health::componentName);
            if (health == nullptr) {
                sendHome(victim);
            } else if (health->damage(damage)) {
                // Knocked away from the ant's body by a unit change of velocity.
                auto* body = world.getComponentAs<vorn::components::Body>(victim, "body");
                const auto* at = world.getComponentAs<Transform>(victim, Transform::componentName);
                if (body != nullptr && at != nullptr && ant != nullptr) {
                    const glm::vec3 away = at->position() - ant->position();
                    if (glm::dot(away, away) > 0.0f)
                        body->deltaVelocity += glm::normalize(away);
                }
            } else {
                sendHome(victim);
                health->current = health->maximum;
            }
        }
    }
    world.destroyEntity(biteEntity);
    state = recovering;
}

void AntAttackBehaviour::sendHome(vorn::engine::EntityHandle victim) const {
    vorn::engine::World& world = *getWorld();
    const auto* spawn =
        world.getComponentAs<OriginalSpawnPoint>(victim, OriginalSpawnPoint::componentName);
    auto* transform = world.getComponentAs<Transform>(victim, Transform::componentName);
    if (spawn != nullptr && transform != nullptr)
        transform->setPosition(spawn->position);
    if (auto* body = world.getComponentAs<vorn::components::Body>(victim, "body")) {
        body->velocity = glm::vec3(0.0f);
        body->deltaVelocity = glm::vec3(0.0f);
    }
    if (auto* energy = world.getComponentAs<vorn::components::Energy>(victim, "energy"))
        energy->current = energy->maximum;
}

} // namespace components
