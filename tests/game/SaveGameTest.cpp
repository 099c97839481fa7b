// The saved run and the best time: through the file and onto a fresh ninja unchanged, damaged
// files set aside with one line, the best time only ever improved.
#include "game/SaveGame.hpp"

#include "components/Energy.hpp"
#include "components/Health.hpp"
#include "components/OriginalSpawnPoint.hpp"
#include "components/RunRecord.hpp"
#include "components/Score.hpp"
#include "engine/DiagnosticsCapture.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "support/ScratchData.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

using game::SavedRun;
using game::SaveGame;
using vorn::engine::EntityHandle;

// The parts of a ninja that a saved run touches, on a world of their own.
EntityHandle freshNinja(vorn::engine::World& world) {
    const EntityHandle ninja = world.createEntity();
    world.addComponent(ninja, new vorn::components::Transform(glm::mat4(1.0f)));
    world.addComponent(ninja, new components::Health(100.0f, "antBite", 0.5f, 0.5f, 0.1f));
    world.addComponent(ninja, new vorn::components::Energy());
    world.addComponent(ninja, new vorn::components::Score());
    world.addComponent(ninja, new components::OriginalSpawnPoint(glm::vec3(0.0f)));
    world.addComponent(ninja, new vorn::components::Label("player"));
    return ninja;
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(SaveGame, ARunGoesThroughTheFileAndOntoAFreshNinjaUnchanged) {
    testsupport::ScratchData data;
    SavedRun full;
    full.startArea = "startingArea.txt";
    full.area = "trickyArea.txt";
    full.entrance = "tricky left door";
    full.checkpoint = glm::vec3(120.25f, 35.5f, -0.125f);
    full.points = 41;
    full.eggs = 3;
    full.shinies = 11;
    full.secrets = 1;
    full.deaths = 2;
    full.time = 731.2512f;
    full.health = 62.5f;
    full.energy = 64.4f;
    full.energyMaximum = 110.0f;
    full.upgrades = {"doubleJumpEnabled", "swordEnabled"};
    full.assistsUsed = true;
    full.taken = {{"startingArea.txt", {0, 1, 4}}, {"simpleArea.txt", {2}}};
    SavedRun fresh;
    fresh.startArea = "prototypeLevel.txt";
    fresh.area = "startingArea.txt";
    for (const SavedRun& run : {full, fresh}) {
        SCOPED_TRACE(run.area);
        ASSERT_TRUE(SaveGame::store(run));
        EXPECT_FALSE(std::filesystem::exists(data.gameFolder() / "save.txt.tmp"));
        const std::optional<SavedRun> loaded = SaveGame::load();
        ASSERT_TRUE(loaded.has_value()) << fileText(data.gameFolder() / "save.txt");
        EXPECT_TRUE(*loaded == run) << fileText(data.gameFolder() / "save.txt");

        vorn::engine::World world;
        const EntityHandle ninja = freshNinja(world);
        SaveGame::apply(*loaded, world, ninja);
        const std::optional<SavedRun> again = SaveGame::capture(world, ninja);
        ASSERT_TRUE(again.has_value());
        EXPECT_TRUE(*again == run) << "the ninja carries the run as it was saved";
        const glm::vec3 at =
            world.getComponentAs<vorn::components::Transform>(ninja, "transform")->position();
        EXPECT_EQ(at, run.checkpoint.value_or(glm::vec3(0.0f))) << "placed at his checkpoint";
    }

    // A checkpoint touched on the way saves where he stands in the run.
    vorn::engine::World world;
    const EntityHandle ninja = freshNinja(world);
    SaveGame::apply(fresh, world, ninja);
    world.getComponentAs<vorn::components::Score>(ninja, "score")->points = 7;
    SaveGame::checkpointReached(world, {40.0f, 12.0f, 0.0f});
    const std::optional<SavedRun> saved = SaveGame::load();
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->checkpoint, glm::vec3(40.0f, 12.0f, 0.0f));
    EXPECT_EQ(saved->points, 7);
    EXPECT_EQ(saved->area, "startingArea.txt");

    // His record counts the time it runs and each death once, however long he lies dead; a dying
    // ninja is saved with the health he comes back with.
    auto* record = world.getComponentAs<components::RunRecord>(ninja, "runRecord");
    ASSERT_NE(record, nullptr);
    for (const bool dead : {false, true, true, false, true, false}) {
        if (dead != (world.getComponent(ninja, "dead") != nullptr)) {
            if (dead)
                world.addComponent(ninja, new vorn::components::Label("dead"));
            else
                world.deleteComponent(ninja, "dead");
        }
        record->update(0.25f);
    }
    world.addComponent(ninja, new vorn::components::Label("dead"));
    world.getComponentAs<components::Health>(ninja, "health")->current = 0.0f;
    const std::optional<SavedRun> dying = SaveGame::capture(world, ninja);
    EXPECT_EQ(dying->deaths, 2);
    EXPECT_EQ(dying->time, 1.5f);
    EXPECT_EQ(dying->health, 100.0f);
}

TEST(SaveGame, ADamagedFileIsSetAsideWithOneLineAndANewRunIsOffered) {
    const std::string good = "version = 1\nstartArea = startingArea.txt\narea = simpleArea.txt\n"
                             "entrance = simpleBottomDoor\n"
                             "points = 12\neggs = 1\ntime = 30.5\nhealth = 90\nenergy = 80\n"
                             "energyMaximum = 100\n";
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"empty", ""},
        {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"cut short", good.substr(0, 60)},
        {"words for a number", good + "shinies = lots\n"},
        {"negative", good + "deaths = -3\n"},
        {"not a number", "time = nan\n" + good.substr(good.find("health"))},
        {"absurd", good + "shinies = 99999999999999999999\n"},
        {"an upgrade that does not exist", good + "upgrades = dead player\n"},
        {"an unknown name", good + "lives = 3\n"},
        {"a name twice", good + "points = 13\n"},
        {"another version", "version = 2\n" + good.substr(good.find("area"))},
        {"a line without '='", good + "points 12\n"},
        {"a pickup that is no number", good + "taken = simpleArea.txt 1 two\n"},
        {"a control character", "entrance = a\x01"
                                "b\n" +
                                    good.substr(0, good.find("entrance")) +
                                    good.substr(good.find("points"))},
    };
    for (const auto& [what, text] : damaged) {
        SCOPED_TRACE(what);
        testsupport::ScratchData data;
        std::filesystem::create_directories(data.gameFolder());
        std::ofstream(data.gameFolder() / "save.txt", std::ios::binary) << text;
        vorn::engine::DiagnosticsCapture capture;
        EXPECT_FALSE(SaveGame::load().has_value());
        const std::string said = capture.text();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find("save.txt is damaged"), std::string::npos) << said;
        EXPECT_FALSE(std::filesystem::exists(data.gameFolder() / "save.txt"));
        EXPECT_EQ(fileText(data.gameFolder() / "save.txt.bak"), text) << "kept as it was";
        // The next look finds no run and says nothing more.
        EXPECT_FALSE(SaveGame::load().has_value());
        EXPECT_EQ(capture.text(), said);
    }
    // The good text itself reads, with what it leaves out at its defaults.
    testsupport::ScratchData data;
    std::filesystem::create_directories(data.gameFolder());
    std::ofstream(data.gameFolder() / "save.txt") << "# a comment\n" << good;
    const std::optional<SavedRun> run = SaveGame::load();
    ASSERT_TRUE(run.has_value());
    EXPECT_EQ(run->points, 12);
    EXPECT_EQ(run->time, 30.5f);
    EXPECT_FALSE(run->checkpoint.has_value());
}

TEST(SaveGame, TheBestTimeIsKeptAndOnlyImproved) {
    testsupport::ScratchData data;
    EXPECT_FALSE(SaveGame::bestTime().has_value());
    const std::vector<std::pair<float, float>> offers = {
        {300.5f, 300.5f}, {320.0f, 300.5f}, {300.5f, 300.5f}, {250.25f, 250.25f}};
    for (const auto& [offered, best] : offers) {
        SCOPED_TRACE(offered);
        const std::optional<float> before = SaveGame::bestTime();
        EXPECT_EQ(SaveGame::offerTime(offered), !before || offered < *before);
        EXPECT_EQ(SaveGame::bestTime(), best);
    }
    // A damaged best time goes aside with one line; the next finished run sets a new one.
    std::ofstream(data.gameFolder() / "best.txt") << "time = soon\n";
    vorn::engine::DiagnosticsCapture capture;
    EXPECT_FALSE(SaveGame::bestTime().has_value());
    EXPECT_NE(capture.text().find("best.txt is damaged"), std::string::npos) << capture.text();
    EXPECT_TRUE(std::filesystem::exists(data.gameFolder() / "best.txt.bak"));
    EXPECT_TRUE(SaveGame::offerTime(400.0f));
    EXPECT_EQ(SaveGame::bestTime(), 400.0f);
}

} // namespace
