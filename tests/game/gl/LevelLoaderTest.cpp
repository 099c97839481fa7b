// The level loader in process: what each template builds, in which order, and the grammar's edge
// cases. Models load through the real caches, so these tests need a GL context.
#include "game/LevelLoader.hpp"
#include "audio/ChannelGroup.hpp"
#include "audio/SoundManager.hpp"
#include "components/Action.hpp"
#include "components/AntAttackBehaviour.hpp"
#include "components/AntBehaviour.hpp"
#include "components/Attack.hpp"
#include "components/ConstantRotation.hpp"
#include "components/Damage.hpp"
#include "components/EnergyBoostObject.hpp"
#include "components/Exit.hpp"
#include "components/Health.hpp"
#include "components/MovingLeaf.hpp"
#include "components/PromptZone.hpp"
#include "components/ScoreObject.hpp"
#include "components/SpiderBehaviour.hpp"
#include "components/TransformAttachment.hpp"
#include "components/Upgrade.hpp"
#include "components/WaspBehaviour.hpp"
#include "engine/Application.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/DiagnosticsCapture.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "game/LevelEntrances.hpp"
#include "game/tools/StateDump.hpp"
#include "physics/Body.hpp"
#include "physics/CircleCollider.hpp"
#include "physics/Gravity.hpp"
#include "physics/PolygonCollider.hpp"
#include "physics/RigidBody.hpp"
#include "support/GameAssetsTest.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using vorn::engine::EntityHandle;
using vorn::engine::World;
using Names = std::vector<std::string>;

class LevelLoaderTest : public testsupport::GameAssetsTest {
protected:
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

    static Names componentsOf(World& world, uint32_t id) {
        Names names;
        for (const vorn::engine::Component* c : world.getEntityComponents(EntityHandle{id, &world}))
            names.push_back(game::StateDump::componentName(*c));
        return names;
    }

    static std::string entry(const std::string& key, const std::string& extras = "") {
        return "[ " + key + " [ [0 0 0] [0 0 0] [1 1 1] " + extras + " ] ]";
    }
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

TEST_F(LevelLoaderTest, EveryTemplateBuildsTheNumbersOfItsRow) {
    // Every entry at (10, 20, 0), unturned, scaled (2, 3, 0.5): sizes that follow sx or sy and
    // masses that follow sx sy sz (= 3) show which factor each number took.
    const glm::vec3 at(10.0f, 20.0f, 0.0f), s(2.0f, 3.0f, 0.5f);
    using Check = std::function<void(World&, EntityHandle)>;
    struct Row {
        std::string key;
        std::string extras;
        uint32_t entity;            // which of the entities the entry builds, from 1
        std::vector<glm::vec2> box; // polygon points, or one point {r, 0} for a circle of radius r
        float mass;                 // < 0: no rigid body
        bool isStatic;
        float restitution;
        Check more;
    };
    // The four corners of the box at (x, y) of size (w, h), scaled by the entry's (sx, sy).
    const auto box = [&](float x, float y, float w, float h) {
        return std::vector<glm::vec2>{{x * s.x, y * s.y},
                                      {(x + w) * s.x, y * s.y},
                                      {(x + w) * s.x, (y + h) * s.y},
                                      {x * s.x, (y + h) * s.y}};
    };
    const auto circle = [](float r) { return std::vector<glm::vec2>{{r, 0.0f}}; };
    const auto get = [](World& w, EntityHandle e, const std::string& name) {
        vorn::engine::Component* c = w.getComponent(e, name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    };
    const auto health = [&](float maximum, const char* sound, float regen, float delay) {
        return [=](World& w, EntityHandle e) {
            if (const auto* h = dynamic_cast<components::Health*>(get(w, e, "health"))) {
                EXPECT_EQ(h->maximum, maximum);
                EXPECT_EQ(h->hurtSoundName, sound);
                EXPECT_EQ(h->regenRate, regen);
                EXPECT_EQ(h->regenDelay, delay);
            }
        };
    };
    const auto score = [&](int points, bool egg) {
        return [=](World& w, EntityHandle e) {
            if (const auto* o =
                    dynamic_cast<vorn::components::ScoreObject*>(get(w, e, "scoreObject"))) {
                EXPECT_EQ(o->points, points);
                EXPECT_EQ(o->isEgg, egg);
            }
        };
    };
    const auto translation = [](World& w, EntityHandle e) {
        return glm::vec3(w.getComponentAs<vorn::components::Transform>(e, "transform")->matrix[3]);
    };
    const auto diagonal = [](World& w, EntityHandle e) {
        const glm::mat4& m = w.getComponentAs<vorn::components::Transform>(e, "transform")->matrix;
        return glm::vec3(m[0][0], m[1][1], m[2][2]);
    };
    const auto antPart = [&](float offset) {
        return [=](World& w, EntityHandle e) {
            EXPECT_EQ(diagonal(w, e), 1.5f * s);
            if (const auto* a = dynamic_cast<vorn::components::TransformAttachment*>(
                    get(w, e, "transformAttachment"))) {
                EXPECT_EQ(glm::vec3(a->offsetMatrix[3]), glm::vec3(0.0f, 0.0f, offset));
            }
            if (const auto* d = dynamic_cast<components::Damage*>(get(w, e, "damage"))) {
                EXPECT_EQ(d->targetTag, "player");
                EXPECT_EQ(d->amount, 20.0f);
                EXPECT_EQ(d->cooldown, 0.5f);
                EXPECT_EQ(d->knockback, 1000.0f);
            }
            const auto* b = w.getComponentAs<vorn::components::RigidBody>(e, "rigidBody");
            EXPECT_EQ(b->requiredComponents.count("being"), 1u);
        };
    };
    const auto upgrade = [&](const char* flag, const char* voice, glm::vec3 offset) {
        return [=](World& w, EntityHandle e) {
            EXPECT_EQ(translation(w, e), at);
            EXPECT_EQ(diagonal(w, e), 2.5f * s);
            if (const auto* u = dynamic_cast<vorn::components::Upgrade*>(get(w, e, "upgrade"))) {
                EXPECT_EQ(u->flagName, flag);
                EXPECT_EQ(u->targetTag, "player");
                EXPECT_EQ(u->soundName, voice);
                EXPECT_EQ(u->soundOffset, offset);
            }
            if (const auto* r = dynamic_cast<vorn::components::ConstantRotation*>(
                    get(w, e, "constantRotation"))) {
                EXPECT_EQ(r->rate, 20.0f);
                EXPECT_EQ(r->axis, glm::vec3(0.0f, 1.0f, 0.0f));
            }
        };
    };
    const auto presenter = [&](glm::vec3 offset) {
        return [=](World& w, EntityHandle e) { EXPECT_EQ(translation(w, e), at + offset); };
    };
    const std::vector<glm::vec2> grasshopper = {
        {-0.5f, 0.0f}, {0.5f, 0.0f}, {0.5f, 1.0f}, {-0.5f, 1.0f}};
    std::vector<glm::vec2> cap = {{-6.3f, 2.8f}, {-6.8f, 3.0f}, {-6.2f, 4.7f},
                                  {-3.3f, 6.7f}, {0.0f, 7.4f},  {3.3f, 6.7f},
                                  {6.2f, 4.7f},  {6.8f, 3.0f},  {6.3f, 2.8f}};
    for (glm::vec2& p : cap)
        p *= glm::vec2(s.x, s.y);
    const Check nothing = [](World&, EntityHandle) {};
    const Check player = [&](World& w, EntityHandle e) {
        EXPECT_EQ(translation(w, e), at);
        health(100.0f, "antBite", 0.5f, 0.5f)(w, e);
        if (const auto* d = dynamic_cast<components::Damage*>(get(w, e, "damage"))) {
            EXPECT_EQ(d->targetTag, "ant");
            EXPECT_EQ(d->amount, 100.0f);
            EXPECT_EQ(d->cooldown, 0.5f);
            EXPECT_EQ(d->knockback, 0.0f);
        }
        if (const auto* a = dynamic_cast<components::Attack*>(get(w, e, "attack"))) {
            EXPECT_EQ(a->targetTag, "enemy");
            EXPECT_EQ(a->damage, 100.0f);
            EXPECT_EQ(a->windupTime, 0.05f);
            EXPECT_EQ(a->punchSpeed, 40.0f);
            EXPECT_EQ(a->punchLifetime, 0.2f);
            EXPECT_EQ(a->recoveryTime, 1.0f);
            EXPECT_EQ(a->punchOffset, glm::vec3(0.0f, 0.0f, 5.0f));
            EXPECT_EQ(a->punchSize, glm::vec2(5.0f, 5.0f));
        }
    };
    const std::vector<Row> rows = {
        {"player", "", 1, circle(5.0f * s.x), 100.0f * 3.0f, false, 0.0f, player},
        {"entrance", "\"in\"", 1, circle(5.0f * s.x), 100.0f * 3.0f, false, 0.0f, player},
        {"exit", "\"simpleArea.txt\" \"simpleBottomDoor\"", 1, box(-5, -5, 10, 10), -1.0f, false,
         0.0f,
         [&](World& w, EntityHandle e) {
             if (const auto* x = dynamic_cast<components::Exit*>(get(w, e, "exit"))) {
                 EXPECT_EQ(x->levelFile, "simpleArea.txt");
                 EXPECT_EQ(x->entrance, "simpleBottomDoor");
             }
         }},
        {"flatPlat3", "", 1, box(-13.5f, -4.5f, 27, 9), 1.0f, true, 1.0f, nothing},
        {"smallPlat", "", 1, box(-6.75f, -4.5f, 13.5f, 9), 1.0f, true, 1.0f, nothing},
        {"plat3x3", "", 1, box(-13.5f, -13.5f, 27, 27), 1.0f, true, 0.0f, nothing},
        {"rock", "", 1, box(-20, -14, 40, 28), 1.0f, true, 0.0f, nothing},
        {"spiderWeb", "", 1, box(-2, -9, 4, 15), 1.0f, true, -1.0f,
         health(150.0f, "hit", 1000.0f, 0.0f)},
        {"mushSingle", "", 1, cap, 1.0f, true, 0.0f, nothing},
        {"mushClust", "", 1, {}, -1.0f, false, 0.0f, nothing},
        {"boulder", "", 1, circle(6.0f * s.x), 250.0f * 3.0f, false, 0.05f, nothing},
        {"breakable", "", 1, box(-13.5f, -4.5f, 27, 9), 1.0f, true, 0.0f, nothing},
        {"spikes", "", 1, box(-3.03f, 0, 6.06f, 6), 1.0f, true, 1.0f, nothing},
        {"sugarPile", "", 1, circle(2.0f * s.x), -1.0f, false, 0.0f, nothing},
        {"antEgg", "", 1, circle(2.0f * s.x), -1.0f, false, 0.0f, score(10, true)},
        {"candyCorn", "", 1, circle(2.0f * s.x), -1.0f, false, 0.0f,
         [&](World& w, EntityHandle e) {
             if (const auto* b = dynamic_cast<vorn::components::EnergyBoostObject*>(
                     get(w, e, "energyObject"))) {
                 EXPECT_EQ(b->boost, 0.1f);
             }
         }},
        {"shiny", "", 1, circle(1.0f * s.x), -1.0f, false, 0.0f, score(1, false)},
        {"quarrow", "", 1, circle(2.25f * s.x), -1.0f, false, 0.0f, score(15, false)},
        {"workerAnt", "", 1, circle(2.5f * s.x), 100.0f * 3.0f, false, 0.0f,
         [&](World& w, EntityHandle e) {
             health(100.0f, "hit", 0.0f, 0.0f)(w, e);
             if (const auto* a = dynamic_cast<components::AntAttackBehaviour*>(
                     get(w, e, "antAttackBehavior"))) {
                 EXPECT_EQ(a->windupTime, 0.1f);
                 EXPECT_EQ(a->damage, 20.0f);
                 EXPECT_EQ(a->recoveryTime, 2.0f);
                 EXPECT_EQ(a->biteOffset, glm::vec3(0.0f, 0.0f, 5.0f));
                 EXPECT_EQ(a->biteSize, glm::vec2(3.0f, 3.0f));
             }
             if (const auto* a =
                     dynamic_cast<vorn::components::AntBehaviour*>(get(w, e, "antBehavior"))) {
                 EXPECT_EQ(a->maxSpeed, 10.0f);
                 EXPECT_EQ(a->airDrag, 0.2f);
                 EXPECT_EQ(a->groundFriction, 0.5f);
                 EXPECT_EQ(a->walkAcceleration, 10.0f);
             }
         }},
        {"workerAnt", "", 2, circle(1.5f * s.x), 100.0f * 3.0f, false, 0.0f, antPart(4.0f * s.z)},
        {"workerAnt", "", 3, circle(1.5f * s.x), 100.0f * 3.0f, false, 0.0f, antPart(-4.0f * s.z)},
        {"antCommandCW", "", 1, circle(2.5f * s.x), -1.0f, false, 0.0f, nothing},
        {"antCommandCCW", "", 1, circle(2.5f * s.x), -1.0f, false, 0.0f, nothing},
        {"jumpUpgrade", "", 1, grasshopper, -1.0f, false, 0.0f, presenter({-12.0f, -5.5f, -10.0f})},
        {"jumpUpgrade", "", 2, circle(2.5f * s.x), -1.0f, false, 0.0f,
         upgrade("doubleJumpEnabled", "jumpUpgradeVoice", {-12.0f, -5.5f, -10.0f})},
        {"swordUpgrade", "", 1, grasshopper, -1.0f, false, 0.0f, presenter({12.0f, -5.0f, -10.0f})},
        {"swordUpgrade", "", 2, circle(2.5f * s.x), -1.0f, false, 0.0f,
         upgrade("swordEnabled", "swordUpgradeVoice", {12.0f, -5.0f, -10.0f})},
        {"killZone", "", 1, box(-1000, -2.5f, 2000, 5), 0.0f, true, 0.0f, nothing},
        {"BGSprite",
         "\"images/HealthBar.png\"",
         1,
         {},
         -1.0f,
         false,
         0.0f,
         [&](World& w, EntityHandle e) { EXPECT_EQ(translation(w, e), at - 0.5f * s); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key + " entity " + std::to_string(row.entity));
        auto world =
            load("[ " + row.key + " [ [10 20 0] [0 0 0] [2 3 0.5] " + row.extras + " ] ]", "in");
        const EntityHandle e{row.entity, world.get()};
        ASSERT_TRUE(world->isLive(e));
        const auto* polygon =
            world->getComponentAs<vorn::components::PolygonCollider>(e, "polygonCollider");
        const auto* round =
            world->getComponentAs<vorn::components::CircleCollider>(e, "circleCollider");
        if (row.box.size() == 1) {
            ASSERT_NE(round, nullptr);
            EXPECT_FLOAT_EQ(round->radius(), row.box[0].x);
        } else if (!row.box.empty()) {
            ASSERT_NE(polygon, nullptr);
            ASSERT_EQ(polygon->vertices().size(), row.box.size());
            for (std::size_t i = 0; i < row.box.size(); ++i) {
                EXPECT_NEAR(polygon->vertices()[i].x, row.box[i].x, 1e-4f) << "point " << i;
                EXPECT_NEAR(polygon->vertices()[i].y, row.box[i].y, 1e-4f) << "point " << i;
            }
        } else {
            EXPECT_EQ(world->getComponent(e, "collider"), nullptr);
        }
        const auto* body = world->getComponentAs<vorn::components::RigidBody>(e, "rigidBody");
        ASSERT_EQ(body != nullptr, row.mass >= 0.0f);
        if (body) {
            EXPECT_FLOAT_EQ(body->mass, row.mass);
            EXPECT_EQ(body->isStatic != 0.0f, row.isStatic);
            EXPECT_EQ(body->restitution, row.restitution);
        }
        row.more(*world, e);
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

TEST_F(LevelLoaderTest, ASingleMushroomIsSolidOnlyInThePlayPlane) {
    // -5 sz < pz < 5 sz.
    for (const auto& [pz, solid] : {std::pair{0.0f, true}, std::pair{20.0f, false}}) {
        auto world = load("[ mushSingle [ [0 0 " + std::to_string(pz) + "] [0 0 0] [1 1 1] ] ]");
        const EntityHandle mushroom{1, world.get()};
        EXPECT_EQ(world->getComponent(mushroom, "collider") != nullptr, solid) << pz;
        EXPECT_EQ(world->getComponent(mushroom, "platform") != nullptr, solid) << pz;
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

TEST_F(LevelLoaderTest, FileNamesLeavingTheAssetFolderAreRefusedNamingTheEntry) {
    // Each refused entry builds nothing and opens nothing; the same entry with a name inside the
    // folder builds its entity.
    struct Case {
        std::string entry;
        bool refused;
        std::string name;
    };
    const std::string at = "[ [0 0 0] [0 0 0] [1 1 1] ";
    const Case cases[] = {
        {"exit " + at + "\"../../../../etc/passwd\" \"start\" ]", true, "../../../../etc/passwd"},
        {"exit " + at + "\"/etc/passwd\" \"start\" ]", true, "/etc/passwd"},
        {"exit " + at + "\"../levels/simpleArea.txt\" \"start\" ]", false, ""},
        {"BGSprite " + at + "\"images/../../../etc/hostname\" ]", true,
         "images/../../../etc/hostname"},
        {"BGSprite " + at + "\"/etc/hostname\" ]", true, "/etc/hostname"},
        {"BGSprite " + at + "\"images/../images/HealthBar.png\" ]", false, ""},
    };
    for (const Case& c : cases) {
        vorn::engine::DiagnosticsCapture capture;
        auto world = load("[\n\n  " + c.entry + "\n]");
        EXPECT_EQ(world->liveEntities().size(), c.refused ? 0u : 1u) << c.entry;
        const std::string keyword = c.entry.substr(0, c.entry.find(' '));
        EXPECT_EQ(capture.errText(), c.refused ? "Refused the file name \"" + c.name +
                                                     "\" of the \"" + keyword +
                                                     "\" entry on line 3: it leads outside the "
                                                     "asset folder\n"
                                               : "")
            << c.entry;
    }
    // Music is named from the sound table, and such a name is refused before it is looked up.
    vorn::engine::DiagnosticsCapture capture;
    load("[\n  music [ \"../../sounds/Music/Monster.mp3\" ]\n  music [ \"/tmp/x.mp3\" ]\n]");
    EXPECT_EQ(capture.errText(),
              "Refused the file name \"../../sounds/Music/Monster.mp3\" of the \"music\" entry on "
              "line 2: it leads outside the asset folder\n"
              "Refused the file name \"/tmp/x.mp3\" of the \"music\" entry on line 3: it leads "
              "outside the asset folder\n");
    EXPECT_EQ(capture.outText(), "");
}

TEST_F(LevelLoaderTest, EntrancesAreRecordedOnTheWorldUpToABrokenEntry) {
    auto world = load("[\n entrance [ [1 2 3] [0 0 0] [1 1 1] \"left\" ]\n"
                      " killZone [ [0 0 0] [0 0 0] [1 1 1] ]\n"
                      " entrance [ [-4 5 0] [0 0 0] [1 1 1] \"top\" ]\n"
                      " entrance [ [9 9");
    const std::vector<game::LevelEntrances::Entrance> found = game::LevelEntrances::of(*world);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].name, "left");
    EXPECT_EQ(found[0].position, glm::vec3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(found[1].name, "top");
    EXPECT_EQ(found[1].position, glm::vec3(-4.0f, 5.0f, 0.0f));
    EXPECT_TRUE(game::LevelEntrances::of(World()).empty());
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

    // He arrives standing and held by gravity: the speed he ran or fell through the door with,
    // and a cling to a wall (which takes his gravity away), stay behind.
    auto* body = second->getComponentAs<vorn::components::Body>(moved, "body");
    ASSERT_NE(body, nullptr);
    body->velocity = glm::vec3(12.0f, -30.0f, 0.0f);
    body->deltaVelocity = glm::vec3(1.0f, 0.0f, 0.0f);
    second->deleteComponent(moved, "hasGravity");
    ASSERT_EQ(second->getComponent(moved, "hasGravity"), nullptr);
    const std::vector<vorn::engine::Component*> his = second->getEntityComponents(moved);
    for (vorn::engine::Component* c : his)
        carried.emplace_back(second->removeComponent(c));
    auto third = std::make_shared<World>();
    std::istringstream again(text);
    game::LevelLoader::load(again, *third, carried, "", "left");
    releaseSceneSlot();
    ASSERT_TRUE(carried.empty());
    const EntityHandle arrived = body->handle();
    EXPECT_EQ(third->getComponent(arrived, "body"), body);
    EXPECT_EQ(body->velocity, glm::vec3(0.0f));
    EXPECT_EQ(body->deltaVelocity, glm::vec3(0.0f));
    EXPECT_NE(third->getComponent(arrived, "hasGravity"), nullptr);
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

// The two biting parts ride on the ant's body and go with it, whatever ends it: a boulder that
// crushes it (the body deletes itself), or anything that destroys the body outright.
TEST_F(LevelLoaderTest, AWorkerAntsBitingPartsGoWithItsBody) {
    for (const bool crushed : {true, false}) {
        SCOPED_TRACE(crushed ? "crushed by a boulder" : "destroyed outright");
        const std::string boulder = crushed ? "boulder [ [0 30 0] [0 0 0] [1 1 1] ]" : "";
        auto world = load("[ flatPlat3 [ [0 0 0] [0 0 0] [1 1 1] ] workerAnt [ [0 7 0] [0 0 0] "
                          "[1 1 1] ] " +
                          boulder + " ]");
        world->addComponent(new vorn::systems::Gravity(0.0f, -40.0f, 0.0f, "hasGravity"));
        vorn::engine::Application app(nullptr, 20.0f, 60.0f, vorn::engine::assetRoot());
        app.setWorld(world);
        const EntityHandle ant{2, world.get()};
        ASSERT_NE(world->getComponent(ant, "antBehavior"), nullptr);
        const std::vector<EntityHandle> parts(world->getEntities("transformAttachment").begin(),
                                              world->getEntities("transformAttachment").end());
        ASSERT_EQ(parts.size(), 2u);
        if (!crushed)
            world->destroyEntity(ant);
        for (int frame = 0; frame < 120; ++frame)
            app.update(1.0f / 60.0f);
        EXPECT_FALSE(world->isLive(ant));
        for (const EntityHandle& part : parts)
            EXPECT_FALSE(world->isLive(part)) << "part " << part.entityId;
    }
}

// Whatever an entry ending in `asleep "NAME"` builds with a body holds still, in mid-air if need
// be, until the ninja enters the wake zone NAME; then it falls, and the zone is gone.
TEST_F(LevelLoaderTest, SleepersHoldStillUntilTheNinjaEntersTheirWakeZone) {
    auto world = load("[ flatPlat3 [ [-60 0 0] [0 0 0] [1 1 1] ]\n"
                      "  player [ [-60 10 0] [0 0 0] [1 1 1] ]\n"
                      "  boulder [ [0 40 0] [0 0 0] [1 1 1] asleep \"drop\" ]\n"
                      "  workerAnt [ [20 40 0] [0 0 0] [1 1 1] asleep \"drop\" ]\n"
                      "  wake [ [-40 10 0] [0 0 0] [6 10 1] \"drop\" ]\n"
                      "  wake [ [-80 10 0] [0 0 0] [6 10 1] \"elsewhere\" ]\n]");
    world->addComponent(new vorn::systems::Gravity(0.0f, -40.0f, 0.0f, "hasGravity"));
    vorn::engine::Application app(nullptr, 20.0f, 60.0f, vorn::engine::assetRoot());
    app.setWorld(world);
    const auto heightOf = [&](uint32_t id) {
        return world
            ->getComponentAs<vorn::components::Transform>(EntityHandle{id, world.get()},
                                                          "transform")
            ->position()
            .y;
    };
    // The floor, the ninja, the boulder, the ant's body and its two parts, the two zones.
    const uint32_t ninja = 2, boulder = 3, ant = 4, partA = 5, partB = 6, zone = 7;
    for (const uint32_t id : {boulder, ant, partA, partB})
        EXPECT_NE(world->getComponent(EntityHandle{id, world.get()}, "asleep"), nullptr) << id;
    ASSERT_NE(world->getComponent(EntityHandle{zone, world.get()}, "wakeZone"), nullptr);

    // Another zone's name wakes nothing: he stands in "elsewhere" from the start.
    world
        ->getComponentAs<vorn::components::Transform>(EntityHandle{ninja, world.get()}, "transform")
        ->setPosition({-80.0f, 10.0f, 0.0f});
    for (int frame = 0; frame < 60; ++frame)
        app.update(1.0f / 60.0f);
    EXPECT_FLOAT_EQ(heightOf(boulder), 40.0f);
    EXPECT_FLOAT_EQ(heightOf(ant), 40.0f);

    world
        ->getComponentAs<vorn::components::Transform>(EntityHandle{ninja, world.get()}, "transform")
        ->setPosition({-40.0f, 10.0f, 0.0f});
    for (int frame = 0; frame < 45; ++frame)
        app.update(1.0f / 60.0f);
    EXPECT_LT(heightOf(boulder), 34.0f);
    EXPECT_LT(heightOf(ant), 34.0f);
    EXPECT_EQ(world->getComponent(EntityHandle{boulder, world.get()}, "asleep"), nullptr);
    EXPECT_FALSE(world->isLive(EntityHandle{zone, world.get()}));
}

} // namespace
