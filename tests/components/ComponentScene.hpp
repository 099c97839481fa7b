#pragma once

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
    // Runs `frames` updates at 60 frames a second.
    void run(int frames) {
        for (int i = 0; i < frames; ++i)
            step(1.0f / 60.0f);
    }
};

} // namespace components_test
