// Worker ants crawling round platforms, turning at markers and falling when they lose their hold.
#include "components/AntBehaviour.hpp"
#include "ComponentScene.hpp"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using components_test::GameplayScene;
using vorn::components::AntBehaviour;
using vorn::engine::EntityHandle;

constexpr float antRadius = 2.5f;

// A worker ant's body as the level builds it: circle, dynamic rigid body, gravity tag, crawling.
EntityHandle addAnt(GameplayScene& scene, float x, float y, bool clockwise) {
    const EntityHandle ant = scene.circle(x, y, antRadius, {"hasGravity", "ant"});
    scene.addBody(ant, 100.0f, false, 0.0f);
    scene.world->addComponent(ant, new AntBehaviour(clockwise, 10.0f, 0.2f, 0.5f, 10.0f));
    return ant;
}

AntBehaviour* behaviour(GameplayScene& scene, EntityHandle ant) {
    return scene.world->getComponentAs<AntBehaviour>(ant, AntBehaviour::componentName);
}

TEST(AntBehaviour, WalkingDirectionFollowsTheSense) {
    struct Case {
        glm::vec2 normal;
        bool clockwise;
        glm::vec2 walk;
    };
    const Case cases[] = {
        {{0, 1}, true, {-1, 0}},  {{0, 1}, false, {1, 0}}, {{-1, 0}, true, {0, -1}},
        {{-1, 0}, false, {0, 1}}, {{0, -1}, true, {1, 0}}, {{1, 0}, false, {0, -1}},
    };
    for (const Case& c : cases) {
        const glm::vec2 w = AntBehaviour::walkingDirection(c.normal, c.clockwise);
        EXPECT_EQ(w, c.walk) << c.normal.x << "," << c.normal.y << " cw " << c.clockwise;
    }
}

// Where on a box centred on the origin the ant is: 0 top, 1 left side, 2 underside, 3 right side.
int sideOf(const glm::vec3& p, float halfHeight) {
    if (p.y > halfHeight)
        return 0;
    if (p.y < -halfHeight)
        return 2;
    return p.x < 0.0f ? 1 : 3;
}

TEST(AntBehaviour, CrawlsAllTheWayRoundAFreeStandingBoxInBothSenses) {
    const float halfWidth = 15.0f, halfHeight = 6.0f;
    for (const bool clockwise : {true, false}) {
        SCOPED_TRACE(clockwise ? "clockwise" : "counter-clockwise");
        GameplayScene scene;
        scene.platform(0.0f, 0.0f, halfWidth, halfHeight);
        const glm::vec3 start(0.0f, halfHeight + antRadius, 0.0f);
        const EntityHandle ant = addAnt(scene, start.x, start.y, clockwise);
        // Clockwise walks towards -x on the top, so it meets the left side first.
        const int expectedOrder[] = {0, clockwise ? 1 : 3, 2, clockwise ? 3 : 1, 0};
        int reached = 0;
        bool backAtStart = false;
        float farthest = 0.0f;
        for (int frame = 0; frame < 60 * 60 && !backAtStart; ++frame) {
            scene.step(1.0f / 60.0f);
            const glm::vec3 p = scene.position(ant);
            // Never farther from the box than a body's width: it has not fallen off.
            const float dx = std::max(std::abs(p.x) - halfWidth, 0.0f);
            const float dy = std::max(std::abs(p.y) - halfHeight, 0.0f);
            farthest = std::max(farthest, std::sqrt(dx * dx + dy * dy));
            const int side = sideOf(p, halfHeight);
            if (reached < 4 && side == expectedOrder[reached + 1])
                ++reached;
            if (reached == 4 && glm::length(p - start) < 1.0f)
                backAtStart = true;
        }
        EXPECT_EQ(reached, 4);
        EXPECT_TRUE(backAtStart);
        EXPECT_LT(farthest, 2.0f * antRadius);
        EXPECT_TRUE(behaviour(scene, ant)->onPlatform);
        EXPECT_EQ(scene.world->getComponent(ant, "hasGravity"), nullptr);
    }
}

} // namespace

namespace {

TEST(AntBehaviour, TurnsAtAMarkerAndBothMarkersLeaveItCounterClockwise) {
    GameplayScene scene;
    scene.platform(0.0f, 0.0f, 60.0f, 5.0f);
    const EntityHandle ant = addAnt(scene, 0.0f, 5.0f + antRadius, true);
    // A counter-clockwise marker to the left, where a clockwise ant on a floor walks to.
    scene.circle(-12.0f, 5.0f + antRadius, 2.5f, {"antCommandCCW"});
    float leftmost = 0.0f;
    for (int frame = 0; frame < 600; ++frame) {
        scene.step(1.0f / 60.0f);
        leftmost = std::min(leftmost, scene.position(ant).x);
    }
    EXPECT_FALSE(behaviour(scene, ant)->clockwise);
    EXPECT_LT(leftmost, -7.0f);             // it got to the marker...
    EXPECT_GT(leftmost, -12.0f);            // ...but not past its centre,
    EXPECT_GT(scene.position(ant).x, 5.0f); // and walks towards +x since.
    EXPECT_GT(scene.body(ant)->velocity.x, 0.0f);

    // Standing on both markers at once, the counter-clockwise one has the last word.
    scene.circle(30.0f, 5.0f + antRadius, 2.5f, {"antCommandCW"});
    scene.circle(30.0f, 5.0f + antRadius, 2.5f, {"antCommandCCW"});
    scene.transform(ant)->setPosition(glm::vec3(30.0f, 5.0f + antRadius, 0.0f));
    behaviour(scene, ant)->clockwise = true;
    scene.step(1.0f / 60.0f);
    EXPECT_FALSE(behaviour(scene, ant)->clockwise);
}

TEST(AntBehaviour, FallsWithGravityAndAirDragWhenItTouchesNoPlatform) {
    GameplayScene scene;
    const EntityHandle ant = addAnt(scene, 0.0f, 50.0f, true);
    scene.world->deleteComponent(ant, "hasGravity");
    scene.body(ant)->velocity = glm::vec3(10.0f, 0.0f, 3.0f);
    scene.step(0.05f);
    // Not on a platform: the gravity tag comes back, and only x is dragged (10 * 0.2 * 0.05).
    EXPECT_FALSE(behaviour(scene, ant)->onPlatform);
    EXPECT_NE(scene.world->getComponent(ant, "hasGravity"), nullptr);
    EXPECT_FLOAT_EQ(scene.body(ant)->deltaVelocity.x, -0.1f);
    EXPECT_FLOAT_EQ(scene.body(ant)->deltaVelocity.z, 0.0f);
    scene.run(120);
    EXPECT_LT(scene.position(ant).y, 0.0f);
}

TEST(AntBehaviour, ClimbsAWallItRunsInto) {
    GameplayScene scene;
    scene.platform(0.0f, 0.0f, 60.0f, 5.0f);   // floor
    scene.platform(20.0f, 25.0f, 5.0f, 20.0f); // wall standing on it, face at x = 15
    const EntityHandle ant = addAnt(scene, 5.0f, 5.0f + antRadius, false);
    float highest = 0.0f;
    for (int frame = 0; frame < 300; ++frame) {
        scene.step(1.0f / 60.0f);
        highest = std::max(highest, scene.position(ant).y);
    }
    EXPECT_GT(highest, 20.0f);
    EXPECT_LT(scene.position(ant).x, 15.0f);
    // Standing on the wall, its up axis is the wall's normal.
    EXPECT_NEAR(scene.transform(ant)->matrix[1].x, -1.0f, 0.05f);
}

} // namespace
