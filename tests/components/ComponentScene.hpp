#pragma once

#include "components/Energy.hpp"
#include "components/Health.hpp"
#include "components/OriginalSpawnPoint.hpp"
#include "components/PlayerDeathAction.hpp"
#include "components/Score.hpp"
#include "physics/Gravity.hpp"
#include "physics/PhysicsScene.hpp"

#include <cmath>

namespace components_test {

// An active world with the area's gravity, and builders for the things gameplay tests touch.
struct GameplayScene : physics_test::ActiveScene {
    GameplayScene() {
        world->addComponent(new vorn::systems::Gravity(0.0f, -40.0f, 0.0f, "hasGravity"));
    }
    // A free-standing static platform, a box of the given half sizes centred on (x, y).
    vorn::engine::EntityHandle platform(float x, float y, float halfWidth, float halfHeight) {
        const auto e = box(x, y, -halfWidth, -halfHeight, 2.0f * halfWidth, 2.0f * halfHeight,
                           {"platform", "staticBody"});
        addBody(e, 1.0f, true, 1.0f);
        return e;
    }
    // A ninja as the game assembles him, without model, controls or effects: radius 5, mass 100,
    // health, energy, score, spawn point, death action and the player's tags. No "hasGravity", so
    // he stays where a test puts him unless something pushes him.
    vorn::engine::EntityHandle player(float x, float y) {
        const auto e = circle(x, y, 5.0f);
        world->addComponent(e, new ::components::Health(100.0f, "antBite", 0.5f, 0.5f, 0.1f));
        world->addComponent(e, new vorn::components::Energy());
        world->addComponent(e, new vorn::components::Score());
        addBody(e, 100.0f, false, 0.0f);
        world->addComponent(e, new ::components::OriginalSpawnPoint(glm::vec3(x, y, 0.0f)));
        world->addComponent(e, new ::components::PlayerDeathAction());
        world->addComponent(e, new vorn::components::Label("player"));
        world->addComponent(e, new vorn::components::Label("being"));
        return e;
    }
    template <class T> T* get(vorn::engine::EntityHandle e, const std::string& name) const {
        return world->getComponentAs<T>(e, name);
    }
    ::components::Health* health(vorn::engine::EntityHandle e) const {
        return get<::components::Health>(e, "health");
    }
    vorn::components::Energy* energy(vorn::engine::EntityHandle e) const {
        return get<vorn::components::Energy>(e, "energy");
    }
    vorn::components::Score* score(vorn::engine::EntityHandle e) const {
        return get<vorn::components::Score>(e, "score");
    }
    bool has(vorn::engine::EntityHandle e, const std::string& name) const {
        return world->getComponent(e, name) != nullptr;
    }
    // Runs `frames` updates at 60 frames a second.
    void run(int frames) {
        for (int i = 0; i < frames; ++i)
            step(1.0f / 60.0f);
    }
};

} // namespace components_test
