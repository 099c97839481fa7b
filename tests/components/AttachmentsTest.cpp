// Attachments: position and distance followers, the transform glue, and constant rotation.
#include "components/ConstantRotation.hpp"
#include "components/DistanceAttachment.hpp"
#include "components/PositionAttachment.hpp"
#include "components/TransformAttachment.hpp"
#include "engine/Application.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/Body.hpp"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using vorn::components::ConstantRotation;
using vorn::components::DistanceAttachment;
using vorn::components::PositionAttachment;
using vorn::components::Transform;
using vorn::components::TransformAttachment;
using vorn::engine::EntityHandle;
using vorn::engine::World;

namespace {

struct Scene {
    vorn::engine::Application app{nullptr, 20.0f, 60.0f, "assets/"};
    std::shared_ptr<World> world = std::make_shared<World>();
    Scene() { app.setWorld(world); }
    EntityHandle at(const glm::vec3& p) {
        const EntityHandle e = world->createEntity();
        world->addComponent(e, new Transform(glm::translate(glm::mat4(1.0f), p)));
        return e;
    }
    Transform* transform(EntityHandle e) {
        return world->getComponentAs<Transform>(e, Transform::componentName);
    }
};

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance = 1e-4f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void expectMatrixNear(const glm::mat4& actual, const glm::mat4& expected, float tolerance = 1e-5f) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(actual[c][r], expected[c][r], tolerance) << "column " << c << " row " << r;
}

float degreesBetween(const glm::vec3& a, const glm::vec3& b) {
    return std::acos(glm::dot(a, b) / (glm::length(a) * glm::length(b))) * 57.29578f;
}

} // namespace

TEST(Attachments, NamesAndPriorities) {
    const PositionAttachment position(glm::vec3(0.0f), EntityHandle{});
    const DistanceAttachment distance(glm::vec3(0.0f, 0.0f, 40.0f), 45.0f, EntityHandle{});
    const TransformAttachment glue(false, glm::mat4(1.0f), EntityHandle{});
    const ConstantRotation spin(20.0f, glm::vec3(0.0f, 1.0f, 0.0f));
    EXPECT_TRUE(position.hasName("positionAttachment"));
    EXPECT_TRUE(distance.hasName("distanceAttachment"));
    EXPECT_TRUE(glue.hasName("transformAttachment"));
    EXPECT_TRUE(spin.hasName("constantRotation"));
    for (const vorn::engine::Component* c :
         std::initializer_list<const vorn::engine::Component*>{&position, &distance, &glue, &spin})
        EXPECT_TRUE(c->hasName("behavior"));
    EXPECT_EQ(position.updatePriority, 110.0f);
    EXPECT_EQ(distance.updatePriority, 110.0f);
    EXPECT_EQ(glue.updatePriority, 110.0f);
    EXPECT_EQ(spin.updatePriority, 999.0f);
    EXPECT_EQ(distance.currentOffset, glm::vec3(0.0f, 0.0f, 40.0f));
}

// ---- PositionAttachment ---------------------------------------------------------------------

TEST(PositionAttachment, SitsAtTheOffsetLookingAtTheTarget) {
    Scene scene;
    const EntityHandle target = scene.at({5.0f, 3.0f, 0.0f});
    const EntityHandle camera = scene.at({0.0f, 0.0f, 0.0f});
    scene.world->addComponent(camera, new PositionAttachment({0.0f, 0.0f, 100.0f}, target));
    scene.world->update(0.016f);
    const glm::mat4& m = scene.transform(camera)->matrix;
    EXPECT_EQ(glm::vec3(m[3]), glm::vec3(5.0f, 3.0f, 100.0f));
    EXPECT_EQ(m[3][3], 1.0f);
    // The z axis points from the target to the camera, as a camera's does.
    expectNear(glm::vec3(m[2]), {0.0f, 0.0f, 1.0f});
    expectNear(glm::vec3(m[0]), {1.0f, 0.0f, 0.0f});
    expectNear(glm::vec3(m[1]), {0.0f, 1.0f, 0.0f});
}

TEST(PositionAttachment, FollowsWhereTheTargetMovedInTheSameFrame) {
    Scene scene;
    const EntityHandle camera = scene.at({0.0f, 0.0f, 0.0f}); // created first: lower id
    const EntityHandle target = scene.at({0.0f, 0.0f, 0.0f});
    scene.world->addComponent(target, new vorn::components::Body(1.0f, 10.0f, 0.0f, 0.0f));
    scene.world->addComponent(camera, new PositionAttachment({0.0f, 2.0f, 10.0f}, target));
    scene.world->update(0.5f);
    EXPECT_EQ(scene.transform(camera)->position(), glm::vec3(5.0f, 2.0f, 10.0f));
}

TEST(PositionAttachment, MissingTargetLeavesTheEntityAlone) {
    Scene scene;
    const EntityHandle camera = scene.at({1.0f, 2.0f, 3.0f});
    scene.world->addComponent(
        camera, new PositionAttachment({0.0f, 0.0f, 100.0f}, EntityHandle{77, scene.world.get()}));
    const glm::mat4 before = scene.transform(camera)->matrix;
    scene.world->update(0.016f);
    EXPECT_EQ(scene.transform(camera)->matrix, before);
}

TEST(PositionAttachment, StraightAboveTheTargetKeepsFiniteAxes) {
    Scene scene;
    const EntityHandle target = scene.at({0.0f, 0.0f, 0.0f});
    const EntityHandle camera = scene.at({0.0f, 0.0f, 0.0f});
    scene.world->addComponent(camera, new PositionAttachment({0.0f, 30.0f, 0.0f}, target));
    scene.world->update(0.016f);
    const glm::mat4& m = scene.transform(camera)->matrix;
    EXPECT_EQ(glm::vec3(m[3]), glm::vec3(0.0f, 30.0f, 0.0f));
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_TRUE(std::isfinite(m[c][r]));
}

// ---- DistanceAttachment ---------------------------------------------------------------------

TEST(DistanceAttachment, LeftFarOffToTheSideIsHeldAtTheLimitAngle) {
    Scene scene;
    const EntityHandle target = scene.at({2.0f, 1.0f, 0.0f});
    const EntityHandle camera = scene.at({42.0f, 1.0f, 0.0f}); // (40, 0, 0) from the target
    auto* boom = new DistanceAttachment({0.0f, 0.0f, 40.0f}, 45.0f, target);
    scene.world->addComponent(camera, boom);
    scene.world->update(0.016f);
    const glm::vec3 relative = scene.transform(camera)->position() - glm::vec3(2.0f, 1.0f, 0.0f);
    EXPECT_NEAR(glm::length(relative), 40.0f, 1e-3f);
    EXPECT_NEAR(degreesBetween(relative, {0.0f, 0.0f, 40.0f}), 45.0f, 1e-2f);
    // Turned towards the side it was left on.
    expectNear(relative, {40.0f * std::sqrt(0.5f), 0.0f, 40.0f * std::sqrt(0.5f)}, 1e-3f);
    expectNear(boom->currentOffset, relative, 1e-4f);
    // And looking at the target.
    expectNear(glm::vec3(scene.transform(camera)->matrix[2]), glm::normalize(relative));
}

TEST(DistanceAttachment, WithinTheLimitKeepsTheDirectionAndTheLength) {
    Scene scene;
    const EntityHandle target = scene.at({0.0f, 0.0f, 0.0f});
    const EntityHandle camera = scene.at({10.0f, 0.0f, 30.0f}); // about 18 degrees off
    scene.world->addComponent(camera, new DistanceAttachment({0.0f, 0.0f, 40.0f}, 45.0f, target));
    scene.world->update(0.016f);
    const glm::vec3 expected = glm::normalize(glm::vec3(10.0f, 0.0f, 30.0f)) * 40.0f;
    expectNear(scene.transform(camera)->position(), expected);
    // The target moves away: the boom lags behind, keeping its length.
    scene.transform(target)->setPosition({0.0f, 0.0f, -20.0f});
    scene.world->update(0.016f);
    const glm::vec3 relative = scene.transform(camera)->position() - glm::vec3(0.0f, 0.0f, -20.0f);
    EXPECT_NEAR(glm::length(relative), 40.0f, 1e-3f);
    EXPECT_LT(degreesBetween(relative, {0.0f, 0.0f, 1.0f}), 18.5f);
}

TEST(DistanceAttachment, ExactlyOnTheTargetKeepsThePreviousOffset) {
    Scene scene;
    const EntityHandle target = scene.at({3.0f, 4.0f, 5.0f});
    const EntityHandle camera = scene.at({3.0f, 4.0f, 5.0f});
    auto* boom = new DistanceAttachment({0.0f, 0.0f, 40.0f}, 45.0f, target);
    scene.world->addComponent(camera, boom);
    scene.world->update(0.016f);
    EXPECT_EQ(boom->currentOffset, glm::vec3(0.0f, 0.0f, 40.0f));
    EXPECT_EQ(scene.transform(camera)->position(), glm::vec3(3.0f, 4.0f, 45.0f));
}

TEST(DistanceAttachment, LeftExactlyBehindTheTargetStaysFiniteAtTheLimit) {
    Scene scene;
    const EntityHandle target = scene.at({0.0f, 0.0f, 0.0f});
    const EntityHandle camera = scene.at({0.0f, 0.0f, -10.0f});
    auto* boom = new DistanceAttachment({0.0f, 0.0f, 40.0f}, 45.0f, target);
    scene.world->addComponent(camera, boom);
    scene.world->update(0.016f);
    const glm::vec3 p = scene.transform(camera)->position();
    ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
    EXPECT_NEAR(glm::length(p), 40.0f, 1e-3f);
    EXPECT_NEAR(degreesBetween(p, {0.0f, 0.0f, 1.0f}), 45.0f, 1e-2f);
}

// ---- TransformAttachment --------------------------------------------------------------------

TEST(TransformAttachment, MatrixIsTheTargetsTimesTheOffset) {
    Scene scene;
    const glm::mat4 body = glm::rotate(glm::translate(glm::mat4(1.0f), glm::vec3(1.0f, 2.0f, 0.0f)),
                                       0.5f, glm::vec3(0.0f, 1.0f, 0.0f));
    const EntityHandle ant = scene.world->createEntity();
    scene.world->addComponent(ant, new Transform(body));
    const EntityHandle head = scene.at({0.0f, 0.0f, 0.0f});
    const glm::mat4 offset = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, 4.0f));
    scene.world->addComponent(head, new TransformAttachment(false, offset, ant));
    scene.world->update(0.016f);
    EXPECT_EQ(scene.transform(head)->matrix, body * offset);
    // The order matters: the offset is in the target's frame.
    EXPECT_NE(scene.transform(head)->matrix, offset * body);
}

TEST(TransformAttachment, KeepsItsLastMatrixWhenTheTargetIsGone) {
    Scene scene;
    const EntityHandle ant = scene.at({1.0f, 0.0f, 0.0f});
    const EntityHandle head = scene.at({0.0f, 0.0f, 0.0f});
    scene.world->addComponent(head, new TransformAttachment(false, glm::mat4(1.0f), ant));
    scene.world->update(0.016f);
    const glm::mat4 last = scene.transform(head)->matrix;
    scene.world->destroyEntity(ant);
    scene.world->update(0.016f);
    EXPECT_TRUE(scene.world->isLive(head));
    EXPECT_EQ(scene.transform(head)->matrix, last);
}

TEST(TransformAttachment, DestroyedWithItsTargetWhenAsked) {
    Scene scene;
    const EntityHandle ant = scene.at({1.0f, 0.0f, 0.0f});
    const EntityHandle head = scene.at({0.0f, 0.0f, 0.0f});
    scene.world->addComponent(head, new TransformAttachment(true, glm::mat4(1.0f), ant));
    // Something later in the same pass still runs after the entity is gone.
    const EntityHandle later = scene.at({0.0f, 0.0f, 0.0f});
    scene.world->addComponent(later, new ConstantRotation(90.0f, glm::vec3(0.0f, 0.0f, 1.0f)));
    scene.world->update(0.016f);
    EXPECT_TRUE(scene.world->isLive(head));
    scene.world->destroyEntity(ant);
    const glm::mat4 before = scene.transform(later)->matrix;
    scene.world->update(0.016f);
    EXPECT_FALSE(scene.world->isLive(head));
    EXPECT_TRUE(scene.world->getEntityComponents(head).empty());
    EXPECT_NE(scene.transform(later)->matrix, before);
}

// ---- ConstantRotation -----------------------------------------------------------------------

TEST(ConstantRotation, TurnsTwoDegreesInATenthOfASecondInItsOwnFrame) {
    Scene scene;
    const glm::mat4 start =
        glm::rotate(glm::translate(glm::mat4(1.0f), glm::vec3(4.0f, 5.0f, 6.0f)), 1.5707964f,
                    glm::vec3(1.0f, 0.0f, 0.0f));
    const EntityHandle upgrade = scene.world->createEntity();
    scene.world->addComponent(upgrade, new Transform(start));
    scene.world->addComponent(upgrade, new ConstantRotation(20.0f, glm::vec3(0.0f, 1.0f, 0.0f)));
    scene.world->update(0.1f);
    const glm::mat4 expected =
        start * glm::rotate(glm::mat4(1.0f), 2.0f * 0.017453293f, glm::vec3(0.0f, 1.0f, 0.0f));
    expectMatrixNear(scene.transform(upgrade)->matrix, expected);
    EXPECT_EQ(scene.transform(upgrade)->position(), glm::vec3(4.0f, 5.0f, 6.0f));
    // Pre-multiplying instead would have turned it about the world's y axis.
    const glm::mat4 worldTurn =
        glm::rotate(glm::mat4(1.0f), 2.0f * 0.017453293f, glm::vec3(0.0f, 1.0f, 0.0f)) * start;
    EXPECT_GT(std::fabs(scene.transform(upgrade)->matrix[1][0] - worldTurn[1][0]) +
                  std::fabs(scene.transform(upgrade)->matrix[0][2] - worldTurn[0][2]),
              1e-3f);
}

TEST(ConstantRotation, ZeroAxisOrNoTransformDoesNothing) {
    Scene scene;
    const EntityHandle e = scene.at({1.0f, 1.0f, 1.0f});
    scene.world->addComponent(e, new ConstantRotation(20.0f, glm::vec3(0.0f)));
    const EntityHandle bare = scene.world->createEntity();
    auto* spin = new ConstantRotation(20.0f, glm::vec3(0.0f, 1.0f, 0.0f));
    scene.world->addComponent(bare, spin);
    const glm::mat4 before = scene.transform(e)->matrix;
    scene.world->update(0.1f);
    EXPECT_EQ(scene.transform(e)->matrix, before);
    // The bare entity's rotation neither gives it a transform nor leaves the world...
    EXPECT_EQ(scene.world->getComponent(bare, Transform::componentName), nullptr);
    EXPECT_EQ(scene.world->getComponent(bare, ConstantRotation::componentName), spin);
    // ...and it turns a transform that arrives later, from the next frame on.
    scene.world->addComponent(bare, new Transform());
    scene.world->update(0.1f);
    expectMatrixNear(
        scene.transform(bare)->matrix,
        glm::rotate(glm::mat4(1.0f), 2.0f * 0.017453293f, glm::vec3(0.0f, 1.0f, 0.0f)));
}

// ---- moving to another world ----------------------------------------------------------------

TEST(Attachments, CarriedIntoAnotherWorldFollowTheTargetIdThere) {
    Scene scene;
    const EntityHandle target = scene.at({1.0f, 0.0f, 0.0f});
    const EntityHandle camera = scene.at({0.0f, 0.0f, 0.0f});
    scene.world->addComponent(camera, new PositionAttachment({0.0f, 0.0f, 10.0f}, target));
    scene.world->update(0.016f);

    auto next = std::make_shared<World>();
    const EntityHandle newTarget = next->createEntity(); // the same id, 1, in the new world
    next->addComponent(newTarget,
                       new Transform(glm::translate(glm::mat4(1.0f), glm::vec3(7.0f, 0.0f, 0.0f))));
    const EntityHandle newCamera = next->createEntity();
    const auto components = scene.world->getEntityComponents(camera);
    for (auto* c : std::vector<vorn::engine::Component*>(components.begin(), components.end()))
        next->addComponent(newCamera, scene.world->removeComponent(c));
    scene.app.setWorld(next);
    scene.app.update(0.016f);
    scene.world.reset();
    next->update(0.016f);
    EXPECT_EQ(next->getComponentAs<Transform>(newCamera, Transform::componentName)->position(),
              glm::vec3(7.0f, 0.0f, 10.0f));
}
