// The level loader in process: what each template builds, in which order, and the grammar's edge
// cases. Models load through the real caches, so these tests need a GL context.
#include "game/LevelLoader.hpp"
#include "audio/ChannelGroup.hpp"
#include "audio/SoundManager.hpp"
#include "components/Action.hpp"
#include "components/AntBehaviour.hpp"
#include "components/MovingLeaf.hpp"
#include "components/PromptZone.hpp"
#include "components/SpiderBehaviour.hpp"
#include "components/WaspBehaviour.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/DiagnosticsCapture.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "game/tools/StateDump.hpp"
#include "physics/Body.hpp"
#include "physics/CircleCollider.hpp"
#include "support/GlTestContext.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using vorn::engine::EntityHandle;
using vorn::engine::World;
using Names = std::vector<std::string>;

class LevelLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ALSOFT_CONF", MOSSFANG_SOURCE_DIR "/scripts/openal-null.conf", 1);
        context = std::make_unique<testsupport::GlTestContext>(8, 8);
        ASSERT_TRUE(context->ok()) << context->error();
        previousRoot = vorn::engine::assetRoot();
        vorn::engine::setAssetRoot(std::string(MOSSFANG_SOURCE_DIR) + "/assets/");
    }
    void TearDown() override { vorn::engine::setAssetRoot(previousRoot); }

    // Loads `text` into a fresh world with the game's space label.
    std::shared_ptr<World> load(const std::string& text, const std::string& entrance = "",
                                bool* ok = nullptr) {
        auto world = std::make_shared<World>();
        std::istringstream in(text);
        game::LevelLoader::CarriedPlayer nobody;
        const bool loaded = game::LevelLoader::load(in, *world, nobody, "gameSpace", entrance);
        releaseSceneSlot();
        if (ok)
            *ok = loaded;
        return world;
    }

    // Each load takes a scene slot that an area's sound clean-up would give back; so do we.
    static void releaseSceneSlot() {
        vorn::audio::SoundManager& sound = vorn::audio::SoundManager::instance();
        const int slot = sound.currentSlot();
        sound.releaseSlot(slot);
        sound.freeSlot(slot);
    }

    static Names componentsOf(World& world, uint32_t id) {
        Names names;
        for (const vorn::engine::Component* c : world.getEntityComponents(EntityHandle{id, &world}))
            names.push_back(game::StateDump::componentName(*c));
        return names;
    }

    static std::string entry(const std::string& key, const std::string& extras = "") {
        return "[ " + key + " [ [0 0 0] [0 0 0] [1 1 1] " + extras + " ] ]";
    }

    std::unique_ptr<testsupport::GlTestContext> context;
    std::string previousRoot;
};

TEST_F(LevelLoaderTest, EveryTemplateBuildsItsComponentsInOrderWithTheSpaceLabelLast) {
    const Names platform = {"transform", "model",      "polygonCollider", "rigidBody",
                            "platform",  "staticBody", "gameSpace"};
    const Names pickup = {"transform",        "model",       "circleCollider", "scoreObject",
                          "collisionTracker", "deathAction", "pickupId",       "gameSpace"};
    struct Case {
        std::string key;
        std::string extras;
        std::vector<Names> entities; // one list per entity built, in id order
    };
    const std::vector<Case> cases = {
        {"flatPlat3", "", {platform}},
        {"smallPlat", "", {platform}},
        {"plat3x3", "", {platform}},
        {"rock", "", {platform}},
        {"spiderWeb",
         "",
         {{"transform", "model", "polygonCollider", "rigidBody", "health", "enemy", "deathAction",
           "gameSpace"}}},
        {"mushSingle",
         "",
         {{"transform", "model", "polygonCollider", "rigidBody", "platform", "gameSpace"}}},
        {"mushClust", "", {{"transform", "model", "gameSpace"}}},
        {"boulder",
         "",
         {{"transform", "model", "circleCollider", "rigidBody", "spinHorizontalVelocity",
           "hasGravity", "platform", "boulder", "gameSpace"}}},
        {"breakable",
         "",
         {{"transform", "model", "polygonCollider", "rigidBody", "platform", "selfDelete",
           "gameSpace"}}},
        {"spikes",
         "",
         {{"transform", "model", "polygonCollider", "rigidBody", "killer", "selfDelete",
           "gameSpace"}}},
        {"sugarPile",
         "",
         {{"transform", "model", "circleCollider", "energyObject", "touchEmitter",
           "collisionTracker", "gameSpace"}}},
        {"antEgg", "", {pickup}},
        {"candyCorn",
         "",
         {{"transform", "model", "circleCollider", "energyObject", "collisionTracker",
           "deathAction", "pickupId", "gameSpace"}}},
        {"shiny", "", {pickup}},
        {"quarrow",
         "",
         {{"transform", "model", "circleCollider", "scoreObject", "objective", "selfDelete",
           "collisionTracker", "pickupId", "gameSpace"}}},
        {"workerAnt",
         "",
         {{"transform", "model", "circleCollider", "rigidBody", "antAttackBehavior", "health",
           "antBehavior", "deathAction", "hasGravity", "selfDelete", "enemy", "ant", "being",
           "gameSpace"},
          {"transform", "transformAttachment", "circleCollider", "rigidBody", "damage",
           "gameSpace"},
          {"transform", "transformAttachment", "circleCollider", "rigidBody", "damage",
           "gameSpace"}}},
        {"antCommandCW", "", {{"transform", "circleCollider", "antCommandCW", "gameSpace"}}},
        {"antCommandCCW", "", {{"transform", "circleCollider", "antCommandCCW", "gameSpace"}}},
        {"jumpUpgrade",
         "",
         {{"transform", "model", "polygonCollider", "hasGravity", "gameSpace"},
          {"transform", "circleCollider", "model", "upgrade", "constantRotation", "pickupId",
           "gameSpace"}}},
        {"swordUpgrade",
         "",
         {{"transform", "model", "polygonCollider", "hasGravity", "gameSpace"},
          {"transform", "circleCollider", "model", "upgrade", "constantRotation", "pickupId",
           "gameSpace"}}},
        {"killZone", "", {{"transform", "polygonCollider", "rigidBody", "killer", "gameSpace"}}},
        {"BGSprite", "\"images/HealthBar.png\"", {{"transform", "model", "gameSpace"}}},
        {"exit",
         "\"simpleArea.txt\" \"simpleBottomDoor\"",
         {{"transform", "model", "polygonCollider", "collisionTracker", "exit", "promptZone",
           "gameSpace"}}},
        {"wasp",
         "[30 0 0] 8",
         {{"transform", "model", "circleCollider", "behavior", "collisionTracker", "health",
           "waspBehaviour", "sting", "deathAction", "enemy", "gameSpace"},
          {"transform", "model", "transformAttachment", "gameSpace"}}},
        {"spider",
         "30",
         {{"transform", "model", "circleCollider", "behavior", "collisionTracker", "sting",
           "spiderBehaviour", "gameSpace"},
          {"transform", "model", "polygonCollider", "health", "enemy", "deathAction",
           "gameSpace"}}},
        {"movingLeaf",
         "[30 0 0] 6 2",
         {{"transform", "model", "polygonCollider", "rigidBody", "platform", "movingLeaf",
           "gameSpace"}}},
        {"hint", "\"Jump\"", {{"transform", "promptZone", "gameSpace"}}},
        {"checkpoint",
         "",
         {{"transform", "model", "circleCollider", "checkpoint", "touchEmitter", "collisionTracker",
           "gameSpace"}}},
        {"unknownThing", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        vorn::engine::DiagnosticsCapture capture;
        bool ok = false;
        auto world = load(entry(c.key, c.extras), "", &ok);
        EXPECT_TRUE(ok) << capture.text();
        ASSERT_EQ(world->liveEntities().size(), c.entities.size());
        for (uint32_t id = 1; id <= c.entities.size(); ++id)
            EXPECT_EQ(componentsOf(*world, id), c.entities[id - 1]) << "entity " << id;
    }
}

TEST_F(LevelLoaderTest, TheTemplateKeysAreComparedInTheTablesOrder) {
    const Names expected = {
        "music",     "player",    "entrance",     "exit",          "flatPlat3",   "smallPlat",
        "plat3x3",   "rock",      "spiderWeb",    "mushSingle",    "mushClust",   "boulder",
        "breakable", "spikes",    "sugarPile",    "antEgg",        "candyCorn",   "shiny",
        "quarrow",   "workerAnt", "antCommandCW", "antCommandCCW", "jumpUpgrade", "swordUpgrade",
        "killZone",  "BGSprite",  "wasp",         "spider",        "movingLeaf"};
    EXPECT_EQ(game::LevelLoader::templateKeys(), expected);
}

TEST_F(LevelLoaderTest, AnEmptyFileBuildsNothingAndStillSetsTheChannelVolumes) {
    vorn::audio::SoundManager& sound = vorn::audio::SoundManager::instance();
    vorn::audio::ChannelGroup* music = sound.channelGroup(vorn::audio::SoundManager::musicGroup);
    vorn::audio::ChannelGroup* effects =
        sound.channelGroup(vorn::audio::SoundManager::effectsGroup);
    if (!music || !effects)
        GTEST_SKIP() << "no sound output on this machine";
    music->setVolume(0.1f);
    effects->setVolume(0.2f);
    bool ok = false;
    auto world = load("[ ]", "", &ok);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(world->liveEntities().empty());
    float volume = 0.0f;
    music->getVolume(volume);
    EXPECT_FLOAT_EQ(volume, 0.6f);
    effects->getVolume(volume);
    EXPECT_FLOAT_EQ(volume, 1.0f);
}

TEST_F(LevelLoaderTest, GrammarSkipsWhatTemplatesDoNotRead) {
    // A fourth number in a vector is skipped to its bracket; a lone slash comments out its line;
    // unknown keywords and surplus extras, points in brackets among them, are skipped to the
    // entry's end, the points whole.
    auto world = load("[\n"
                      "  mushClust [ [1 2 3 4] [0 0 0] [2 2 2] ]\n"
                      "/ mushClust [ [9 9 9] [0 0 0] [1 1 1] ]\n"
                      "  mystery [ [5 5 5] [0 0 0] [1 1 1] \"extra\" 17 ]\n"
                      "  mystery [ [5 5 5] [0 0 0] [1 1 1] [6 7 8] 9 ]\n"
                      "  mystery [ [5 5 5] [0 0 0] [1 1 1] \"extra\" [1 2 3] 17 ]\n"
                      "  mushClust [ [7 8 9] [0 0 0] [1 1 1] \"surplus\" ]\n"
                      "]\n"
                      "mushClust [ [0 0 0] [0 0 0] [1 1 1] ]\n");
    ASSERT_EQ(world->liveEntities().size(), 2u);
    const auto position = [&](uint32_t id) {
        return world
            ->getComponentAs<vorn::components::Transform>(EntityHandle{id, world.get()},
                                                          "transform")
            ->position();
    };
    EXPECT_EQ(position(1), glm::vec3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(position(2), glm::vec3(7.0f, 8.0f, 9.0f));
    const glm::mat4 m =
        world
            ->getComponentAs<vorn::components::Transform>(EntityHandle{1, world.get()}, "transform")
            ->matrix;
    EXPECT_FLOAT_EQ(m[0][0], 2.0f);
}

TEST_F(LevelLoaderTest, PlacementIsTranslationThenZYXRotationThenScale) {
    const glm::mat4 m =
        game::LevelLoader::placement({1.0f, 2.0f, 3.0f}, {0.0f, 0.0f, 90.0f}, {2.0f, 3.0f, 4.0f});
    // The x axis is turned onto +y and scaled by 2; the y axis onto -x scaled by 3.
    EXPECT_NEAR(m[0][1], 2.0f, 1e-5f);
    EXPECT_NEAR(m[0][0], 0.0f, 1e-5f);
    EXPECT_NEAR(m[1][0], -3.0f, 1e-5f);
    EXPECT_NEAR(m[2][2], 4.0f, 1e-5f);
    EXPECT_EQ(glm::vec3(m[3]), glm::vec3(1.0f, 2.0f, 3.0f));
}

TEST_F(LevelLoaderTest, TemplateValuesFollowTheEntrysScaleAndDepth) {
    // A single mushroom is solid only in the play plane: -5 sz < pz < 5 sz.
    for (const auto& [pz, solid] : {std::pair{0.0f, true}, std::pair{20.0f, false}}) {
        auto world = load("[ mushSingle [ [0 0 " + std::to_string(pz) + "] [0 0 0] [1 1 1] ] ]");
        const EntityHandle mushroom{1, world.get()};
        EXPECT_EQ(world->getComponent(mushroom, "collider") != nullptr, solid) << pz;
        EXPECT_EQ(world->getComponent(mushroom, "platform") != nullptr, solid) << pz;
    }
    // A boulder's mass is 250 sx sy sz and its radius 6 sx.
    for (const auto& [scale, mass, radius] :
         {std::tuple{"1 1 1", 250.0f, 6.0f}, std::tuple{"2 1 1", 500.0f, 12.0f}}) {
        auto world = load(std::string("[ boulder [ [0 0 0] [0 0 0] [") + scale + "] ] ]");
        const EntityHandle boulder{1, world.get()};
        const auto* body = world->getComponentAs<vorn::components::Body>(boulder, "body");
        const auto* circle =
            world->getComponentAs<vorn::components::CircleCollider>(boulder, "collider");
        ASSERT_TRUE(body && circle) << scale;
        EXPECT_FLOAT_EQ(body->mass, mass) << scale;
        EXPECT_FLOAT_EQ(circle->radius(), radius) << scale;
    }
}

TEST_F(LevelLoaderTest, HintsAndDoorsSayTheirLineInAZoneAroundTheirPosition) {
    struct Case {
        std::string entry;
        std::string line;
        glm::vec2 centre;
        glm::vec2 size;
    };
    const std::vector<Case> cases = {
        // A hint without a size gets the default zone; its rotation and scale do not matter.
        {"hint [ [10 20 5] [0 0 30] [3 3 3] \"Space: jump\" ]", "Space: jump", {10, 20}, {40, 30}},
        {"hint [ [-4 7 0] [0 0 0] [1 1 1] \"Up the logs\" [60 24 0] ]",
         "Up the logs",
         {-4, 7},
         {60, 24}},
        // A door names the area behind it: the game's areas by their names, others by file.
        {"exit [ [30 12 0] [0 0 0] [1 1 1] \"swordArea.txt\" \"swordLeftDoor\" ]",
         "To the ember hollow",
         {30, 12},
         {40, 30}},
        {"exit [ [0 0 0] [0 0 0] [1 1 1] \"startingArea.txt\" \"\" ]",
         "To the clearing",
         {0, 0},
         {40, 30}},
        {"exit [ [0 0 0] [0 0 0] [1 1 1] \"tests/game/levels/doorTarget.txt\" \"a\" ]",
         "To doorTarget",
         {0, 0},
         {40, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        bool ok = false;
        auto world = load("[ " + c.entry + " ]", "", &ok);
        ASSERT_TRUE(ok);
        const EntityHandle e{1, world.get()};
        const auto* zone = world->getComponentAs<components::PromptZone>(e, "promptZone");
        const auto* t = world->getComponentAs<vorn::components::Transform>(e, "transform");
        ASSERT_TRUE(zone && t);
        EXPECT_EQ(zone->text, c.line);
        EXPECT_EQ(zone->size, c.size);
        EXPECT_EQ(glm::vec2(t->position()), c.centre);
    }
}

TEST_F(LevelLoaderTest, ASyntaxErrorInTheTenthEntryKeepsTheFirstNineAndPrintsOneLine) {
    std::string text = "[\n";
    for (int i = 0; i < 9; ++i)
        text += "  mushClust [ [" + std::to_string(i * 10) + " 0 0] [0 0 0] [1 1 1] ]\n";
    text += "  mushClust [ [0 0 0] (0 0 0) [1 1 1] ]\n  mushClust [ [0 0 0] [0 0 0] [1 1 1] ]\n]\n";
    vorn::engine::DiagnosticsCapture capture;
    bool ok = true;
    auto world = load(text, "", &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(world->liveEntities().size(), 9u);
    const std::string err = capture.errText();
    EXPECT_EQ(err.rfind("Error loading level:: ", 0), 0u) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

TEST_F(LevelLoaderTest, PlayersComeFromPlayerEntriesAndTheRequestedEntranceOnly) {
    const std::string text = "[ player [ [0 0 0] [0 0 0] [1 1 1] ]\n"
                             "  entrance [ [10 0 0] [0 0 0] [1 1 1] \"left\" ]\n"
                             "  entrance [ [20 5 0] [0 0 0] [1 1 1] \"right\" ] ]";
    const auto players = [](World& world) {
        std::vector<glm::vec3> where;
        for (const EntityHandle& p : world.getEntities("player"))
            where.push_back(world
                                .getComponentAs<vorn::components::Transform>(
                                    EntityHandle{p.entityId, &world}, "transform")
                                ->position());
        return where;
    };
    auto none = load(text, "");
    EXPECT_EQ(players(*none), (std::vector<glm::vec3>{{0, 0, 0}}));
    auto right = load(text, "right");
    EXPECT_EQ(players(*right), (std::vector<glm::vec3>{{0, 0, 0}, {20, 5, 0}}));

    // A carried player's own components move to the entrance; the old ones are his, not copies.
    auto first = load(text, "");
    const EntityHandle ninja{1, first.get()};
    const std::vector<vorn::engine::Component*> own = first->getEntityComponents(ninja);
    game::LevelLoader::CarriedPlayer carried;
    for (vorn::engine::Component* c : own)
        carried.emplace_back(first->removeComponent(c));
    // An entrance the level lacks leaves the carried components with the caller.
    auto elsewhere = std::make_shared<World>();
    std::istringstream lacking("[ mushClust [ [0 0 0] [0 0 0] [1 1 1] ] ]");
    game::LevelLoader::load(lacking, *elsewhere, carried, "", "left");
    releaseSceneSlot();
    ASSERT_EQ(carried.size(), own.size());
    EXPECT_EQ(carried.front().get(), own.front());

    auto second = std::make_shared<World>();
    std::istringstream in(text);
    game::LevelLoader::load(in, *second, carried, "", "left");
    releaseSceneSlot();
    EXPECT_TRUE(carried.empty());
    const EntityHandle moved{2, second.get()};
    EXPECT_EQ(second->getEntityComponents(moved), own);
    EXPECT_EQ(second->getComponentAs<vorn::components::Transform>(moved, "transform")->position(),
              glm::vec3(10.0f, 0.0f, 0.0f));
}

TEST_F(LevelLoaderTest, TheJourneysPiecesReadTheirExtrasOrTakeTheirDefaults) {
    struct Case {
        std::string key;
        std::string extras;
        glm::vec3 end; // wasp and leaf: the far point of the patrol or path
        float radius;  // wasp: circle radius; spider: rest length
        float speed;   // wasp and leaf; spider: the drop
        float sink;    // leaf; spider: reach
        std::string scale = "1 1 1";
    };
    const std::vector<Case> cases = {
        {"wasp", "", {40, 5, 0}, 0, 8, 0},
        {"wasp", "[1 2 3] 3", {1, 2, 3}, 0, 3, 0},
        {"wasp", "12", {40, 5, 0}, 12, 8, 0},
        {"wasp", "12 4", {40, 5, 0}, 12, 4, 0},
        {"spider", "", {}, 8, 30, 10},
        {"spider", "20", {}, 16, 20, 20, "2 2 2"},
        {"movingLeaf", "", {40, 5, 0}, 0, 6, 0},
        {"movingLeaf", "[1 2 3]", {1, 2, 3}, 0, 6, 0},
        {"movingLeaf", "[1 2 3] 4 5", {1, 2, 3}, 0, 4, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key + " " + c.extras);
        bool ok = false;
        auto world = load("[ " + c.key + " [ [10 5 0] [0 0 0] [" + c.scale + "] " + c.extras +
                              " ] mushClust [ [0 0 0] [0 0 0] [1 1 1] ] ]",
                          "", &ok);
        ASSERT_TRUE(ok);
        EXPECT_EQ(world->getEntities("model").size(), c.key == "movingLeaf" ? 2u : 3u)
            << "the entry after it is read too";
        const EntityHandle piece{1, world.get()};
        if (c.key == "wasp") {
            const auto* wasp = world->getComponentAs<components::WaspBehaviour>(
                piece, components::WaspBehaviour::componentName);
            ASSERT_NE(wasp, nullptr);
            EXPECT_EQ(wasp->start, glm::vec3(10, 5, 0));
            EXPECT_EQ(wasp->end, c.end);
            EXPECT_FLOAT_EQ(wasp->radius, c.radius);
            EXPECT_FLOAT_EQ(wasp->speed, c.speed);
        } else if (c.key == "spider") {
            const auto* spider = world->getComponentAs<components::SpiderBehaviour>(
                piece, components::SpiderBehaviour::componentName);
            ASSERT_NE(spider, nullptr);
            EXPECT_EQ(spider->anchor, glm::vec3(10, 5, 0));
            EXPECT_FLOAT_EQ(spider->restLength, c.radius);
            EXPECT_FLOAT_EQ(spider->dropLength, c.speed);
            EXPECT_FLOAT_EQ(spider->reach, c.sink);
        } else {
            const auto* leaf = world->getComponentAs<components::MovingLeaf>(
                piece, components::MovingLeaf::componentName);
            ASSERT_NE(leaf, nullptr);
            EXPECT_EQ(leaf->start, glm::vec3(10, 5, 0));
            EXPECT_EQ(leaf->end, c.end);
            EXPECT_FLOAT_EQ(leaf->speed, c.speed);
            EXPECT_FLOAT_EQ(leaf->sinkDepth, c.sink);
        }
    }
}

TEST_F(LevelLoaderTest, AWorkerAntWalksClockwiseWhenItFacesTheDefaultWay) {
    for (const auto& [ry, clockwise] :
         {std::pair{"0", true}, std::pair{"-30", true}, std::pair{"180", false}}) {
        auto world = load(std::string("[ workerAnt [ [0 0 0] [0 ") + ry + " 0] [1 1 1] ] ]");
        const auto* ant = world->getComponentAs<vorn::components::AntBehaviour>(
            EntityHandle{1, world.get()}, vorn::components::AntBehaviour::componentName);
        ASSERT_NE(ant, nullptr) << ry;
        EXPECT_EQ(ant->clockwise, clockwise) << ry;
    }
}

TEST_F(LevelLoaderTest, DeathActionsStripWhatDiesAndLetItGoLater) {
    struct Case {
        std::string key;
        Names gone;    // components the action removes
        Names kept;    // components it leaves
        size_t queued; // entities queued for destruction after the pass
        uint32_t dying = 1;
        long behaviors = 1; // unnamed behaviours afterwards: the life span, and a body
    };
    const std::vector<Case> cases = {
        {"spiderWeb", {"collider", "deathAction", "model"}, {"health", "enemy"}, 0},
        {"antEgg", {"model", "collider", "deathAction"}, {"scoreObject", "collisionTracker"}, 0},
        {"shiny", {"model", "collider", "deathAction"}, {"scoreObject"}, 0},
        {"workerAnt", {"collider", "deathAction"}, {"model", "antBehavior"}, 2},
        {"wasp",
         {"collider", "deathAction"},
         {"model", "waspBehaviour", "dead", "hasGravity"},
         0,
         1,
         2},
        // The spider's thread is its second entity; its spider falls with it.
        {"spider", {"model", "collider", "deathAction"}, {"health"}, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        auto world = load(entry(c.key));
        const EntityHandle dying{c.dying, world.get()};
        ASSERT_TRUE(vorn::components::invokeAction(dying, "deathAction"));
        for (const std::string& name : c.gone)
            EXPECT_EQ(world->getComponent(dying, name), nullptr) << name;
        for (const std::string& name : c.kept)
            EXPECT_NE(world->getComponent(dying, name), nullptr) << name;
        EXPECT_EQ(world->pendingDestroy().size(), c.queued);
        // It leaves in good time: a life span counts down on the entity.
        const Names after = componentsOf(*world, c.dying);
        EXPECT_EQ(std::count(after.begin(), after.end(), "behavior") +
                      std::count(after.begin(), after.end(), "lifeSpan"),
                  c.behaviors)
            << ::testing::PrintToString(after);
        if (c.key == "spider") {
            EXPECT_NE(world->getComponent(EntityHandle{1, world.get()}, "dead"), nullptr);
        }
        if (c.key == "workerAnt") {
            const glm::vec3 v =
                world->getComponentAs<vorn::components::Body>(dying, "body")->velocity;
            EXPECT_TRUE(v.x >= -20 && v.x <= 20 && v.y >= 40 && v.y <= 45 && v.z >= 30 && v.z <= 40)
                << v.x << " " << v.y << " " << v.z;
        }
    }
}

} // namespace
