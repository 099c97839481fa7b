// Body integration and gravity.
#include "PhysicsScene.hpp"

#include "physics/Body.hpp"
#include "physics/Gravity.hpp"

#include <gtest/gtest.h>

using namespace physics_test;
using vorn::components::Body;
using vorn::systems::Gravity;

TEST(Body, NamesPriorityAndVelocitySource) {
    Body body(2.0f, 1.0f, 2.0f, 3.0f);
    EXPECT_TRUE(body.hasName("body"));
    EXPECT_TRUE(body.hasName("behavior"));
    EXPECT_FALSE(body.hasName(RigidBody::componentName));
    EXPECT_EQ(body.updatePriority, 101.0f);
    EXPECT_EQ(body.mass, 2.0f);
    EXPECT_EQ(body.deltaVelocity, glm::vec3(0.0f));
    const vorn::engine::Component& asComponent = body;
    const auto* source = dynamic_cast<const vorn::engine::VelocitySource*>(&asComponent);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->currentVelocity(), glm::vec3(1.0f, 2.0f, 3.0f));
}

TEST(Body, MovesByTheAverageVelocityAndFoldsInTheChange) {
    ActiveScene scene;
    const EntityHandle e = scene.entityAt(0.0f, 0.0f);
    auto* body = new Body(1.0f, 2.0f, 0.0f, 0.0f);
    scene.world->addComponent(e, body);
    body->deltaVelocity = glm::vec3(0.0f, -4.0f, 0.0f);
    body->update(0.5f);
    EXPECT_EQ(scene.position(e), glm::vec3(1.0f, -1.0f, 0.0f));
    EXPECT_EQ(body->velocity, glm::vec3(2.0f, -4.0f, 0.0f));
    EXPECT_EQ(body->deltaVelocity, glm::vec3(0.0f));
    // Next step: plain velocity, all three axes.
    body->velocity.z = 1.0f;
    body->update(0.5f);
    EXPECT_EQ(scene.position(e), glm::vec3(2.0f, -3.0f, 0.5f));
}

TEST(Body, TranslatesAlongWorldAxesWhateverTheOrientation) {
    ActiveScene scene;
    const EntityHandle e = scene.world->createEntity();
    const glm::mat4 turned =
        glm::rotate(glm::translate(glm::mat4(1.0f), glm::vec3(1.0f, 2.0f, 3.0f)), 1.0f,
                    glm::vec3(0.0f, 0.0f, 1.0f));
    scene.world->addComponent(e, new Transform(turned));
    auto* body = new Body(1.0f, 4.0f, 0.0f, 0.0f);
    scene.world->addComponent(e, body);
    body->update(0.25f);
    EXPECT_EQ(scene.position(e), glm::vec3(2.0f, 2.0f, 3.0f));
    // The axes are untouched.
    EXPECT_EQ(glm::vec3(scene.transform(e)->matrix[0]), glm::vec3(turned[0]));
}

TEST(Body, WithoutTransformStillIntegratesVelocity) {
    ActiveScene scene;
    const EntityHandle e = scene.world->createEntity();
    auto* body = new Body(1.0f, 1.0f, 0.0f, 0.0f);
    scene.world->addComponent(e, body);
    body->deltaVelocity = glm::vec3(0.0f, 3.0f, 0.0f);
    scene.step(0.1f);
    EXPECT_EQ(body->velocity, glm::vec3(1.0f, 3.0f, 0.0f));
    EXPECT_EQ(body->deltaVelocity, glm::vec3(0.0f));
}

TEST(Gravity, NamesAndRequiredNames) {
    Gravity gravity(0.0f, -40.0f, 0.0f, "hasGravity");
    EXPECT_TRUE(gravity.hasName("gravity"));
    EXPECT_TRUE(gravity.hasName("behavior"));
    EXPECT_EQ(gravity.updatePriority, 0.0f);
    EXPECT_EQ(gravity.acceleration, glm::vec3(0.0f, -40.0f, 0.0f));
    EXPECT_EQ(gravity.requiredComponents, (std::set<std::string>{"hasGravity", "body"}));
}

TEST(Gravity, TaggedBodyAtRestGainsMinus40DtEveryFrame) {
    ActiveScene scene;
    scene.world->addComponent(new Gravity(0.0f, -40.0f, 0.0f, "hasGravity"));
    const EntityHandle falling = scene.entityAt(0.0f, 100.0f);
    auto* body = new Body(1.0f, 0.0f, 0.0f, 0.0f);
    scene.world->addComponent(falling, body);
    scene.world->addComponent(falling, new Label("hasGravity"));
    const EntityHandle floating = scene.entityAt(5.0f, 100.0f);
    auto* untagged = new Body(1.0f, 0.0f, 0.0f, 0.0f);
    scene.world->addComponent(floating, untagged);
    // A tagged entity without a body is skipped.
    const EntityHandle bodiless = scene.entityAt(9.0f, 9.0f);
    scene.world->addComponent(bodiless, new Label("hasGravity"));

    const float dt = 1.0f / 60.0f;
    scene.step(dt);
    EXPECT_FLOAT_EQ(body->velocity.y, -40.0f * dt);
    // Gravity ran before the body in the same frame: half the change moved it already.
    EXPECT_FLOAT_EQ(scene.position(falling).y, 100.0f - dt * (40.0f * dt) / 2.0f);
    scene.step(dt);
    EXPECT_FLOAT_EQ(body->velocity.y, -80.0f * dt);
    EXPECT_EQ(untagged->velocity, glm::vec3(0.0f));
    EXPECT_EQ(scene.position(floating), glm::vec3(5.0f, 100.0f, 0.0f));

    // Without the tag the body keeps its speed.
    scene.world->deleteComponent(falling, "hasGravity");
    scene.step(dt);
    EXPECT_FLOAT_EQ(body->velocity.y, -80.0f * dt);
}
