// Pickups, hazards, boulders, upgrades, doors and the objective, touched by a ninja.
#include "ComponentScene.hpp"
#include "audio/SoundEmitter.hpp"
#include "components/ActionSignal.hpp"
#include "components/EnergyBoostObject.hpp"
#include "components/EnergyObject.hpp"
#include "components/Exit.hpp"
#include "components/Killer.hpp"
#include "components/Objective.hpp"
#include "components/SceneBuilders.hpp"
#include "components/SelfDelete.hpp"
#include "components/SpinHorizontalVelocity.hpp"
#include "components/Upgrade.hpp"
#include "engine/DiagnosticsCapture.hpp"
#include "physics/CollisionTracker.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using components_test::GameplayScene;
using vorn::engine::EntityHandle;
using vorn::engine::World;

// A small round pickup tracking the player, with the level's "deathAction" that takes its
// collider away so it can be touched no more.
EntityHandle pickup(GameplayScene& scene, float x, float y, vorn::engine::Component* behaviour,
                    bool withDeathAction = true) {
    const EntityHandle e = scene.circle(x, y, 2.0f);
    scene.world->addComponent(e, behaviour);
    scene.world->addComponent(e, new vorn::components::CollisionTracker("player"));
    if (withDeathAction)
        scene.world->addComponent(
            e, new vorn::components::ActionSignal("deathAction", [](EntityHandle self) {
                self.world->deleteComponent(self, "collider");
            }));
    return e;
}

TEST(EnergyPickups, SugarRefillsAtEveryTouchAndCandyCornRaisesTheMaximumOnce) {
    GameplayScene scene;
    const EntityHandle ninja = scene.player(0.0f, 0.0f);
    pickup(scene, 3.0f, 0.0f, new vorn::components::EnergyObject());
    scene.energy(ninja)->current = 20.0f;
    scene.run(2);
    EXPECT_EQ(scene.energy(ninja)->current, 100.0f);
    scene.energy(ninja)->current = 35.0f;
    scene.run(2);
    EXPECT_EQ(scene.energy(ninja)->current, 100.0f);
    EXPECT_EQ(scene.energy(ninja)->maximum, 100.0f);

    for (const bool withDeathAction : {true, false}) {
        SCOPED_TRACE(withDeathAction ? "with death action" : "without");
        GameplayScene corn;
        const EntityHandle player = corn.player(0.0f, 0.0f);
        corn.energy(player)->current = 40.0f;
        const EntityHandle candy = pickup(
            corn, 3.0f, 0.0f, new vorn::components::EnergyBoostObject(0.1f), withDeathAction);
        corn.run(10);
        EXPECT_FLOAT_EQ(corn.energy(player)->maximum, 110.0f); // 0.1 of a capacity of 100
        EXPECT_FLOAT_EQ(corn.energy(player)->current, 110.0f);
        EXPECT_EQ(corn.has(candy, "collider"), !withDeathAction);
    }

    // Someone who is not the player takes nothing.
    GameplayScene other;
    const EntityHandle stranger = other.circle(0.0f, 0.0f, 5.0f);
    other.world->addComponent(stranger, new vorn::components::Energy(0.1f, 100, 100, 10));
    other.world->addComponent(stranger, new vorn::components::Label("player-like"));
    pickup(other, 3.0f, 0.0f, new vorn::components::EnergyObject());
    other.run(2);
    EXPECT_EQ(other.energy(stranger)->current, 10.0f);
}

float zTurnDegrees(const glm::mat4& m) {
    return std::atan2(m[0].y, m[0].x) * 57.29577951f;
}

TEST(Boulder, TurnsByTwiceItsSpeedOverItsRadiusEveryUpdateAndRollsLouderWhenFaster) {
    struct Case {
        float velocity;
        float radius;
        float degreesPerUpdate;
        float volume;
    };
    const Case cases[] = {{5.0f, 6.0f, -1.6666667f, 0.5f},
                          {-5.0f, 6.0f, 1.6666667f, 0.5f},
                          {12.0f, 12.0f, -2.0f, 1.2f},
                          {0.0f, 6.0f, 0.0f, 0.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.velocity);
        GameplayScene scene;
        const EntityHandle boulder = scene.circle(0.0f, 0.0f, c.radius, {"boulder"});
        scene.addBody(boulder, 250.0f, false, 0.05f, glm::vec3(c.velocity, 0.0f, 0.0f));
        auto* emitter = new vorn::components::SoundEmitter("boulderRoll");
        scene.world->addComponent(boulder, emitter);
        scene.world->addComponent(boulder, new vorn::components::SpinHorizontalVelocity());
        scene.step(0.05f);
        EXPECT_NEAR(zTurnDegrees(scene.transform(boulder)->matrix), c.degreesPerUpdate, 1e-4f);
        EXPECT_FLOAT_EQ(emitter->volume(), c.volume);
        // The same turn again, whatever the time step.
        scene.step(0.01f);
        EXPECT_NEAR(zTurnDegrees(scene.transform(boulder)->matrix), 2.0f * c.degreesPerUpdate,
                    1e-4f);
    }
}

TEST(Spikes, KillAtOnceAndDoNothingMoreWhileTheNinjaIsDeadAndGoUnderABoulder) {
    GameplayScene scene;
    const EntityHandle spikes = scene.box(0.0f, 0.0f, -3.03f, 0.0f, 6.06f, 6.0f);
    scene.addBody(spikes, 1.0f, true, 1.0f);
    scene.world->addComponent(spikes, new ::components::Killer());
    int crushed = 0;
    scene.world->addComponent(
        spikes, new vorn::components::SelfDelete("boulder", [&](EntityHandle) { ++crushed; }));
    const EntityHandle ninja = scene.player(0.0f, 10.0f);
    scene.get<::components::OriginalSpawnPoint>(ninja, "originalSpawnPoint")->position =
        glm::vec3(100.0f, 100.0f, 0.0f);
    const size_t alive = scene.world->getEntityComponents(ninja).size();
    scene.run(2);
    EXPECT_TRUE(scene.has(ninja, "dead"));
    EXPECT_EQ(scene.health(ninja)->current, 100.0f); // dead whatever his health
    // Still on the spikes: one death, one "dead" tag and one pending respawn, nothing more.
    scene.run(30);
    EXPECT_EQ(scene.world->getComponents(ninja, "dead").size(), 1u);
    EXPECT_EQ(scene.world->getEntityComponents(ninja).size(), alive + 2);

    // A boulder rolling into them breaks them: the callback runs once and they are gone.
    const EntityHandle boulder = scene.circle(-8.5f, 3.0f, 6.0f, {"boulder"});
    scene.addBody(boulder, 250.0f, false, 0.05f);
    scene.run(3);
    EXPECT_EQ(crushed, 1);
    EXPECT_FALSE(scene.world->isLive(spikes));
}

TEST(Spikes, DoNotKillANinjaBroughtElsewhereSinceTheLastPhysicsStep) {
    GameplayScene scene;
    const EntityHandle spikes = scene.box(0.0f, 0.0f, -3.03f, 0.0f, 6.06f, 6.0f);
    scene.addBody(spikes, 1.0f, true, 1.0f);
    scene.world->addComponent(spikes, new ::components::Killer());
    const EntityHandle ninja = scene.player(0.0f, 10.0f);
    scene.step(1.0f / 60.0f); // the step records the contact; the killer reads it next frame
    ASSERT_FALSE(scene.body(spikes)->contacts.empty());
    scene.transform(ninja)->setPosition(glm::vec3(100.0f, 100.0f, 0.0f)); // brought back to life
    scene.step(1.0f / 60.0f);
    EXPECT_FALSE(scene.has(ninja, "dead"));
}

TEST(Upgrade, GivesTheFlagAndMovesTheSpawnPointOfTheFirstTouchingPlayerOnly) {
    GameplayScene scene;
    const EntityHandle first = scene.player(-3.0f, 0.0f);
    const EntityHandle second = scene.player(3.0f, 0.0f);
    const EntityHandle far = scene.player(50.0f, 0.0f);
    const EntityHandle jump = scene.circle(0.0f, 1.0f, 2.5f);
    scene.world->addComponent(
        jump, new vorn::components::Upgrade("doubleJumpEnabled", "player", "jumpUpgradeVoice",
                                            glm::vec3(-12.0f, -5.5f, -10.0f)));
    scene.step(1.0f / 60.0f);
    EXPECT_TRUE(scene.has(first, "doubleJumpEnabled"));
    EXPECT_FALSE(scene.has(second, "doubleJumpEnabled"));
    EXPECT_FALSE(scene.has(far, "doubleJumpEnabled"));
    const auto spawn = [&](EntityHandle e) {
        return scene.get<::components::OriginalSpawnPoint>(e, "originalSpawnPoint")->position;
    };
    EXPECT_EQ(spawn(first), glm::vec3(0.0f, 1.0f, 0.0f));
    EXPECT_EQ(spawn(second), glm::vec3(3.0f, 0.0f, 0.0f));
    EXPECT_FALSE(scene.world->isLive(jump));
    scene.run(3);
    EXPECT_FALSE(scene.has(second, "doubleJumpEnabled"));
}

// An area builder that records what it was asked for and moves every carried component onto one
// entity of a fresh world.
struct RecordingBuilders {
    int areaCalls = 0;
    int creditsCalls = 0;
    int lastPage = -1;
    std::string file, entrance;
    size_t carriedCount = 0;
    bool buildNothing = false;
    std::shared_ptr<World> built;
    EntityHandle arrived;

    RecordingBuilders() {
        components::SceneBuilders::setAreaBuilder(
            [this](components::SceneBuilders::Carried& carried, const std::string& f,
                   const std::string& e) -> std::shared_ptr<World> {
                ++areaCalls;
                file = f;
                entrance = e;
                carriedCount = carried.size();
                if (buildNothing)
                    return nullptr;
                built = std::make_shared<World>();
                arrived = built->createEntity();
                for (auto& component : carried)
                    built->addComponent(arrived, component.release());
                return built;
            });
        components::SceneBuilders::setCreditsBuilder([this](int page) {
            ++creditsCalls;
            lastPage = page;
            built = std::make_shared<World>();
            return built;
        });
    }
    ~RecordingBuilders() {
        components::SceneBuilders::setAreaBuilder(nullptr);
        components::SceneBuilders::setCreditsBuilder(nullptr);
    }
};

EntityHandle door(GameplayScene& scene, float x, const std::string& file) {
    const EntityHandle e = scene.box(x, 0.0f, -5.0f, -5.0f, 10.0f, 10.0f);
    scene.world->addComponent(e, new vorn::components::CollisionTracker("player"));
    scene.world->addComponent(e, new ::components::Exit(file, "simpleBottomDoor"));
    return e;
}

TEST(Door, HandsOverAllThePlayersComponentsExactlyOnce) {
    RecordingBuilders builders;
    GameplayScene scene;
    const EntityHandle ninja = scene.player(0.0f, 0.0f);
    const size_t components = scene.world->getEntityComponents(ninja).size();
    // Two doors overlapping the ninja: the first takes him, the second finds nobody left.
    door(scene, 2.0f, "simpleArea.txt");
    door(scene, -2.0f, "otherArea.txt");
    scene.step(1.0f / 60.0f);
    EXPECT_EQ(builders.areaCalls, 1);
    EXPECT_EQ(builders.file, "simpleArea.txt");
    EXPECT_EQ(builders.entrance, "simpleBottomDoor");
    EXPECT_EQ(builders.carriedCount, components);
    EXPECT_TRUE(scene.world->getEntityComponents(ninja).empty());
    ASSERT_TRUE(builders.built);
    EXPECT_EQ(builders.built->getEntityComponents(builders.arrived).size(), components);
    EXPECT_NE(builders.built->getComponent(builders.arrived, "player"), nullptr);
    EXPECT_EQ(scene.app.nextWorld(), builders.built);
    scene.run(3);
    EXPECT_EQ(builders.areaCalls, 1);
}

TEST(Door, WithoutAnAreaToGoToLeavesThePlayerWholeAndSaysSoOnce) {
    for (const bool installed : {false, true}) {
        SCOPED_TRACE(installed ? "builder builds nothing" : "no builder");
        std::unique_ptr<RecordingBuilders> builders;
        if (installed) {
            builders = std::make_unique<RecordingBuilders>();
            builders->buildNothing = true;
        }
        GameplayScene scene;
        const EntityHandle ninja = scene.player(0.0f, 0.0f);
        const size_t components = scene.world->getEntityComponents(ninja).size();
        door(scene, 2.0f, "missing.txt");
        vorn::engine::DiagnosticsCapture capture;
        scene.run(3);
        EXPECT_EQ(scene.world->getEntityComponents(ninja).size(), components);
        EXPECT_NE(scene.world->getComponent(ninja, "player"), nullptr);
        EXPECT_EQ(scene.app.nextWorld(), nullptr);
        const std::string said = capture.errText();
        EXPECT_NE(said.find("missing.txt"), std::string::npos) << said;
        EXPECT_EQ(said.find('\n'), said.size() - 1) << said; // one line
    }
}

TEST(Objective, ThePlayerReachingItGoesToTheFirstCreditsPageOnce) {
    RecordingBuilders builders;
    GameplayScene scene;
    const EntityHandle hat = scene.circle(0.0f, 0.0f, 2.25f);
    scene.world->addComponent(hat, new vorn::components::CollisionTracker("player"));
    scene.world->addComponent(hat, new ::components::Objective());
    scene.run(2);
    EXPECT_EQ(builders.creditsCalls, 0);
    scene.player(4.0f, 0.0f);
    scene.run(3);
    EXPECT_EQ(builders.creditsCalls, 1);
    EXPECT_EQ(builders.lastPage, 0);
    EXPECT_EQ(scene.app.nextWorld(), builders.built);
}

} // namespace
