#include "game/PlayerAssembly.hpp"

#include "components/ActionSignal.hpp"
#include "components/Attack.hpp"
#include "components/Damage.hpp"
#include "components/Energy.hpp"
#include "components/Health.hpp"
#include "components/OriginalSpawnPoint.hpp"
#include "components/PlayerDeathAction.hpp"
#include "components/PlayerReactions.hpp"
#include "components/Score.hpp"
#include "components/SimpleNavigation.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/CircleCollider.hpp"
#include "physics/RigidBody.hpp"
#include "rendering/AnimatedModel.hpp"

#include <glm/gtc/matrix_transform.hpp>

namespace game {

namespace {

constexpr float degreesToRadians = 0.017453293f;

glm::mat4 placement(const glm::vec3& p, const glm::vec3& r, const glm::vec3& s) {
    glm::mat4 m = glm::translate(glm::mat4(1.0f), p);
    m = glm::rotate(m, r.z * degreesToRadians, glm::vec3(0.0f, 0.0f, 1.0f));
    m = glm::rotate(m, r.y * degreesToRadians, glm::vec3(0.0f, 1.0f, 0.0f));
    m = glm::rotate(m, r.x * degreesToRadians, glm::vec3(1.0f, 0.0f, 0.0f));
    return glm::scale(m, s);
}

} // namespace

vorn::engine::EntityHandle assemblePlayer(vorn::engine::World& world, const glm::vec3& position,
                                          const glm::vec3& rotationDegrees,
                                          const glm::vec3& scale) {
    namespace vc = vorn::components;
    const vorn::engine::EntityHandle player = world.createEntity();

    world.addComponent(player, new vc::Transform(placement(position, rotationDegrees, scale)));
    world.addComponent(player, vc::AnimatedModel::createSkinned(
                                   "models/ninjaAnimations.txt", "idle",
                                   "models/ninjaTangentMap.png", glm::vec3(0.0f, -10.75f, 0.0f))
                                   .release());
    world.addComponent(player, new vc::CircleCollider(5.0f * scale.x));
    world.addComponent(player, new vc::SimpleNavigation(20.0f, 10.0f, 1.0f, 5.0f, 120.0f));
    world.addComponent(player, new components::Health(100.0f, "antBite", 0.5f, 0.5f, 0.1f));
    world.addComponent(player, new vc::Energy());
    world.addComponent(player, new vc::Score());
    world.addComponent(player, new vc::RigidBody(100.0f * scale.x * scale.y * scale.z, false, 0.0f,
                                                 0.0f, 0.0f, 0.0f));
    world.addComponent(player, new components::OriginalSpawnPoint(position));
    world.addComponent(player, new components::Attack("enemy", 100.0f, 0.05f, 40.0f, 0.2f, 1.0f,
                                                      0.0f, 0.0f, 5.0f, 5.0f, 5.0f));
    world.addComponent(player, new components::Damage("ant", 100.0f, 0.5f, 0.0f));
    world.addComponent(player, new components::PlayerDeathAction());
    world.addComponent(player, new vc::ActionSignal("hurtAction", components::hurt));
    world.addComponent(player, new vc::Label("hasGravity"));
    world.addComponent(player, new vc::Label("player"));
    world.addComponent(player, new vc::Label("being"));
    return player;
}

} // namespace game
