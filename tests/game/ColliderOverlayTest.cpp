// How the collider overlay classifies colliders and where it puts a point on the screen.
#include "game/tools/ColliderOverlay.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/CircleCollider.hpp"
#include "physics/CollisionTracker.hpp"
#include "physics/RigidBody.hpp"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <functional>
#include <set>

using game::ColliderOverlay;
using Kind = ColliderOverlay::Kind;

TEST(ColliderOverlay, EveryKindOfColliderHasItsOwnColour) {
    vorn::engine::World world;
    using Add = std::function<void(vorn::engine::EntityHandle)>;
    const auto body = [&](bool isStatic) {
        return [&world, isStatic](vorn::engine::EntityHandle e) {
            world.addComponent(
                e, new vorn::components::RigidBody(1.0f, isStatic, 0.0f, 0.0f, 0.0f, 0.0f));
        };
    };
    const auto tracker = [&](vorn::engine::EntityHandle e) {
        world.addComponent(e, new vorn::components::CollisionTracker("player"));
    };
    const auto marker = [&](vorn::engine::EntityHandle e) {
        world.addComponent(e, new vorn::components::Label("antCommandCW"));
        tracker(e);
    };
    const std::vector<std::pair<Add, Kind>> cases = {
        {body(true), Kind::staticPlatform},
        {body(false), Kind::dynamicBody},
        {tracker, Kind::trigger},
        {marker, Kind::antTurnMarker},
        {[](vorn::engine::EntityHandle) {}, Kind::other},
    };
    std::set<std::tuple<float, float, float>> colours;
    for (const auto& [add, kind] : cases) {
        const vorn::engine::EntityHandle e = world.createEntity();
        world.addComponent(e, new vorn::components::Transform(glm::mat4(1.0f)));
        world.addComponent(e, new vorn::components::CircleCollider(1.0f));
        add(e);
        EXPECT_EQ(ColliderOverlay::kindOf(world, e), kind) << static_cast<int>(kind);
        const glm::vec3 c = ColliderOverlay::colourOf(kind);
        colours.insert({c.r, c.g, c.b});
    }
    EXPECT_EQ(colours.size(), cases.size());
}

TEST(ColliderOverlay, PointsProjectToWindowPixelsAndNothingBehindTheCamera) {
    const glm::mat4 view = glm::inverse(glm::translate(glm::mat4(1.0f), {0.0f, 0.0f, 100.0f}));
    const glm::mat4 viewProjection =
        glm::perspective(45.0f * 0.017453293f, 4.0f / 3.0f, 0.1f, 1000.0f) * view;
    glm::vec2 pixel;
    ASSERT_TRUE(ColliderOverlay::toScreen(viewProjection, {0.0f, 0.0f, 0.0f}, pixel));
    EXPECT_NEAR(pixel.x, 400.0f, 1e-3f);
    EXPECT_NEAR(pixel.y, 300.0f, 1e-3f);
    // The top edge of the view at the distance of 100: tan(22.5 degrees) * 100 up.
    ASSERT_TRUE(ColliderOverlay::toScreen(viewProjection, {0.0f, 41.421356f, 0.0f}, pixel));
    EXPECT_NEAR(pixel.y, 600.0f, 0.05f);
    EXPECT_FALSE(ColliderOverlay::toScreen(viewProjection, {0.0f, 0.0f, 200.0f}, pixel));
}
