// The ninja as the game builds him, driven on the test stage with scripted keys at a fixed time
// step. The animated model needs an OpenGL context, hence a GL test.
#include "components/Attack.hpp"
#include "components/Damage.hpp"
#include "components/DustyFeet.hpp"
#include "components/Energy.hpp"
#include "components/Health.hpp"
#include "components/OriginalSpawnPoint.hpp"
#include "components/SimpleNavigation.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "game/PlayerAssembly.hpp"
#include "particles/DustEmitter.hpp"
#include "particles/ParticleSystem.hpp"
#include "physics/CircleCollider.hpp"
#include "physics/RigidBody.hpp"
#include "support/GlTestContext.hpp"
#include "support/TestStage.hpp"

#include "audio/SoundManager.hpp"
#include "components/Action.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

using components::Health;
using testsupport::TestStage;
using vorn::components::Energy;
using vorn::components::Label;
using vorn::components::RigidBody;
using vorn::components::SimpleNavigation;
using vorn::components::Transform;
using vorn::engine::EntityHandle;

class NinjaTest : public ::testing::Test {
protected:
    void SetUp() override {
        context = std::make_unique<testsupport::GlTestContext>(16, 16);
        ASSERT_TRUE(context->ok()) << context->error();
    }

    // A fresh ninja standing at (x, y) on the stage, settled for a few frames without keys.
    EntityHandle spawn(float x, float y = TestStage::floorTop + 5.0f, float scale = 1.0f) {
        ninja = game::assemblePlayer(*stage.world, glm::vec3(x, y, 0.0f), glm::vec3(0.0f),
                                     glm::vec3(scale));
        stage.run(10);
        return ninja;
    }
    SimpleNavigation& nav() {
        return *stage.world->getComponentAs<SimpleNavigation>(ninja,
                                                              SimpleNavigation::componentName);
    }
    Energy& energy() { return *stage.world->getComponentAs<Energy>(ninja, "energy"); }
    Health& health() { return *stage.world->getComponentAs<Health>(ninja, Health::componentName); }
    RigidBody& body() { return *stage.world->getComponentAs<RigidBody>(ninja, "rigidBody"); }
    Transform& transform() {
        return *stage.world->getComponentAs<Transform>(ninja, Transform::componentName);
    }
    glm::vec3 position() { return transform().position(); }
    bool has(const std::string& name) { return stage.world->getComponent(ninja, name) != nullptr; }
    void give(const std::string& label) { stage.world->addComponent(ninja, new Label(label)); }

    std::unique_ptr<testsupport::GlTestContext> context;
    TestStage stage;
    EntityHandle ninja;
};

TEST_F(NinjaTest, FreshPlayerHasTheGamesValuesAtEveryScale) {
    struct Case {
        float scale;
        float radius;
        float mass;
    };
    for (const Case& c : {Case{1.0f, 5.0f, 100.0f}, Case{2.0f, 10.0f, 800.0f}}) {
        SCOPED_TRACE(c.scale);
        const EntityHandle p = game::assemblePlayer(*stage.world, glm::vec3(-40.0f, 30.0f, 0.0f),
                                                    glm::vec3(0.0f), glm::vec3(c.scale));
        auto* collider =
            stage.world->getComponentAs<vorn::components::CircleCollider>(p, "collider");
        ASSERT_NE(collider, nullptr);
        EXPECT_FLOAT_EQ(collider->radius(), c.radius);
        EXPECT_FLOAT_EQ(stage.world->getComponentAs<RigidBody>(p, "rigidBody")->mass, c.mass);
        for (const char* tag : {"player", "being", "hasGravity"})
            EXPECT_NE(stage.world->getComponent(p, tag), nullptr) << tag;
        auto* spawnPoint = stage.world->getComponentAs<components::OriginalSpawnPoint>(
            p, components::OriginalSpawnPoint::componentName);
        ASSERT_NE(spawnPoint, nullptr);
        EXPECT_EQ(spawnPoint->position, glm::vec3(-40.0f, 30.0f, 0.0f));

        // The components joined in the assembly's order, each finding the ones before it.
        std::vector<std::string> order;
        const std::vector<std::string> expected = {
            "transform", "animatedModel", "collider",   "simpleNav",          "health",
            "energy",    "score",         "rigidBody",  "originalSpawnPoint", "attack",
            "damage",    "deathAction",   "hurtAction", "hasGravity",         "player",
            "being"};
        for (const auto* component : stage.world->getEntityComponents(p))
            for (const std::string& name : expected)
                if (component->hasName(name))
                    order.push_back(name);
        EXPECT_EQ(order, expected);
        stage.world->destroyEntity(p);
    }
}

TEST_F(NinjaTest, WalkingTurnsHimTowardsTheWalkingDirection) {
    struct Case {
        const char* key;
        float facing;
        float forwardX;
    };
    for (const Case& c : {Case{"Right", -1.0f, 1.0f}, Case{"Left", 1.0f, -1.0f}}) {
        SCOPED_TRACE(c.key);
        spawn(0.0f);
        const float startX = position().x;
        stage.play(std::string("0-29 hold ") + c.key);
        stage.run(30);
        EXPECT_EQ(nav().facing, c.facing);
        EXPECT_NEAR(transform().matrix[2].x, c.forwardX, 1e-4f); // the model's forward axis
        EXPECT_NEAR(transform().matrix[1].y, 1.0f, 1e-4f);       // upright on flat ground
        EXPECT_GT((position().x - startX) * c.forwardX, 3.0f);
        EXPECT_EQ(nav().animationState, SimpleNavigation::Walking);
        stage.world->destroyEntity(ninja);
    }
}

TEST_F(NinjaTest, HoldingSpaceJumpsOnceAndCostsFive) {
    spawn(0.0f);
    stage.play("0-179 hold Space");
    stage.run(6);
    EXPECT_EQ(nav().animationState, SimpleNavigation::Jumping);
    EXPECT_GT(body().velocity.y, 20.0f);
    float highest = 0.0f;
    int landings = 0;
    bool wasUp = false;
    for (int i = 0; i < 170; ++i) {
        stage.run(1);
        highest = std::max(highest, position().y);
        const bool up = position().y > TestStage::floorTop + 6.0f;
        if (wasUp && !up)
            ++landings;
        wasUp = up;
    }
    EXPECT_GT(highest, 12.0f);
    EXPECT_EQ(landings, 1); // landed once and, the key still held, stayed down
    EXPECT_NEAR(position().y, TestStage::floorTop + 5.0f, 0.6f);
    EXPECT_FLOAT_EQ(energy().current, 95.0f);
}

TEST_F(NinjaTest, DoubleJumpNeedsItsSkillAndComesOncePerLanding) {
    struct Case {
        bool enabled;
        float energyAfterFirstFlight;
        float energyAfterSecondFlight;
    };
    // Press, release, press twice more in the air; land; the same again.
    const std::string presses = "0-2 hold Space\n20-22 hold Space\n30-32 hold Space\n"
                                "150-152 hold Space\n170-172 hold Space\n";
    for (const Case& c : {Case{true, 85.0f, 70.0f}, Case{false, 95.0f, 90.0f}}) {
        SCOPED_TRACE(c.enabled);
        spawn(-40.0f);
        if (c.enabled)
            give("doubleJumpEnabled");
        stage.play(presses);
        stage.run(20);
        const float fallingSpeed = body().velocity.y;
        stage.run(1);
        if (c.enabled) {
            EXPECT_TRUE(nav().doubleJumpUsed);
            EXPECT_GT(body().velocity.y, 25.0f) << "was " << fallingSpeed;
        } else {
            EXPECT_LT(body().velocity.y, 20.0f);
        }
        stage.run(129);
        EXPECT_FLOAT_EQ(energy().current, c.energyAfterFirstFlight);
        stage.run(150);
        EXPECT_FLOAT_EQ(energy().current, c.energyAfterSecondFlight);
        stage.world->destroyEntity(ninja);
    }
}

TEST_F(NinjaTest, WithoutEnergyNoJumpWorks) {
    // Standing, and falling from high above the floor with the double jump earned: without
    // energy no press lifts him; with it, the press in the air is the double jump.
    struct Case {
        const char* name;
        float height;
        float energy;
        bool rises;
    };
    const Case cases[] = {
        {"standing, no energy", 5.0f, 0.0f, false},
        {"falling, no energy", 60.0f, 0.0f, false},
        {"falling, with energy", 60.0f, 100.0f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        spawn(0.0f, TestStage::floorTop + c.height);
        give("doubleJumpEnabled");
        energy().current = c.energy;
        energy().regenDelay = 1000.0f;
        const bool airborne = position().y > TestStage::floorTop + 6.0f;
        EXPECT_EQ(airborne, c.height > 5.0f);
        stage.play("0-2 hold Space");
        stage.run(3);
        EXPECT_EQ(body().velocity.y > 5.0f, c.rises) << body().velocity.y;
        EXPECT_EQ(nav().doubleJumpUsed, airborne && c.rises);
        stage.world->destroyEntity(ninja);
    }
}

TEST_F(NinjaTest, PressingIntoTheWallClingsAndClimbingDrainsEnergy) {
    struct Case {
        const char* keys;
        bool climbs;
    };
    // Right presses him into the wall; then the vertical keys alone steer him along it.
    for (const Case& c : {Case{"Up", true}, Case{"Up Down", false}}) {
        SCOPED_TRACE(c.keys);
        spawn(TestStage::wallFace - 8.0f);
        stage.play(std::string("0-29 hold Right\n30-119 hold ") + c.keys);
        stage.run(30);
        EXPECT_TRUE(nav().clinging);
        EXPECT_FALSE(has("hasGravity"));
        const float energyAt30 = energy().current;
        const float heightAt30 = position().y;
        stage.run(60);
        EXPECT_TRUE(nav().clinging);
        if (c.climbs) {
            EXPECT_GT(position().y, heightAt30 + 10.0f);
            // Up the wall, clear of the floor, the climb drains 5 a second while pushing.
            EXPECT_LT(energy().current, energyAt30 - 2.0f);
            EXPECT_GT(energy().current, energyAt30 - 5.5f);
        } else {
            EXPECT_NEAR(position().y, heightAt30, 0.5f); // up and down cancel
            EXPECT_FLOAT_EQ(energy().current, energyAt30);
        }
        stage.world->destroyEntity(ninja);
    }
}

TEST_F(NinjaTest, ClingingEndsWhenTheEnergyRunsOut) {
    spawn(TestStage::wallFace - 8.0f);
    stage.play("0-29 hold Right\n30-299 hold Up");
    stage.run(60);
    ASSERT_TRUE(nav().clinging);
    energy().current = 0.5f; // a tenth of a second of climbing
    stage.run(12);
    EXPECT_EQ(energy().current, 0.0f);
    EXPECT_FALSE(nav().clinging);
    EXPECT_TRUE(has("hasGravity"));
    const float top = position().y;
    stage.run(60);
    EXPECT_LT(position().y, top - 5.0f); // he slides down the wall
}

TEST_F(NinjaTest, AnimationFollowsWhatHeDoes) {
    spawn(TestStage::floorLeft + 10.0f);
    EXPECT_EQ(nav().animationState, SimpleNavigation::Idle);
    stage.play("0-59 hold Left");
    stage.run(12);
    EXPECT_EQ(nav().animationState, SimpleNavigation::Walking);
    // Off the floor's end he falls without jumping...
    bool sawFreefall = false;
    bool sawLanding = false;
    for (int i = 0; i < 150 && !sawLanding; ++i) {
        stage.run(1);
        sawFreefall |= nav().animationState == SimpleNavigation::Falling;
        sawLanding |= nav().animationState == SimpleNavigation::Landing;
    }
    EXPECT_TRUE(sawFreefall);
    EXPECT_TRUE(sawLanding); // ...and lands on the lower platform
    EXPECT_NEAR(position().y, TestStage::lowerTop + 5.0f, 1.0f);
    stage.play("");
    stage.run(60);
    EXPECT_EQ(nav().animationState, SimpleNavigation::Idle);
}

TEST_F(NinjaTest, PunchLivesAFifthOfASecondAndHitsHarderWithTheSword) {
    struct Case {
        bool sword;
        float damage;
    };
    for (const Case& c : {Case{false, 100.0f}, Case{true, 200.0f}}) {
        SCOPED_TRACE(c.sword);
        spawn(-40.0f);
        if (c.sword)
            give("swordEnabled");
        // Face +x, then stand still with an enemy just ahead.
        stage.play("0-5 hold Right");
        stage.run(40);
        const glm::vec3 p = position();
        const EntityHandle target = stage.world->createEntity();
        stage.world->addComponent(
            target, new Transform(glm::translate(glm::mat4(1.0f), p + glm::vec3(10, 0, 0))));
        stage.world->addComponent(target, new vorn::components::CircleCollider(3.0f));
        stage.world->addComponent(target, new Label("enemy"));
        auto* targetHealth = new Health(500.0f, "hit", 0.0f, 0.0f);
        stage.world->addComponent(target, targetHealth);

        auto& attack = *stage.world->getComponentAs<components::Attack>(ninja, "attack");
        stage.play("0 hold X");
        stage.run(1);
        EXPECT_EQ(attack.state, components::Attack::WindUp);
        EXPECT_EQ(nav().animationState, SimpleNavigation::Punching);
        stage.run(3); // wind-up of 0.05 s
        ASSERT_EQ(attack.state, components::Attack::Recovery);
        const EntityHandle punch = attack.punchEntity;
        ASSERT_TRUE(stage.world->isLive(punch));
        auto* damage = stage.world->getComponentAs<components::Damage>(punch, "damage");
        ASSERT_NE(damage, nullptr);
        EXPECT_FLOAT_EQ(damage->amount, c.damage);
        for (const char* part : {"model", "collider", "collisionTracker", "body", "gameSpace"})
            EXPECT_NE(stage.world->getComponent(punch, part), nullptr) << part;
        int frames = 0;
        while (stage.world->isLive(punch) && frames < 60) {
            stage.run(1);
            ++frames;
        }
        EXPECT_GE(frames, 11); // 0.2 s at 60 frames a second
        EXPECT_LE(frames, 14);
        EXPECT_FLOAT_EQ(targetHealth->current, 500.0f - c.damage); // one hit only
        stage.run(60);
        EXPECT_EQ(attack.state, components::Attack::Ready);
        stage.world->destroyEntity(target);
        stage.world->destroyEntity(ninja);
    }
}

TEST_F(NinjaTest, DeathPlaysOnceAndRespawnsAfterTwoSeconds) {
    spawn(-40.0f);
    stage.play("0-29 hold Right Space");
    stage.run(30); // away from the spawn point, moving, with energy spent
    ASSERT_GT(std::abs(position().x + 40.0f), 3.0f);
    ASSERT_LT(energy().current, 100.0f);
    health().current = 0.0f;
    stage.run(2); // the death action runs after the movement, which sees it the next frame
    EXPECT_TRUE(has("dead"));
    EXPECT_EQ(nav().animationState, SimpleNavigation::Dead);
    auto& manager = vorn::audio::SoundManager::instance();
    auto* deathSound = manager.createSoundInstance("ninjaDeath", glm::vec3(0.0f), glm::vec3(0.0f));
    ASSERT_NE(deathSound, nullptr);
    stage.run(60);
    EXPECT_TRUE(has("dead"));
    EXPECT_EQ(deathSound->channels.size(), 1u); // played once though health stayed at 0
    stage.run(62);
    EXPECT_FALSE(has("dead"));
    EXPECT_FALSE(has("delayedSignal"));
    EXPECT_FLOAT_EQ(health().current, 100.0f);
    EXPECT_FLOAT_EQ(energy().current, 100.0f);
    EXPECT_NEAR(position().x, -40.0f, 1e-3f);
    EXPECT_LT(std::abs(body().velocity.y), 1.0f); // at rest (a frame of gravity at most)
}

TEST_F(NinjaTest, HurtAnimationIsNotRestartedWhilePlaying) {
    spawn(0.0f);
    ASSERT_TRUE(vorn::components::invokeAction(ninja, "hurtAction"));
    EXPECT_EQ(nav().animationState, SimpleNavigation::Hurt);
    EXPECT_FLOAT_EQ(nav().actionTimer, 0.25f);
    stage.run(5);
    const float left = nav().actionTimer;
    EXPECT_LT(left, 0.25f);
    vorn::components::invokeAction(ninja, "hurtAction");
    EXPECT_FLOAT_EQ(nav().actionTimer, left);
    // Once the hurt pose has run its time he lands (standing) and then idles.
    std::vector<int> states;
    for (int i = 0; i < 30; ++i) {
        stage.run(1);
        if (states.empty() || states.back() != nav().animationState)
            states.push_back(nav().animationState);
    }
    EXPECT_EQ(states, (std::vector<int>{SimpleNavigation::Hurt, SimpleNavigation::Landing,
                                        SimpleNavigation::Idle}));
}

TEST_F(NinjaTest, DustRisesOnlyWhileHeWalksOnTheGround) {
    spawn(TestStage::floorLeft + 15.0f);
    auto* feet = stage.world->getComponentAs<components::DustyFeet>(
        ninja, components::DustyFeet::componentName);
    ASSERT_NE(feet, nullptr);
    auto* dust = stage.world->getComponentAs<vorn::components::DustEmitter>(
        feet->effect, vorn::components::DustEmitter::componentName);
    ASSERT_NE(dust, nullptr);
    stage.run(60);
    EXPECT_FALSE(dust->continuous);
    EXPECT_EQ(dust->particleSystem().aliveCount(), 0); // standing still raises nothing

    // Walk left off the floor's end, fall to the lower platform and stand there.
    stage.play("0-99 hold Left");
    int walkingFrames = 0;
    int fallingFrames = 0;
    for (int i = 0; i < 200; ++i) {
        stage.run(1);
        const bool walking = nav().animationState == SimpleNavigation::Walking;
        EXPECT_EQ(dust->continuous, walking) << "frame " << i;
        walkingFrames += walking;
        fallingFrames += nav().animationState == SimpleNavigation::Falling;
        if (walking) {
            // Kept three units below his feet (as they were before the frame's step).
            const glm::vec3 at =
                stage.world->getComponentAs<Transform>(feet->effect, Transform::componentName)
                    ->position();
            EXPECT_NEAR(at.y, position().y - 3.0f, 0.5f);
        }
        if (i == 30) {
            EXPECT_GT(dust->particleSystem().aliveCount(), 0);
        }
    }
    EXPECT_GT(walkingFrames, 30);
    EXPECT_GT(fallingFrames, 10);
    EXPECT_FALSE(dust->continuous);

    // A DustyFeet on something that does not walk makes no dust at all.
    const EntityHandle rock = stage.world->createEntity();
    stage.world->addComponent(rock, new Transform());
    auto* idle = new components::DustyFeet();
    stage.world->addComponent(rock, idle);
    EXPECT_EQ(idle->effect.entityId, 0u);
}

TEST_F(NinjaTest, HeClimbsToTheCeilingAndWalksAlongItUpsideDown) {
    spawn(TestStage::wallFace - 8.0f);
    stage.play("0-29 hold Right\n30-479 hold Up\n480-599 hold Left");
    stage.run(480);
    EXPECT_NEAR(position().y, TestStage::ceilingUnderside - 5.0f, 0.5f);
    EXPECT_TRUE(nav().clinging);
    const float x = position().x;
    const float energyBefore = energy().current;
    stage.run(120);
    EXPECT_LT(position().x, x - 20.0f);
    EXPECT_NEAR(position().y, TestStage::ceilingUnderside - 5.0f, 0.5f); // still on the ceiling
    EXPECT_FALSE(has("hasGravity"));
    EXPECT_NEAR(transform().matrix[1].y, -1.0f, 1e-3f); // head down
    EXPECT_NEAR(transform().matrix[2].x, -1.0f, 1e-3f); // facing the way he walks
    // Walking along a ceiling drains like walking up a wall, 5 a second while pushing.
    EXPECT_LT(energy().current, energyBefore - 3.0f);
    EXPECT_GT(energy().current, energyBefore - 10.5f);
    // Letting go drops him.
    stage.play("");
    stage.run(1);
    EXPECT_TRUE(nav().clinging); // clinging lasts while he touches and has energy
    energy().current = 0.0f;
    energy().regenDelay = 1000.0f;
    stage.run(70);
    EXPECT_TRUE(has("hasGravity"));
    EXPECT_LT(position().y, TestStage::ceilingUnderside - 20.0f);
    // In the air he turns upright within a second, facing along +x (his facing is negative).
    EXPECT_GT(position().y, TestStage::floorTop + 20.0f);
    EXPECT_EQ(nav().airTurn, 1.0f);
    EXPECT_NEAR(transform().matrix[1].y, 1.0f, 1e-3f);
    EXPECT_NEAR(transform().matrix[2].x, 1.0f, 1e-3f);
}

// The world keeps the clock's pace at any frame rate: on a fake clock, frames whose work takes a
// tenth of a second are updated in four steps each, and the ninja runs as far per wall-clock
// second as at sixty frames a second. At two frames a second no frame runs more than four steps.
TEST_F(NinjaTest, RunsTheSameDistancePerWallSecondAtTenAndSixtyFramesASecond) {
    struct Run {
        double distancePerSecond;
        int mostSteps;
    };
    const auto run = [](double work, double wallSeconds) {
        TestStage local;
        const EntityHandle runner = game::assemblePlayer(
            *local.world, glm::vec3(TestStage::floorLeft + 10.0f, TestStage::floorTop + 5.0f, 0),
            glm::vec3(0.0f), glm::vec3(1.0f));
        local.run(10);
        const auto x = [&] {
            return local.world->getComponentAs<Transform>(runner, Transform::componentName)
                ->position()
                .x;
        };
        const float start = x();
        local.play("0-10000 hold Right");
        double now = 0.0;
        local.app.setClock({[&] { return now; }, [&](double seconds) { now += seconds; }});
        int mostSteps = 0;
        local.app.setFrameEndCallback([&](uint64_t) {
            now += work;
            mostSteps = std::max(mostSteps, local.app.lastStepCount());
        });
        local.app.setFrameLimit(local.app.frameCount() +
                                static_cast<uint64_t>(std::lround(wallSeconds / work)));
        local.app.run();
        return Run{(x() - start) / now, mostSteps};
    };
    const Run sixty = run(1.0 / 60.0, 2.0);
    const Run ten = run(0.1, 2.0);
    EXPECT_GT(sixty.distancePerSecond, 15.0); // he runs at up to 20 units a second
    EXPECT_EQ(sixty.mostSteps, 1);
    EXPECT_EQ(ten.mostSteps, 4);
    EXPECT_NEAR(ten.distancePerSecond, sixty.distancePerSecond, 0.05 * sixty.distancePerSecond);
    EXPECT_EQ(run(0.5, 2.0).mostSteps, 4);
}

} // namespace
