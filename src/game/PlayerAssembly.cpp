#include "game/PlayerAssembly.hpp"

#include "components/Energy.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "game/LevelLoader.hpp"
#include "physics/CircleCollider.hpp"
#include "physics/RigidBody.hpp"
#include "rendering/AnimatedModel.hpp"

namespace game {

vorn::engine::EntityHandle assemblePlayer(vorn::engine::World& world, const glm::vec3& p,
                                          const glm::vec3& r, const glm::vec3& s) {
    using namespace vorn::components;
    const vorn::engine::EntityHandle player = world.createEntity();
    world.addComponent(player, new Transform(LevelLoader::placement(p, r, s)));
    world.addComponent(
        player, AnimatedModel::createSkinned("models/ninjaAnimations.txt", "idle").release());
    world.addComponent(player, new CircleCollider(5.0f * s.x));
    world.addComponent(player, new Energy());
    world.addComponent(player, new RigidBody(100.0f * s.x * s.y * s.z, false, 0.0f, 0, 0, 0));
    world.addComponent(player, new Label("hasGravity"));
    world.addComponent(player, new Label("player"));
    world.addComponent(player, new Label("being"));
    return player;
}

} // namespace game
