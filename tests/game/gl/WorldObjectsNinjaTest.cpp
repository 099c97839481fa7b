// The ninja as the game builds him, steered with scripted keys on the test stage into the things
// of an area: pickups, an ant, spikes, an upgrade and a door. The animated model needs an OpenGL
// context, hence a GL test.
#include "audio/SoundManager.hpp"
#include "components/ActionSignal.hpp"
#include "components/AntBehaviour.hpp"
#include "components/Checkpoint.hpp"
#include "components/Damage.hpp"
#include "components/Energy.hpp"
#include "components/EnergyBoostObject.hpp"
#include "components/EnergyObject.hpp"
#include "components/Exit.hpp"
#include "components/Health.hpp"
#include "components/Killer.hpp"
#include "components/OriginalSpawnPoint.hpp"
#include "components/RunEvents.hpp"
#include "components/SceneBuilders.hpp"
#include "components/Score.hpp"
#include "components/ScoreObject.hpp"
#include "components/Secret.hpp"
#include "components/TransformAttachment.hpp"
#include "components/Upgrade.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "game/LevelLoader.hpp"
#include "game/PlayerAssembly.hpp"
#include "physics/CircleCollider.hpp"
#include "physics/CollisionTracker.hpp"
#include "physics/PolygonCollider.hpp"
#include "physics/RigidBody.hpp"
#include "rendering/Material.hpp"
#include "rendering/Model.hpp"
#include "support/GlTestContext.hpp"
#include "support/TestStage.hpp"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using components::Health;
using testsupport::TestStage;
using vorn::components::Label;
using vorn::components::RigidBody;
using vorn::components::Transform;
using vorn::engine::EntityHandle;

class WorldObjectsNinjaTest : public ::testing::Test {
protected:
    void SetUp() override {
        context = std::make_unique<testsupport::GlTestContext>(16, 16);
        ASSERT_TRUE(context->ok()) << context->error();
    }

    EntityHandle spawn(float x) {
        ninja = game::assemblePlayer(*stage.world, glm::vec3(x, TestStage::floorTop + 5.0f, 0.0f),
                                     glm::vec3(0.0f), glm::vec3(1.0f));
        stage.run(10);
        return ninja;
    }
    EntityHandle at(float x, float y) {
        const EntityHandle e = stage.world->createEntity();
        stage.world->addComponent(
            e, new Transform(glm::translate(glm::mat4(1.0f), glm::vec3(x, y, 0.0f))));
        return e;
    }
    // A pickup on the floor as the level builds it: circle, tracker for the player, and a death
    // action that takes its collider away.
    EntityHandle pickup(float x, vorn::engine::Component* behaviour) {
        const EntityHandle e = at(x, TestStage::floorTop + 2.0f);
        stage.world->addComponent(e, new vorn::components::CircleCollider(2.0f));
        stage.world->addComponent(e, behaviour);
        stage.world->addComponent(e, new vorn::components::CollisionTracker("player"));
        stage.world->addComponent(
            e, new vorn::components::ActionSignal("deathAction", [](EntityHandle self) {
                self.world->deleteComponent(self, "collider");
            }));
        return e;
    }
    // A worker ant as the level builds it, without model, health or death: the crawling body and
    // its two damaging pieces 4 units ahead and behind.
    EntityHandle ant(float x, bool clockwise) {
        const EntityHandle body = at(x, TestStage::floorTop + 2.5f);
        stage.world->addComponent(body, new vorn::components::CircleCollider(2.5f));
        stage.world->addComponent(body, new RigidBody(100.0f, false, 0.0f, 0, 0, 0));
        stage.world->addComponent(
            body, new vorn::components::AntBehaviour(clockwise, 10.0f, 0.2f, 0.5f, 10.0f));
        for (const char* tag : {"hasGravity", "enemy", "ant", "being"})
            stage.world->addComponent(body, new Label(tag));
        for (const float offset : {4.0f, -4.0f}) {
            const EntityHandle part = at(x, TestStage::floorTop + 2.5f);
            stage.world->addComponent(
                part, new vorn::components::TransformAttachment(
                          false, glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, offset)), body));
            stage.world->addComponent(part, new vorn::components::CircleCollider(1.5f));
            stage.world->addComponent(
                part, new RigidBody(100.0f, false, 0.0f, 0, 0, 0, std::set<std::string>{"being"}));
            stage.world->addComponent(part, new components::Damage("player", 20.0f, 0.5f, 1000.0f));
        }
        return body;
    }
    glm::vec3 position() {
        return stage.world->getComponentAs<Transform>(ninja, Transform::componentName)->position();
    }
    bool has(const std::string& name) { return stage.world->getComponent(ninja, name) != nullptr; }
    template <class T> T& get(const std::string& name) {
        return *stage.world->getComponentAs<T>(ninja, name);
    }

    std::unique_ptr<testsupport::GlTestContext> context;
    TestStage stage;
    EntityHandle ninja;
};

TEST_F(WorldObjectsNinjaTest, WalkingRightHeCollectsAnEggCandyCornAndSugarOnce) {
    spawn(-60.0f);
    pickup(-50.0f, new vorn::components::ScoreObject(10, true));
    pickup(-42.0f, new vorn::components::EnergyBoostObject(0.1f));
    pickup(-34.0f, new vorn::components::EnergyObject());
    auto& score = get<vorn::components::Score>("score");
    auto& energy = get<vorn::components::Energy>("energy");
    energy.current = 30.0f;
    stage.play("0-149 hold Right");
    stage.run(150);
    ASSERT_GT(position().x, -25.0f); // he got past all three
    EXPECT_EQ(score.points, 10);
    EXPECT_EQ(score.eggs, 1);
    EXPECT_FLOAT_EQ(energy.maximum, 110.0f);
    EXPECT_FLOAT_EQ(energy.current, 110.0f);
    // Walking back over them: the egg and the candy corn are spent.
    stage.play("0-149 hold Left");
    stage.run(150);
    ASSERT_LT(position().x, -55.0f);
    EXPECT_EQ(score.points, 10);
    EXPECT_FLOAT_EQ(energy.maximum, 110.0f);
}

TEST_F(WorldObjectsNinjaTest, AnAntWalkingIntoHimHurtsHimAndThrowsHimBack) {
    spawn(-20.0f);
    ant(10.0f, true); // clockwise on a floor: walks towards -x, at the ninja
    auto& health = get<Health>(Health::componentName);
    float lowest = health.current;
    float leftmostVelocity = 0.0f;
    for (int frame = 0; frame < 600 && lowest == 100.0f; ++frame) {
        stage.run(1);
        lowest = std::min(lowest, health.current);
        leftmostVelocity = std::min(leftmostVelocity, get<RigidBody>("rigidBody").velocity.x);
    }
    EXPECT_FLOAT_EQ(lowest, 80.0f);
    stage.run(1);
    EXPECT_LT(std::min(leftmostVelocity, get<RigidBody>("rigidBody").velocity.x), -2.0f);
}

TEST_F(WorldObjectsNinjaTest, AfterAnUpgradeSpikesKillHimAndHeComesBackWhereTheUpgradeWas) {
    spawn(-60.0f);
    const EntityHandle jump = at(-30.0f, TestStage::floorTop + 5.0f);
    stage.world->addComponent(jump, new vorn::components::CircleCollider(2.5f));
    stage.world->addComponent(jump, new vorn::components::Upgrade("doubleJumpEnabled", "player",
                                                                  "jumpUpgradeVoice",
                                                                  glm::vec3(-12, -5.5f, -10)));
    const EntityHandle spikes = at(0.0f, TestStage::floorTop);
    stage.world->addComponent(
        spikes, new vorn::components::PolygonCollider(0.0f, -3.03f, 0.0f, 6.06f, 6.0f, 1, 1));
    stage.world->addComponent(spikes, new RigidBody(1.0f, true, 1.0f, 0, 0, 0));
    stage.world->addComponent(spikes, new components::Killer());

    stage.play("0-179 hold Right");
    int deadAt = -1;
    for (int frame = 0; frame < 180 && deadAt < 0; ++frame) {
        stage.run(1);
        if (has("dead"))
            deadAt = frame;
    }
    ASSERT_GE(deadAt, 0);
    EXPECT_TRUE(has("doubleJumpEnabled"));
    EXPECT_FALSE(stage.world->isLive(jump));
    EXPECT_EQ(get<components::OriginalSpawnPoint>("originalSpawnPoint").position,
              glm::vec3(-30.0f, TestStage::floorTop + 5.0f, 0.0f));
    EXPECT_EQ(get<Health>(Health::componentName).current, 100.0f); // killed outright
    stage.play("");
    stage.run(60);
    EXPECT_TRUE(has("dead"));
    EXPECT_EQ(stage.world->getComponents(ninja, "dead").size(), 1u);
    stage.run(80); // two seconds after his death
    EXPECT_FALSE(has("dead"));
    EXPECT_NEAR(position().x, -30.0f, 1.0f);
}

TEST_F(WorldObjectsNinjaTest, ACheckpointHeWalksThroughLightsOnceAndHeComesBackThereAfterSpikes) {
    spawn(-60.0f);
    // The checkpoint and the spikes as the level file builds them.
    std::vector<glm::vec3> reached;
    components::RunEvents::setCheckpointListener(
        [&](vorn::engine::World& world, const glm::vec3& at) {
            EXPECT_EQ(&world, stage.world.get());
            reached.push_back(at);
        });
    {
        std::istringstream level("[ checkpoint [ [-20 7.5 0] [0 0 0] [1 1 1] ]\n"
                                 "  spikes [ [30 0 0] [0 0 0] [1 1 1] ] ]");
        game::LevelLoader::CarriedPlayer nobody;
        ASSERT_TRUE(game::LevelLoader::load(level, *stage.world, nobody, "", ""));
        // The loader took a sound slot of its own, as an area would; give it back.
        vorn::audio::SoundManager& sound = vorn::audio::SoundManager::instance();
        const int slot = sound.currentSlot();
        sound.releaseSlot(slot);
        sound.freeSlot(slot);
    }
    EntityHandle post{0, stage.world.get()};
    for (const EntityHandle& e : stage.world->getEntities("checkpoint"))
        post = e;
    auto* checkpoint = stage.world->getComponentAs<components::Checkpoint>(post, "checkpoint");
    auto* model = stage.world->getComponentAs<vorn::components::Model>(post, "model");
    ASSERT_TRUE(checkpoint && model && !model->parts.empty());
    const auto glowing = [&] {
        for (const vorn::rendering::MeshPart& part : model->parts) {
            const auto* emission = part.material->uniforms.find("mat_emissive");
            if (!emission || *emission != vorn::rendering::UniformValue(checkpoint->glow))
                return false;
        }
        return true;
    };
    EXPECT_FALSE(checkpoint->isLit());
    EXPECT_FALSE(glowing());

    stage.play("0-299 hold Right");
    int deadAt = -1;
    for (int frame = 0; frame < 300 && deadAt < 0; ++frame) {
        stage.run(1);
        if (has("dead"))
            deadAt = frame;
    }
    ASSERT_GE(deadAt, 0) << "the spikes killed him";
    const glm::vec3 post3(-20.0f, 7.5f, 0.0f);
    EXPECT_TRUE(checkpoint->isLit());
    EXPECT_TRUE(glowing());
    EXPECT_EQ(get<components::OriginalSpawnPoint>("originalSpawnPoint").position, post3);
    ASSERT_EQ(reached.size(), 1u);
    EXPECT_EQ(reached.front(), post3);
    stage.play("");
    stage.run(140); // two seconds after his death, and a little more
    EXPECT_FALSE(has("dead"));
    EXPECT_NEAR(position().x, post3.x, 1.0f);
    // Standing in it again changes nothing.
    EXPECT_EQ(reached.size(), 1u);
    components::RunEvents::setCheckpointListener(nullptr);
}

TEST_F(WorldObjectsNinjaTest, ASecretCountsOnceWhenHeFirstWalksIntoItsZone) {
    spawn(-60.0f);
    {
        std::istringstream level("[ secret [ [-20 7 0] [0 0 0] [8 12 1] ] ]");
        game::LevelLoader::CarriedPlayer nobody;
        ASSERT_TRUE(game::LevelLoader::load(level, *stage.world, nobody, "", ""));
        vorn::audio::SoundManager& sound = vorn::audio::SoundManager::instance();
        const int slot = sound.currentSlot();
        sound.releaseSlot(slot);
        sound.freeSlot(slot);
    }
    EntityHandle spot{0, stage.world.get()};
    for (const EntityHandle& e : stage.world->getEntities("secret"))
        spot = e;
    auto* secret = stage.world->getComponentAs<components::Secret>(spot, "secret");
    ASSERT_NE(secret, nullptr);
    const auto secrets = [&] { return get<vorn::components::Score>("score").secrets; };
    // Short of the zone (its left edge at x = -24, his collider reaching 5 ahead of him) nothing.
    stage.play("0-300 hold Right");
    for (int frame = 0; frame < 300 && position().x < -34.0f; ++frame)
        stage.run(1);
    ASSERT_GE(position().x, -34.0f);
    EXPECT_EQ(secrets(), 0);
    EXPECT_EQ(stage.world->getComponent(spot, "promptZone"), nullptr);
    // Through it, then back through it: one secret, and its prompt from then on.
    stage.play("0-60 hold Right\n61-160 hold Left");
    stage.run(160);
    EXPECT_TRUE(secret->isFound());
    EXPECT_EQ(secrets(), 1);
    EXPECT_NE(stage.world->getComponent(spot, "promptZone"), nullptr);
}

TEST_F(WorldObjectsNinjaTest, WalkingThroughADoorCarriesHimWholeIntoTheNextArea) {
    spawn(-20.0f);
    const size_t components = stage.world->getEntityComponents(ninja).size();
    int builds = 0;
    std::shared_ptr<vorn::engine::World> next;
    EntityHandle arrived;
    components::SceneBuilders::setAreaBuilder([&](components::SceneBuilders::Carried& carried,
                                                  const std::string& file,
                                                  const std::string& entrance) {
        ++builds;
        EXPECT_EQ(file, "simpleArea.txt");
        EXPECT_EQ(entrance, "simpleBottomDoor");
        next = std::make_shared<vorn::engine::World>();
        arrived = next->createEntity();
        for (auto& component : carried)
            next->addComponent(arrived, component.release());
        return next;
    });
    const EntityHandle door = at(20.0f, TestStage::floorTop + 5.0f);
    stage.world->addComponent(
        door, new vorn::components::PolygonCollider(0.0f, -5.0f, -5.0f, 10.0f, 10.0f, 1, 1));
    stage.world->addComponent(door, new vorn::components::CollisionTracker("player"));
    stage.world->addComponent(door, new components::Exit("simpleArea.txt", "simpleBottomDoor"));
    const std::shared_ptr<vorn::engine::World> area = stage.world;

    stage.play("0-119 hold Right");
    stage.run(120);
    components::SceneBuilders::setAreaBuilder(nullptr);
    EXPECT_EQ(builds, 1);
    ASSERT_TRUE(next);
    EXPECT_EQ(stage.app.currentWorld(), next);
    EXPECT_TRUE(area->getEntityComponents(ninja).empty());
    EXPECT_EQ(next->getEntityComponents(arrived).size(), components);
    EXPECT_NE(next->getComponent(arrived, "player"), nullptr);
}

// A worker ant as the level loader builds it (body with health and death, two biting parts),
// between two turn markers on the stage's floor.
EntityHandle loadAnt(TestStage& stage, float x) {
    std::istringstream level(
        "[ workerAnt [ [" + std::to_string(x) + " 2.5 0] [0 0 0] [1 1 1] ] antCommandCCW [ [" +
        std::to_string(x - 30.0f) + " 2.5 0] [0 0 0] [1 1 1] ] antCommandCW [ [" +
        std::to_string(x + 30.0f) + " 2.5 0] [0 0 0] [1 1 1] ] ]");
    game::LevelLoader::CarriedPlayer nobody;
    EntityHandle ant;
    for (const EntityHandle& e : stage.world->liveEntities())
        ant = e;
    vorn::audio::SoundManager& sound = vorn::audio::SoundManager::instance();
    const int before = sound.currentSlot();
    game::LevelLoader::load(level, *stage.world, nobody, "", "");
    // The loader takes a sound slot of its own; the stage already has one.
    const int slot = sound.currentSlot();
    if (slot != before) {
        sound.releaseSlot(slot);
        sound.freeSlot(slot);
    }
    return EntityHandle{ant.entityId + 1, stage.world.get()};
}

// He drops onto an ant walking towards him, punching as he lands. Whichever lands first wins: the
// bite when the ant's head or abdomen meets him before his feet or fist meet the ant, his blow
// otherwise; in the frame both meet, his blow kills the ant and its parts do not bite.
TEST_F(WorldObjectsNinjaTest, LandingOnAnAntWhilePunchingTheFirstBlowWins) {
    int kills = 0;
    for (const float x : {-10.0f, -8.0f, -7.0f, -6.0f, -5.0f, -4.0f, -2.0f, 0.0f}) {
        SCOPED_TRACE("dropped at x " + std::to_string(x));
        TestStage drop;
        const EntityHandle ant = loadAnt(drop, 0.0f);
        const EntityHandle dropped = game::assemblePlayer(*drop.world, glm::vec3(x, 30.0f, 0.0f),
                                                          glm::vec3(0.0f), glm::vec3(1.0f));
        drop.play("0-5 hold Right\n40-70 hold X\n");
        int killedAt = -1;
        int bittenAt = -1;
        for (int frame = 0; frame < 120; ++frame) {
            drop.run(1);
            if (bittenAt < 0 &&
                drop.world->getComponentAs<Health>(dropped, Health::componentName)->current <
                    100.0f)
                bittenAt = frame;
            const auto* antHealth = drop.world->getComponentAs<Health>(ant, Health::componentName);
            if (killedAt < 0 && (antHealth == nullptr || antHealth->current <= 0.0f))
                killedAt = frame;
        }
        if (killedAt >= 0) {
            ++kills;
            EXPECT_TRUE(bittenAt < 0 || bittenAt < killedAt)
                << "killed at frame " << killedAt << ", bitten at " << bittenAt;
        }
    }
    EXPECT_GE(kills, 3);
}

} // namespace
