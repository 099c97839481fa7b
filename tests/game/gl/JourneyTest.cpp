// The game's areas: each loads cleanly, together they use every template and keyword, the level
// check passes on each, the recorded play-through reaches the credits with both upgrades, and
// the spider web holds against bare fists.
#include "audio/SoundManager.hpp"
#include "audio/SoundTable.hpp"
#include "audio/SoundUpdate.hpp"
#include "components/PromptZone.hpp"
#include "engine/Application.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/DiagnosticsCapture.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "game/LevelLoader.hpp"
#include "parsing/DefinitionReader.hpp"
#include "physics/Gravity.hpp"
#include "support/GameAssetsTest.hpp"
#include "support/GlTestContext.hpp"

#include "support/ProcessRun.hpp"
#include "support/ScratchData.hpp"
#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string levelDir = MOSSFANG_SOURCE_DIR "/assets/levels/";

// Each area in the journey's order with the entrance the way on arrives at (the menu's keys use
// these for the five it has keys for), then the test ground.
const std::vector<std::pair<std::string, std::string>> areas = {
    {"startingArea.txt", ""},
    {"leafStream.txt", "streamLeftDoor"},
    {"simpleArea.txt", "simpleBottomDoor"},
    {"waspMeadow.txt", "meadowLeftDoor"},
    {"trickyArea.txt", "trickyLeftDoor"},
    {"spiderCellar.txt", "cellarLeftDoor"},
    {"swordArea.txt", "swordLeftDoor"},
    {"canopy.txt", "canopyLeftDoor"},
    {"prototypeLevel.txt", "start"},
};

bool has(const nlohmann::json& list, const std::string& name) {
    for (const auto& item : list)
        if (item == name)
            return true;
    return false;
}

struct GameRun {
    int status = -1;
    std::string output;
};

// Runs the game with `args` at the fixed time step, from the source folder, with its saved run
// in `data` or in a fresh folder of its own.
GameRun runGame(const std::string& args, const testsupport::ScratchData* data = nullptr) {
    std::optional<testsupport::ScratchData> own;
    if (data == nullptr)
        data = &own.emplace();
    const std::string command = "cd " MOSSFANG_SOURCE_DIR " && " + data->environment() +
                                "ALSOFT_CONF=" MOSSFANG_SOURCE_DIR
                                "/scripts/openal-null.conf " MOSSFANG_EXE " " +
                                args + " 2>&1";
    GameRun run;
    const testsupport::ProcessRun process = testsupport::runCommand(command);
    run.status = process.status;
    run.output = process.output;
    return run;
}

nlohmann::json readJson(const std::string& file) {
    std::ifstream in(file);
    if (!in)
        return nlohmann::json();
    return nlohmann::json::parse(in, nullptr, false);
}

// The one entity labelled "player" in a state dump (null when there is none or several).
nlohmann::json thePlayer(const nlohmann::json& state) {
    nlohmann::json found;
    int count = 0;
    for (const auto& e : state.value("entities", nlohmann::json::array()))
        if (has(e.value("labels", nlohmann::json::array()), "player")) {
            found = e;
            ++count;
        }
    return count == 1 ? found : nlohmann::json();
}

// Counts the keywords of a level file as the loader's grammar reads them.
// Also notes the music and background picture names.
class KeywordCounter : public game::LevelLoader::EntryVisitor {
public:
    std::map<std::string, int> counts;
    std::vector<std::string> musics;
    std::vector<std::string> backgrounds;
    void music(const std::string& name) override {
        ++counts["music"];
        musics.push_back(name);
    }
    void entry(const std::string& keyword, int, const game::LevelEntry&,
               vorn::parsing::DefinitionReader& reader) override {
        ++counts[keyword];
        if (keyword == "BGSprite")
            backgrounds.push_back(reader.readQuotedString());
    }
};

TEST(Journey, TheAreasTogetherUseEveryTemplateAndKeywordAndNothingUnknown) {
    KeywordCounter counter;
    std::set<std::string> backgrounds;
    for (const auto& [file, entrance] : areas) {
        SCOPED_TRACE(file);
        std::ifstream in(levelDir + file);
        ASSERT_TRUE(in);
        vorn::parsing::DefinitionReader reader(in);
        const size_t before = counter.musics.size();
        const size_t picturesBefore = counter.backgrounds.size();
        const int secretsBefore = counter.counts[game::LevelLoader::secretKeyword];
        EXPECT_NO_THROW(game::LevelLoader::readLevel(reader, counter));
        // One music and one background picture each (an area may add pictures of its own near
        // water and the like); the areas of the journey each have their own backdrop (the test
        // ground borrows the clearing's), and no door leads into the music just left.
        ASSERT_EQ(counter.musics.size(), before + 1);
        ASSERT_GT(counter.backgrounds.size(), picturesBefore);
        // A secret in every area.
        EXPECT_GE(counter.counts[game::LevelLoader::secretKeyword], secretsBefore + 1);
        if (file != "prototypeLevel.txt") {
            backgrounds.insert(counter.backgrounds[picturesBefore]);
            if (before > 0) {
                EXPECT_NE(counter.musics[before], counter.musics[before - 1]);
            }
        }
    }
    EXPECT_EQ(backgrounds.size(), areas.size() - 1);
    const std::vector<std::string>& keys = game::LevelLoader::templateKeys();
    ASSERT_EQ(keys.size(), 29u);
    for (const std::string& key : keys)
        EXPECT_GE(counter.counts[key], 1) << "no area uses " << key;
    for (const char* keyword :
         {game::LevelLoader::hintKeyword, game::LevelLoader::wakeKeyword,
          game::LevelLoader::checkpointKeyword, game::LevelLoader::secretKeyword, "music"})
        EXPECT_GE(counter.counts[keyword], 1) << "no area uses " << keyword;
    for (const auto& [keyword, count] : counter.counts) {
        const bool known = keyword == game::LevelLoader::hintKeyword ||
                           keyword == game::LevelLoader::wakeKeyword ||
                           keyword == game::LevelLoader::checkpointKeyword ||
                           keyword == game::LevelLoader::secretKeyword ||
                           std::find(keys.begin(), keys.end(), keyword) != keys.end();
        EXPECT_TRUE(known) << keyword << " used " << count << " times";
    }
}

TEST(Journey, TheLevelCheckPassesAndEachAreaStartsOnItsFeetWithoutAnEntranceNamed) {
    // Without --entrance the ninja stands at the file's "player" entry, else its entrance "", else
    // its first entrance, and the game says which: never at the origin, under the floor.
    const std::map<std::string, std::string> chosen = {
        {"startingArea.txt", "the entrance \"\""},
        {"leafStream.txt", "the entrance \"streamLeftDoor\""},
        {"simpleArea.txt", "the entrance \"simpleBottomDoor\""},
        {"waspMeadow.txt", "the entrance \"meadowLeftDoor\""},
        {"spiderCellar.txt", "the entrance \"cellarLeftDoor\""},
        {"canopy.txt", "the entrance \"canopyLeftDoor\""},
        {"trickyArea.txt", "the entrance \"trickyLeftDoor\""},
        {"swordArea.txt", "the entrance \"swordLeftDoor\""},
        {"prototypeLevel.txt", "the \"player\" entry"},
    };
    const std::string dump = ::testing::TempDir() + std::to_string(getpid()) + "_start.json";
    for (const auto& [file, entrance] : areas) {
        SCOPED_TRACE(file);
        const GameRun check = runGame("--check-level assets/levels/" + file);
        EXPECT_EQ(check.status, 0) << check.output;
        EXPECT_NE(check.output.find(": ok"), std::string::npos) << check.output;

        // The whole game around the area: loader, music, HUD, a few frames of play. Nothing may
        // be said but where he starts, the dump's note and the window library's note about
        // vertical sync.
        std::remove(dump.c_str());
        const GameRun play =
            runGame("--fixed-dt 0.0166667 --frames 3 --area " + file + " --dump-state " + dump);
        EXPECT_EQ(play.status, 0) << play.output;
        const std::string starts =
            "No --entrance: the ninja starts at " + chosen.at(file) + " of " + file;
        int said = 0;
        std::istringstream lines(play.output);
        std::string line;
        while (std::getline(lines, line)) {
            said += line == starts;
            EXPECT_TRUE(line.empty() || line == starts || line == "State written to " + dump ||
                        line == "Setting vertical sync not supported")
                << "said: " << line;
        }
        EXPECT_EQ(said, 1) << play.output;
        const nlohmann::json ninja = thePlayer(readJson(dump));
        ASSERT_TRUE(ninja.is_object());
        EXPECT_NEAR(ninja["position"][1].get<float>(), 12.0f, 0.5f) << "standing where placed";
    }
}

// The smallest pickups read at a glance at 800 x 600: each kind, at the smallest scale any area
// gives it, covers a patch of at least 400 pixels and 20 rows when drawn beneath the ninja, found
// as the pixels that differ from the same picture without it.
TEST(Journey, ShiniesTheSwordAndTheHatEachCoverAPatchOfTheScreen) {
    class Scales : public game::LevelLoader::EntryVisitor {
    public:
        std::map<std::string, float> smallest;
        void music(const std::string&) override {}
        void entry(const std::string& keyword, int, const game::LevelEntry& entry,
                   vorn::parsing::DefinitionReader&) override {
            if (keyword == "shiny" || keyword == "quarrow" || keyword == "swordUpgrade")
                smallest[keyword] = smallest.count(keyword)
                                        ? std::min(smallest[keyword], entry.scale.x)
                                        : entry.scale.x;
        }
    } scales;
    for (const auto& [file, entrance] : areas) {
        std::ifstream in(levelDir + file);
        vorn::parsing::DefinitionReader reader(in);
        game::LevelLoader::readLevel(reader, scales);
    }
    ASSERT_EQ(scales.smallest.size(), 3u);

    const std::string base = ::testing::TempDir() + std::to_string(getpid()) + "_pickup";
    // The ninja on a ledge, the pickup 30 units below him, both in the middle of the picture.
    const auto picture = [&](const std::string& kind, float scale) {
        {
            std::ofstream level(base + ".txt");
            level << "[ smallPlat [ [0 30 0] [0 0 0] [1 1 1] ] player [ [0 40 0] [0 0 0] [1 1 1] ]";
            if (!kind.empty())
                level << " " << kind << " [ [0 10 0] [0 0 0] [" << scale << " " << scale << " "
                      << scale << "] ]";
            level << " ]\n";
        }
        std::remove((base + ".png").c_str());
        const GameRun run = runGame("--fixed-dt 0.0166667 --frames 5 --area " + base +
                                    ".txt --screenshot " + base + ".png");
        EXPECT_EQ(run.status, 0) << run.output;
        sf::Image image;
        EXPECT_TRUE(image.loadFromFile(base + ".png"));
        return image;
    };
    const sf::Image without = picture("", 0.0f);
    ASSERT_EQ(without.getSize(), sf::Vector2u(800, 600));
    for (const auto& [kind, scale] : scales.smallest) {
        SCOPED_TRACE(kind + " at scale " + std::to_string(scale));
        const sf::Image with = picture(kind, scale);
        ASSERT_EQ(with.getSize(), without.getSize());
        // The band of columns round the middle: the sword's grasshopper stands farther right.
        int covered = 0;
        unsigned top = 600, bottom = 0;
        for (unsigned y = 0; y < 600; ++y)
            for (unsigned x = 340; x < 460; ++x) {
                const sf::Color a = with.getPixel(x, y);
                const sf::Color b = without.getPixel(x, y);
                if (std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 75) {
                    ++covered;
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        EXPECT_GE(covered, 400);
        EXPECT_GE(bottom + 1, top + 20) << "rows " << top << " to " << bottom;
    }
}

using JourneyLoad = testsupport::GameAssetsTest;

TEST_F(JourneyLoad, EachAreaLoadsSilentlyWithOneNinjaMusicBackgroundAndHints) {
    for (const auto& [file, entrance] : areas) {
        SCOPED_TRACE(file);
        vorn::engine::World world;
        std::ifstream in(levelDir + file);
        ASSERT_TRUE(in);
        game::LevelLoader::CarriedPlayer nobody;
        bool loaded = false;
        std::string said;
        {
            vorn::engine::DiagnosticsCapture capture;
            loaded = game::LevelLoader::load(in, world, nobody, "gameSpace", entrance);
            said = capture.text();
        }
        releaseSceneSlot();
        EXPECT_TRUE(loaded);
        EXPECT_EQ(said, "");
        EXPECT_EQ(world.getEntities("player").size(), 1u);
        EXPECT_GE(world.getEntities("killer").size(), 1u) << "a kill zone under the falls";
        EXPECT_GE(world.getEntities("exit").size(), 1u) << "a door out";
        EXPECT_GE(world.getEntities("promptZone").size(), 2u) << "hints and a door's name";
    }
}

// Left alone, every ant of every area walks to and fro between the markers around it (the nearest
// on each side at its height) and never passes one: markers the wrong way round send it on.
TEST_F(JourneyLoad, EveryAntKeepsToItsPatrolForAMinuteWithNobodyNear) {
    size_t ants = 0;
    KeywordCounter placed;
    for (const auto& [file, entrance] : areas) {
        SCOPED_TRACE(file);
        {
            std::ifstream in(levelDir + file);
            vorn::parsing::DefinitionReader reader(in);
            game::LevelLoader::readLevel(reader, placed);
        }
        auto world = std::make_shared<vorn::engine::World>();
        std::ifstream in(levelDir + file);
        game::LevelLoader::CarriedPlayer nobody;
        ASSERT_TRUE(game::LevelLoader::load(in, *world, nobody, "gameSpace", entrance));
        world->addComponent(new vorn::systems::SoundUpdate());
        world->addComponent(new vorn::systems::Gravity(0.0f, -40.0f, 0.0f, "hasGravity"));
        const std::vector<vorn::engine::EntityHandle> players(world->getEntities("player").begin(),
                                                              world->getEntities("player").end());
        for (const vorn::engine::EntityHandle& player : players)
            world->destroyEntity(player);

        const auto positionOf = [&](vorn::engine::EntityHandle e) {
            return world->getComponentAs<vorn::components::Transform>(e, "transform")->position();
        };
        struct Patrol {
            vorn::engine::EntityHandle ant;
            float left, right, y;
            float lowest, highest;
        };
        std::vector<Patrol> patrols;
        for (const vorn::engine::EntityHandle& ant : world->getEntities("ant", "antBehavior")) {
            const glm::vec3 start = positionOf(ant);
            Patrol patrol{ant, -1e9f, 1e9f, start.y, start.x, start.x};
            for (const char* tag : {"antCommandCW", "antCommandCCW"})
                for (const vorn::engine::EntityHandle& marker : world->getEntities(tag)) {
                    const glm::vec3 m = positionOf(marker);
                    if (std::abs(m.y - start.y) > 10.0f)
                        continue;
                    if (m.x < start.x)
                        patrol.left = std::max(patrol.left, m.x);
                    else
                        patrol.right = std::min(patrol.right, m.x);
                }
            ASSERT_GT(patrol.left, -1e9f) << "no marker left of the ant at x " << start.x;
            ASSERT_LT(patrol.right, 1e9f) << "no marker right of the ant at x " << start.x;
            patrols.push_back(patrol);
        }
        ants += patrols.size();

        vorn::engine::Application app(nullptr, 20.0f, 60.0f, vorn::engine::assetRoot());
        app.setWorld(world);
        for (int frame = 0; frame < 60 * 60; ++frame) {
            app.update(1.0f / 60.0f);
            for (Patrol& patrol : patrols) {
                ASSERT_TRUE(world->isLive(patrol.ant)) << "frame " << frame;
                const glm::vec3 p = positionOf(patrol.ant);
                patrol.lowest = std::min(patrol.lowest, p.x);
                patrol.highest = std::max(patrol.highest, p.x);
                ASSERT_NEAR(p.y, patrol.y, 3.0f) << "the ant left its floor, frame " << frame;
            }
        }
        for (const Patrol& patrol : patrols) {
            EXPECT_GE(patrol.lowest, patrol.left);
            EXPECT_LE(patrol.highest, patrol.right);
            // It does walk: from near one marker to near the other.
            EXPECT_LT(patrol.lowest, patrol.left + 8.0f);
            EXPECT_GT(patrol.highest, patrol.right - 8.0f);
        }
    }
    // Every worker ant the files place was found and watched.
    EXPECT_EQ(ants, static_cast<size_t>(placed.counts["workerAnt"]));
    EXPECT_GE(ants, 5u);
}

TEST_F(JourneyLoad, TheClearingShowsAHintAtEachLesson) {
    vorn::engine::World world;
    std::ifstream in(levelDir + "startingArea.txt");
    game::LevelLoader::CarriedPlayer nobody;
    ASSERT_TRUE(game::LevelLoader::load(in, world, nobody, "gameSpace", ""));
    releaseSceneSlot();
    std::set<std::string> lines;
    for (const auto& entity : world.getEntities("promptZone"))
        if (auto* zone = world.getComponentAs<components::PromptZone>(entity, "promptZone"))
            lines.insert(zone->text);
    for (const char* lesson : {"walk", "jump", "punch", "climb", "energy", "Walk into shiny"}) {
        bool found = false;
        for (const std::string& line : lines)
            found = found || line.find(lesson) != std::string::npos;
        EXPECT_TRUE(found) << "no hint about " << lesson;
    }
}

TEST(Journey, UpdateOnlyPlaysTheSameAndDrawsTheLastFrameAndDumpAtWritesEachFrameAsked) {
    const std::string base = ::testing::TempDir() + std::to_string(getpid()) + "_update_only";
    {
        std::ofstream script(base + "_input.txt");
        script << "0-40 hold Right\n30 hold Right Space\n";
    }
    std::vector<nlohmann::json> ninjas;
    for (const char* mode : {"", " --update-only"}) {
        SCOPED_TRACE(mode);
        for (const char* suffix : {".json", "-0.json", "-35.json", ".png"})
            std::remove((base + suffix).c_str());
        const GameRun run =
            runGame("--fixed-dt 0.0166667 --frames 45 --area startingArea.txt "
                    "--input " +
                    base + "_input.txt --dump-state " + base +
                    ".json --dump-at 0,35 --screenshot " + base + ".png" + std::string(mode));
        ASSERT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(readJson(base + "-0.json").value("frame", -1), 0);
        const nlohmann::json jumping = readJson(base + "-35.json");
        EXPECT_EQ(jumping.value("frame", -1), 35);
        ASSERT_TRUE(thePlayer(jumping).is_object());
        EXPECT_GT(thePlayer(jumping)["velocity"][1].get<float>(), 0.0f) << "in the air";
        ninjas.push_back(thePlayer(readJson(base + ".json")));
        // The last frame is drawn either way: the clearing, not the clear colour.
        sf::Image image;
        ASSERT_TRUE(image.loadFromFile(base + ".png"));
        std::set<uint32_t> colours;
        for (unsigned y = 0; y < image.getSize().y; y += 20)
            for (unsigned x = 0; x < image.getSize().x; x += 20)
                colours.insert(image.getPixel(x, y).toInteger());
        EXPECT_GT(colours.size(), 50u);
    }
    ASSERT_EQ(ninjas.size(), 2u);
    ASSERT_TRUE(ninjas[0].is_object() && ninjas[1].is_object());
    EXPECT_EQ(ninjas[0]["position"], ninjas[1]["position"]) << "drawing changes nothing of play";
}

TEST(Journey, EveryDoorOnTheWayHasOneBackAndTheNinjaArrivesAlone) {
    struct Back {
        std::string area;
        std::string entrance;
        int walkFrames; // long enough to reach the door, and not much longer
        std::string arrives;
        float x; // where the entrance he arrives at stands
    };
    const std::vector<Back> backs = {
        {"leafStream.txt", "streamLeftDoor", 80, "area startingArea.txt", 930.0f},
        {"simpleArea.txt", "simpleBottomDoor", 80, "area leafStream.txt", 1020.0f},
        {"waspMeadow.txt", "meadowLeftDoor", 80, "area simpleArea.txt", 891.0f},
        {"trickyArea.txt", "trickyLeftDoor", 80, "area waspMeadow.txt", 900.0f},
        {"spiderCellar.txt", "cellarLeftDoor", 85, "area trickyArea.txt", 840.0f},
        {"swordArea.txt", "swordLeftDoor", 175, "area spiderCellar.txt", 790.0f},
        {"canopy.txt", "canopyLeftDoor", 85, "area swordArea.txt", 722.0f},
        {"prototypeLevel.txt", "start", 105, "area startingArea.txt", 0.0f},
    };
    const std::string base = ::testing::TempDir() + std::to_string(getpid()) + "_door_back";
    for (const Back& back : backs) {
        SCOPED_TRACE(back.area);
        {
            std::ofstream script(base + "_input.txt");
            script << "0-" << back.walkFrames << " hold Left\n";
        }
        std::remove((base + ".json").c_str());
        const GameRun run = runGame("--fixed-dt 0.0166667 --frames 220 --update-only --area " +
                                    back.area + " --entrance " + back.entrance + " --input " +
                                    base + "_input.txt --dump-state " + base + ".json");
        ASSERT_EQ(run.status, 0) << run.output;
        const nlohmann::json state = readJson(base + ".json");
        EXPECT_EQ(state.value("scene", ""), back.arrives);
        const nlohmann::json ninja = thePlayer(state);
        ASSERT_TRUE(ninja.is_object()) << "exactly one ninja";
        EXPECT_NEAR(ninja["position"][0].get<float>(), back.x, 15.0f);
    }
}

// One checkpoint of the recorded play-through.
struct Checkpoint {
    int frame;
    std::string scene;
    bool doubleJump;
    bool sword;
    int minPoints;
    int minEggs;
};

TEST(Journey, TheRecordedPlayThroughReachesTheSummaryAndTheCreditsWithBothUpgrades) {
    // A second before each door of the journey (tests/game/playthrough/journey.txt, spliced from
    // the areas' segments by scripts/splice_journey.py), then the hat at frame 26791.
    const std::string base = ::testing::TempDir() + std::to_string(getpid()) + "_journey_state";
    const std::vector<Checkpoint> checkpoints = {
        {3430, "area startingArea.txt", false, false, 32, 2},
        {6870, "area leafStream.txt", false, false, 61, 4},
        {9850, "area simpleArea.txt", true, false, 82, 5},
        {13370, "area waspMeadow.txt", true, false, 110, 7},
        {16550, "area trickyArea.txt", true, false, 126, 8},
        {20160, "area spiderCellar.txt", true, false, 147, 9},
        {22810, "area swordArea.txt", true, true, 195, 13},
        {26730, "area canopy.txt", true, true, 221, 15},
    };
    std::string frames;
    for (const Checkpoint& c : checkpoints)
        frames += std::to_string(c.frame) + ",";
    frames += "26793,26950,27180";
    for (const Checkpoint& c : checkpoints)
        std::remove((base + "-" + std::to_string(c.frame) + ".json").c_str());
    const testsupport::ScratchData data;
    const GameRun run = runGame("--fixed-dt 0.0166667 --frames 27243 --update-only --input "
                                "tests/game/playthrough/journey.txt --dump-state " +
                                    base + ".json --dump-at " + frames,
                                &data);
    ASSERT_EQ(run.status, 0) << run.output;

    for (const Checkpoint& c : checkpoints) {
        SCOPED_TRACE("frame " + std::to_string(c.frame));
        const nlohmann::json state = readJson(base + "-" + std::to_string(c.frame) + ".json");
        ASSERT_TRUE(state.is_object());
        EXPECT_EQ(state.value("scene", ""), c.scene);
        const nlohmann::json ninja = thePlayer(state);
        ASSERT_TRUE(ninja.is_object()) << "exactly one ninja";
        const nlohmann::json labels = ninja.value("labels", nlohmann::json::array());
        EXPECT_FALSE(has(labels, "dead"));
        EXPECT_GT(ninja["health"]["current"].get<float>(), 0.0f);
        EXPECT_EQ(has(labels, "doubleJumpEnabled"), c.doubleJump);
        EXPECT_EQ(has(labels, "swordEnabled"), c.sword);
        EXPECT_GE(ninja["score"]["points"].get<int>(), c.minPoints);
        EXPECT_GE(ninja["score"]["eggs"].get<int>(), c.minEggs);
    }
    // On the way he found the ember hollow's hidden egg ledge, and stands by the hat at the top
    // of the canopy.
    const nlohmann::json top = thePlayer(readJson(base + "-26730.json"));
    ASSERT_TRUE(top.is_object());
    EXPECT_GE(top["score"]["secrets"].get<int>(), 1);
    EXPECT_GT(top["position"][1].get<float>(), 150.0f);

    EXPECT_EQ(readJson(base + "-26793.json").value("scene", ""), "summary");
    EXPECT_EQ(readJson(base + "-26950.json").value("scene", ""), "credits 0");
    EXPECT_EQ(readJson(base + "-27180.json").value("scene", ""), "credits 5");
    EXPECT_EQ(readJson(base + ".json").value("scene", ""), "menu");
    // The journey is over: its run is no longer saved, and its time is the best so far.
    EXPECT_FALSE(std::filesystem::exists(data.gameFolder() / "save.txt"));
    std::ifstream best(data.gameFolder() / "best.txt");
    std::string line, time;
    while (std::getline(best, line))
        if (line.rfind("time = ", 0) == 0)
            time = line.substr(7);
    // Played from the menu's Space (frame 5) to the hat, reached between the dumps at 26730 and
    // 26793: more than the seven minutes a skilled player needs.
    EXPECT_GT(std::atof(time.c_str()), (26730 - 5) / 60.0) << time;
    EXPECT_LT(std::atof(time.c_str()), (26793 - 5) / 60.0) << time;
}

TEST(Journey, TheSpiderWebHoldsAgainstBareFists) {
    const std::string file = ::testing::TempDir() + std::to_string(getpid()) + "_sword_gate.json";
    std::remove(file.c_str());
    const GameRun run = runGame("--fixed-dt 0.0166667 --frames 1400 --update-only --area "
                                "swordArea.txt --entrance swordLeftDoor --input "
                                "tests/game/playthrough/swordGate.txt --dump-state " +
                                file);
    ASSERT_EQ(run.status, 0) << run.output;
    const nlohmann::json state = readJson(file);
    ASSERT_TRUE(state.is_object());
    EXPECT_EQ(state.value("scene", ""), "area swordArea.txt");
    const nlohmann::json ninja = thePlayer(state);
    ASSERT_TRUE(ninja.is_object());
    const nlohmann::json labels = ninja.value("labels", nlohmann::json::array());
    EXPECT_FALSE(has(labels, "swordEnabled"));
    EXPECT_FALSE(has(labels, "dead"));
    // He punched and never got past the first web: every web (the enemies with a body that are
    // neither ants nor the ninja) is whole, and the nearest ahead of him is the one he stands at.
    int webs = 0;
    float nearestWebX = std::numeric_limits<float>::max();
    const float ninjaX = ninja["position"][0].get<float>();
    for (const auto& e : state["entities"]) {
        const nlohmann::json components = e.value("components", nlohmann::json::array());
        const nlohmann::json entityLabels = e.value("labels", nlohmann::json::array());
        if (!has(components, "health") || !has(components, "deathAction") ||
            !has(components, "rigidBody") || !has(entityLabels, "enemy") ||
            has(entityLabels, "ant") || has(entityLabels, "player"))
            continue;
        ++webs;
        EXPECT_EQ(e["health"]["current"].get<float>(), e["health"]["maximum"].get<float>())
            << "the web at x " << e["position"][0].get<float>() << " is torn";
        const float x = e["position"][0].get<float>();
        if (x > ninjaX)
            nearestWebX = std::min(nearestWebX, x);
    }
    // A torn web is soon gone from the world: every web the area places must still be there.
    int placed = 0;
    std::ifstream level(levelDir + "swordArea.txt");
    for (std::string line; std::getline(level, line);) {
        std::istringstream words(line);
        std::string keyword;
        if (words >> keyword && keyword == "spiderWeb")
            ++placed;
    }
    ASSERT_GE(placed, 1);
    EXPECT_EQ(webs, placed) << "a web is gone";
    ASSERT_LT(nearestWebX, std::numeric_limits<float>::max()) << "a web still lies ahead of him";
    EXPECT_GT(ninjaX, nearestWebX - 15.0f) << "he stood at the web";
}

} // namespace
