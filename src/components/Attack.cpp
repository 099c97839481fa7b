#include "components/Attack.hpp"

#include "components/Damage.hpp"
#include "components/LifeSpan.hpp"
#include "components/SimpleNavigation.hpp"
#include "engine/Diagnostics.hpp"
#include "engine/InputSource.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/Body.hpp"
#include "physics/CollisionTracker.hpp"
#include "physics/PolygonCollider.hpp"
#include "rendering/AnimatedModel.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/Sprite.hpp"

#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>

namespace components {

using vorn::components::Transform;
using vorn::engine::World;

Attack::Attack(const std::string& targetTag, float damage, float windupTime, float punchSpeed,
               float punchLifetime, float recoveryTime, float punchOffsetX, float punchOffsetY,
               float punchOffsetZ, float punchWidth, float punchHeight)
    : targetTag(targetTag), damage(damage), punchLifetime(punchLifetime), punchSpeed(punchSpeed),
      recoveryTime(recoveryTime), windupTime(windupTime),
      punchOffset(punchOffsetX, punchOffsetY, punchOffsetZ), punchSize(punchWidth, punchHeight) {
    addName(componentName);
}

void Attack::update(float dt) {
    World* world = getWorld();
    if (world == nullptr || world->getComponent(handle(), "dead") != nullptr)
        return;
    switch (state) {
    case WindUp:
        timer += dt;
        if (timer >= windupTime)
            strike();
        break;
    case Recovery:
        timer += dt;
        if (timer >= recoveryTime) {
            state = Ready;
            timer = 0.0f;
        }
        break;
    case Ready: {
        const vorn::engine::InputSource& input = vorn::engine::InputSource::instance();
        if (input.isKeyPressed(sf::Keyboard::X) || input.isKeyPressed(sf::Keyboard::K))
            startSwing();
        break;
    }
    default:
        vorn::engine::Diagnostics::out() << "invaild attack state\n";
        break;
    }
}

void Attack::startSwing() {
    World* world = getWorld();
    timer = 0.0f;
    state = WindUp;
    glm::vec3 point = punchOffset;
    if (const auto* transform =
            world->getComponentAs<Transform>(handle(), Transform::componentName))
        point = glm::vec3(transform->matrix * glm::vec4(punchOffset, 1.0f));
    swingSound.play(point);

    using vorn::components::SimpleNavigation;
    auto* navigation =
        world->getComponentAs<SimpleNavigation>(handle(), SimpleNavigation::componentName);
    auto* model = world->getComponentAs<vorn::components::AnimatedModel>(handle(), "animatedModel");
    if (navigation != nullptr && model != nullptr &&
        navigation->animationState != SimpleNavigation::Punching) {
        navigation->animationState = SimpleNavigation::Punching;
        model->crossFade("punch", 0.1f);
        navigation->actionTimer = 0.33f;
    }
}

void Attack::strike() {
    World* world = getWorld();
    state = Recovery;
    const vorn::engine::EntityHandle punch = world->createEntity();
    punchEntity = punch;

    if (const auto* own = world->getComponentAs<Transform>(handle(), Transform::componentName)) {
        const glm::mat4& m = own->matrix;
        glm::mat4 placement = glm::translate(m, punchOffset);
        placement = glm::scale(placement, glm::vec3(1.0f, punchSize.x, punchSize.y));
        placement = glm::rotate(placement, glm::radians(-90.0f), glm::vec3(0.0f, 1.0f, 0.0f));
        world->addComponent(punch, new Transform(placement));
        // Forward is the attacker's local z axis.
        glm::vec3 forward(m[2]);
        if (glm::dot(forward, forward) > 0.0f)
            forward = glm::normalize(forward);
        const glm::vec3 velocity = punchSpeed * forward;
        world->addComponent(punch,
                            new vorn::components::Body(0.2f, velocity.x, velocity.y, velocity.z));
    }
    world->addComponent(punch,
                        new vorn::components::Sprite(
                            true, vorn::rendering::textureCache().get("images/punchSprite.png"),
                            0.0f, true, false));
    world->addComponent(
        punch, new vorn::components::PolygonCollider(0.0f, -punchSize.x / 2.0f, -punchSize.y / 2.0f,
                                                     punchSize.x, punchSize.y, 1.0f, 1.0f));
    world->addComponent(punch, new vorn::components::CollisionTracker(targetTag));
    world->addComponent(punch, new LifeSpan(punchLifetime));
    const bool sword = world->getComponent(handle(), "swordEnabled") != nullptr;
    world->addComponent(punch,
                        new Damage(targetTag, sword ? 2.0f * damage : damage, punchLifetime, 0.0f));
    world->addComponent(punch, new vorn::components::Label("gameSpace"));
}

} // namespace components
