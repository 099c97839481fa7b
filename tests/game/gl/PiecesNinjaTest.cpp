// The wasp, the spider and the moving leaf as the level loader builds them, met by the ninja as
// the game builds him and steered with scripted keys on the test stage. Models need an OpenGL
// context, hence a GL test.
#include "audio/SoundUpdate.hpp"
#include "components/Health.hpp"
#include "components/MovingLeaf.hpp"
#include "components/SpiderBehaviour.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "game/LevelLoader.hpp"
#include "game/PlayerAssembly.hpp"
#include "physics/RigidBody.hpp"
#include "support/GlTestContext.hpp"
#include "support/TestStage.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>

namespace {

using components::Health;
using testsupport::TestStage;
using vorn::components::RigidBody;
using vorn::components::Transform;
using vorn::engine::EntityHandle;

class PiecesNinjaTest : public ::testing::Test {
protected:
    void SetUp() override {
        context = std::make_unique<testsupport::GlTestContext>(16, 16);
        ASSERT_TRUE(context->ok()) << context->error();
        fresh();
    }
    // A new stage: every case of a table starts with the pieces and the ninja whole.
    void fresh() {
        stage.reset();
        stage = std::make_unique<TestStage>();
    }

    // Builds the level entries `entries` into the stage, as an area file would.
    void load(const std::string& entries) {
        std::istringstream in("[ " + entries + " ]");
        game::LevelLoader::CarriedPlayer nobody;
        ASSERT_TRUE(game::LevelLoader::load(in, *stage->world, nobody, "gameSpace", ""));
        // The loader took a sound slot of its own; the stage's world gives it back.
        stage->world->addComponent(new vorn::systems::SoundUpdate());
    }
    // The first entity carrying `name`.
    EntityHandle first(const std::string& name) {
        for (const EntityHandle& e : stage->world->getEntities(name))
            return e;
        ADD_FAILURE() << "nothing carries " << name;
        return {};
    }
    void spawn(float x, float y = TestStage::floorTop + 5.0f) {
        ninja = game::assemblePlayer(*stage->world, glm::vec3(x, y, 0.0f), glm::vec3(0.0f),
                                     glm::vec3(1.0f));
    }
    glm::vec3 position(EntityHandle e) {
        return stage->world->getComponentAs<Transform>(e, Transform::componentName)->position();
    }
    glm::vec3 velocity() {
        return stage->world->getComponentAs<RigidBody>(ninja, RigidBody::componentName)->velocity;
    }
    float health() {
        return stage->world->getComponentAs<Health>(ninja, Health::componentName)->current;
    }
    bool has(EntityHandle e, const std::string& name) {
        return stage->world->getComponent(e, name) != nullptr;
    }

    std::unique_ptr<testsupport::GlTestContext> context;
    std::unique_ptr<TestStage> stage;
    EntityHandle ninja;
};

TEST_F(PiecesNinjaTest, AWaspHoveringInHisWayStingsHimAndThrowsHimBack) {
    spawn(-20.0f);
    load("wasp [ [10 6 0] [0 0 0] [1 1 1] [10 6 0] 0 ]");
    stage->run(10);
    stage->play("0-119 hold Right");
    float lowest = health();
    int stungAt = -1;
    for (int frame = 0; frame < 120 && stungAt < 0; ++frame) {
        stage->run(1);
        lowest = std::min(lowest, health());
        if (lowest < 100.0f)
            stungAt = frame;
    }
    ASSERT_GE(stungAt, 0) << "he walked into the wasp and nothing happened";
    EXPECT_FLOAT_EQ(lowest, 80.0f);
    // Thrown back against his walk, at the sting's speed (friction takes a little at once).
    // He lets go of the keys: thrown back against his walk and up, he flies clear.
    const glm::vec3 stungWhere = position(ninja);
    stage->play("");
    stage->run(1);
    EXPECT_LT(velocity().x, -25.0f);
    EXPECT_GT(velocity().y, 10.0f);
    stage->run(20);
    EXPECT_LT(position(ninja).x, stungWhere.x - 8.0f);
    EXPECT_GT(position(ninja).y, stungWhere.y + 2.0f);
    EXPECT_GT(health(), 79.0f) << "stung once";
}

TEST_F(PiecesNinjaTest, AWaspFallsToOneSwordSwingOrTwoPunchesButNotToOnePunch) {
    struct Case {
        bool sword;
        const char* script; // the swings, each a one-frame press of X
        bool dies;
    };
    const Case cases[] = {
        {false, "5 hold X", false},
        {false, "5 hold X\n75 hold X", true},
        {true, "5 hold X", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        fresh();
        TestStage& s = *stage;
        spawn(-2.0f);
        if (c.sword)
            s.world->addComponent(ninja, new vorn::components::Label("swordEnabled"));
        load("wasp [ [10 6 0] [0 0 0] [1 1 1] [10 6 0] 0 ]");
        const EntityHandle wasp = first("waspBehaviour");
        s.play("0-1 hold Right");
        s.run(4); // turned to face the wasp, out of its reach
        s.play(c.script);
        s.run(140);
        EXPECT_FLOAT_EQ(health(), 100.0f) << "the wasp never reached him";
        ASSERT_TRUE(s.world->isLive(wasp));
        EXPECT_EQ(has(wasp, "dead"), c.dies);
        if (!c.dies)
            continue;
        // Dead, it drops out of the air and is gone a few seconds later.
        const float y = position(wasp).y;
        s.run(30);
        EXPECT_LT(position(wasp).y, y - 3.0f);
        s.run(240);
        EXPECT_FALSE(s.world->isLive(wasp));
    }
}

TEST_F(PiecesNinjaTest, ASpiderDropsWhenHePassesBeneathAndClimbsBackUp) {
    // Anchored over the floor at x = 30; at rest 8 below the anchor, at the bottom 38 below.
    load("spider [ [30 50 0] [0 0 0] [1 1 1] 38 ]");
    spawn(-5.0f);
    const EntityHandle spider = first("spiderBehaviour");
    stage->run(60);
    EXPECT_FLOAT_EQ(position(spider).y, 42.0f) << "it hangs still while he is far away";

    // He runs beneath it and on: it drops to the end of its thread...
    stage->play("0-179 hold Right");
    float lowest = position(spider).y;
    float passedAt = 0.0f;
    for (int frame = 0; frame < 180; ++frame) {
        stage->run(1);
        lowest = std::min(lowest, position(spider).y);
        if (passedAt == 0.0f && position(ninja).x > 30.0f)
            passedAt = position(spider).y;
    }
    EXPECT_LT(passedAt, 42.0f) << "it had started down by the time he was under it";
    EXPECT_FLOAT_EQ(lowest, 12.0f);
    ASSERT_GT(position(ninja).x, 45.0f);
    // ...and, with him gone, climbs back to where it hung.
    stage->play("");
    stage->run(240);
    EXPECT_FLOAT_EQ(position(spider).y, 42.0f);
    // Its thread hangs from the anchor down to the body the whole time.
    const EntityHandle thread = first("enemy");
    EXPECT_EQ(position(thread), glm::vec3(30.0f, 50.0f, 0.0f));
}

TEST_F(PiecesNinjaTest, ASpiderDroppingOnHimStingsHimAside) {
    // Low enough to reach him where he stands.
    load("spider [ [30 50 0] [0 0 0] [1 1 1] 42 ]");
    spawn(30.0f);
    float lowest = health();
    for (int frame = 0; frame < 90 && lowest == 100.0f; ++frame) {
        stage->run(1);
        lowest = std::min(lowest, health());
    }
    EXPECT_FLOAT_EQ(lowest, 80.0f);
    stage->run(1);
    EXPECT_GT(std::abs(velocity().x), 15.0f) << "thrown aside, out from under it";
}

TEST_F(PiecesNinjaTest, OnlyTheSwordCutsASpidersThreadAndTheSpiderThenFalls) {
    for (const bool sword : {false, true}) {
        SCOPED_TRACE(sword ? "sword" : "fist");
        fresh();
        // It drops to hang at his height, just out of his reach, the thread within his swing.
        load("spider [ [30 50 0] [0 0 0] [1 1 1] 45 ]");
        spawn(20.0f);
        if (sword)
            stage->world->addComponent(ninja, new vorn::components::Label("swordEnabled"));
        const EntityHandle spider = first("spiderBehaviour");
        const EntityHandle thread = first("enemy");
        stage->play("0-1 hold Right\n60 hold X");
        stage->run(70);
        EXPECT_EQ(has(spider, "dead"), sword);
        EXPECT_EQ(stage->world->isLive(thread), !sword);
        EXPECT_FLOAT_EQ(health(), 100.0f) << "the spider never reached him";
        const float y = position(spider).y;
        stage->run(60);
        if (sword)
            EXPECT_LT(position(spider).y, y - 3.0f) << "it falls";
        else
            EXPECT_GE(position(spider).y, y) << "it still hangs";
    }
}

// A leaf over the stage's floor, the ninja dropped onto it from just above.
class LeafTest : public PiecesNinjaTest {
protected:
    EntityHandle leafUnderHim(const std::string& entry) {
        load(entry);
        const EntityHandle leaf = first("movingLeaf");
        const glm::vec3 at = position(leaf);
        spawn(at.x, at.y + 10.0f);
        stage->run(60);
        return leaf;
    }
    // Whether he stands on the leaf: his middle one radius above its top.
    bool onLeaf(EntityHandle leaf) {
        return std::abs(position(ninja).y - (position(leaf).y + 1.5f + 5.0f)) < 0.5f &&
               std::abs(position(ninja).x - position(leaf).x) < 11.0f;
    }
};

TEST_F(LeafTest, ALeafCarriesHimAndHeCanWalkOnIt) {
    const EntityHandle leaf =
        leafUnderHim("movingLeaf [ [-40 30 0] [0 0 0] [1 1 1] [40 30 0] 10 ]");
    ASSERT_TRUE(onLeaf(leaf));
    // Standing still he goes where the leaf goes.
    glm::vec3 leafFrom = position(leaf);
    glm::vec3 from = position(ninja);
    stage->run(60);
    EXPECT_NEAR(position(leaf).x - leafFrom.x, 10.0f, 0.2f);
    EXPECT_NEAR(position(ninja).x - from.x, position(leaf).x - leafFrom.x, 0.3f);
    EXPECT_TRUE(onLeaf(leaf));
    // Walking on, he moves along the leaf (he landed behind its middle) and stays on it.
    leafFrom = position(leaf);
    from = position(ninja);
    stage->play("0-29 hold Right");
    stage->run(30);
    const float walked = (position(ninja).x - from.x) - (position(leaf).x - leafFrom.x);
    EXPECT_GT(walked, 5.0f);
    EXPECT_TRUE(onLeaf(leaf));
}

TEST_F(LeafTest, JumpingOffALeafKeepsItsVelocity) {
    for (const float speed : {0.0f, 12.0f, -12.0f}) {
        SCOPED_TRACE(speed);
        fresh();
        const float end = speed < 0.0f ? -60.0f : 60.0f;
        const EntityHandle leaf =
            leafUnderHim("movingLeaf [ [0 30 0] [0 0 0] [1 1 1] [" + std::to_string(end) +
                         " 30 0] " + std::to_string(std::abs(speed)) + " ]");
        ASSERT_TRUE(onLeaf(leaf));
        const float takeOff = position(ninja).x;
        stage->play("0 hold Space");
        stage->run(6);
        ASSERT_GT(position(ninja).y, position(leaf).y + 8.0f) << "he is off the leaf";
        // The air takes a little of it (air drag 1 per second).
        EXPECT_NEAR(velocity().x, speed * std::exp(-5.0f / 60.0f), 1.0f);
        stage->run(24);
        EXPECT_NEAR(position(ninja).x - takeOff, speed * 0.5f, 2.0f);
    }
}

TEST_F(LeafTest, ASinkingLeafSinksUnderHimAndRisesWhenHeLeaves) {
    const EntityHandle leaf = leafUnderHim("movingLeaf [ [0 30 0] [0 0 0] [1 1 1] [0 30 0] 0 8 ]");
    ASSERT_TRUE(onLeaf(leaf));
    stage->run(120);
    EXPECT_FLOAT_EQ(position(leaf).y, 22.0f) << "sunk as deep as it goes";
    EXPECT_TRUE(onLeaf(leaf)) << "and he went down with it";
    // He walks off; unloaded, it rises back.
    stage->play("0-59 hold Right");
    stage->run(60);
    ASSERT_FALSE(onLeaf(leaf));
    stage->play("");
    stage->run(120);
    EXPECT_FLOAT_EQ(position(leaf).y, 30.0f);
}

} // namespace
