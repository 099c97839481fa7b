// The end of the journey in process: the hat leads to a summary of the run (time, score, eggs and
// secret places of the journey's total, shinies, deaths, best time, a mark for assists), keeps its
// time as the best, ends the saved run and goes on to the credits; the journey's eggs are those of
// the areas its doors reach.
#include "audio/SoundTable.hpp"
#include "components/RunRecord.hpp"
#include "components/SceneBuilders.hpp"
#include "engine/Application.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/InputScript.hpp"
#include "engine/InputSource.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "game/SaveGame.hpp"
#include "game/Scenes.hpp"
#include "rendering/Text.hpp"
#include "support/GameAssetsTest.hpp"
#include "support/ScratchData.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

const float step = 1.0f / 60.0f;

class SummaryTest : public testsupport::GameAssetsTest {
protected:
    void SetUp() override {
        GameAssetsTest::SetUp();
        if (HasFatalFailure())
            return;
        folder = std::filesystem::temp_directory_path() /
                 ("mossfang-summary-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        vorn::engine::InputSource::instance().useScript(nullptr);
        components::SceneBuilders::setAreaBuilder(nullptr);
        components::SceneBuilders::setCreditsBuilder(nullptr);
        components::SceneBuilders::setFinishBuilder(nullptr);
        GameAssetsTest::TearDown();
        std::filesystem::remove_all(folder);
    }

    std::string write(const std::string& name, const std::string& text) {
        const std::string path = (folder / name).string();
        std::ofstream(path) << text;
        return path;
    }

    static void play(const std::string& script) {
        std::istringstream in(script);
        vorn::engine::InputSource::instance().useScript(
            std::make_shared<vorn::engine::InputScript>(vorn::engine::InputScript::parse(in)));
    }

    std::filesystem::path folder;
};

// The summary's lines as the page shows them: name -> value, read from its texts by their height.
std::map<std::string, std::string> shownLines(vorn::engine::World& world) {
    std::map<float, std::map<float, std::string>> rows;
    for (const vorn::engine::EntityHandle& entity : world.getEntities("text", "transform")) {
        const auto* text = world.getComponentAs<vorn::components::Text>(entity, "text");
        const auto* at = world.getComponentAs<vorn::components::Transform>(entity, "transform");
        rows[at->position().y][at->position().x] = text->text;
    }
    std::map<std::string, std::string> lines;
    for (const auto& [y, row] : rows)
        if (row.size() == 2)
            lines[row.begin()->second] = row.rbegin()->second;
    return lines;
}

TEST_F(SummaryTest, TheHatShowsTheRunsNumbersKeepsItsTimeAndGoesOnToTheCredits) {
    testsupport::ScratchData data;
    // A run saved earlier is over once the hat is reached.
    game::SavedRun earlier;
    earlier.startArea = earlier.area = "startingArea.txt";
    ASSERT_TRUE(game::SaveGame::store(earlier));
    // Walking right he takes two shiny things and an egg, finds a secret place, then the hat.
    const std::string level = write("walk.txt", "[\n"
                                                "  flatPlat3 [ [0 0 0] [0 0 0] [1 1 1] ]\n"
                                                "  flatPlat3 [ [27 0 0] [0 0 0] [1 1 1] ]\n"
                                                "  player [ [0 10 0] [0 0 0] [1 1 1] ]\n"
                                                "  shiny [ [10 10 0] [0 0 0] [1 1 1] ]\n"
                                                "  shiny [ [15 10 0] [0 0 0] [1 1 1] ]\n"
                                                "  antEgg [ [20 10 0] [0 0 0] [1 1 1] ]\n"
                                                "  secret [ [25 11 0] [0 0 0] [3 8 1] ]\n"
                                                "  quarrow [ [32 10 0] [0 0 0] [1 1 1] ]\n"
                                                "]\n");
    game::Scenes::installSceneCallbacks();
    // Plays the level to the hat in a game of its own, as a run begun in the journey's first area
    // or elsewhere (played with an assist); gives the summary's lines and the seconds played.
    std::unique_ptr<vorn::engine::Application> app;
    const auto toTheHat = [&](bool journey, float& played) {
        app = std::make_unique<vorn::engine::Application>(nullptr, 20.0f, 60.0f,
                                                          vorn::engine::assetRoot());
        play("0-600 hold Right\n");
        std::shared_ptr<vorn::engine::World> area = game::Scenes::freshArea(level, "");
        std::vector<vorn::engine::EntityHandle> ninjas;
        for (const auto& ninja : area->getEntities("player", "runRecord"))
            ninjas.push_back(ninja);
        for (const auto& ninja : ninjas) {
            if (journey)
                area->getComponentAs<components::RunRecord>(ninja, "runRecord")->startArea =
                    game::Scenes::startingArea;
            else
                area->addComponent(ninja, new vorn::components::Label("assistsUsed"));
        }
        app->setWorld(std::move(area));
        while (game::Scenes::sceneName(*app->currentWorld()) != "summary" &&
               app->frameCount() < 600)
            app->runFrame(step);
        // Every frame was played in the area, the one that reached the hat too.
        played = static_cast<float>(app->frameCount()) * step;
        return shownLines(*app->currentWorld());
    };

    // Begun elsewhere, the run has its summary but sets no best time.
    float played = 0.0f;
    std::map<std::string, std::string> lines = toTheHat(false, played);
    ASSERT_EQ(game::Scenes::sceneName(*app->currentWorld()), "summary");
    EXPECT_EQ(lines["Score"], "27");
    EXPECT_EQ(lines.count("Best time"), 0u);
    EXPECT_EQ(lines["Assists"], "used");
    EXPECT_FALSE(game::SaveGame::bestTime().has_value());
    EXPECT_FALSE(std::filesystem::exists(data.gameFolder() / "save.txt"));

    lines = toTheHat(true, played);
    ASSERT_EQ(game::Scenes::sceneName(*app->currentWorld()), "summary");
    EXPECT_EQ(lines["Score"], "27");
    // Of the journey's and of the area the run went through.
    EXPECT_EQ(lines["Eggs"], "1 of " + std::to_string(1 + game::Scenes::countInJourney("antEgg")));
    EXPECT_EQ(lines["Secrets"],
              "1 of " + std::to_string(1 + game::Scenes::countInJourney("secret")));
    EXPECT_EQ(lines.count("Assists"), 0u);
    EXPECT_EQ(lines["Shinies"], "2");
    EXPECT_EQ(lines["Deaths"], "0");
    EXPECT_EQ(lines["Time"], game::Scenes::formatTime(played)) << played;
    EXPECT_EQ(lines["Best time"], lines["Time"] + " new!");
    EXPECT_EQ(lines.size(), 7u);
    EXPECT_NEAR(game::SaveGame::bestTime().value_or(-1.0f), played, 0.5f * step);

    // A key pressed at once is not yet heard; one a moment later goes on to the credits.
    const uint64_t now = app->frameCount();
    play(std::to_string(now + 2) + " hold Space\n" + std::to_string(now + 40) + " hold Space\n");
    for (int i = 0; i < 10; ++i)
        app->runFrame(step);
    EXPECT_EQ(game::Scenes::sceneName(*app->currentWorld()), "summary");
    for (int i = 0; i < 35; ++i)
        app->runFrame(step);
    EXPECT_EQ(game::Scenes::sceneName(*app->currentWorld()), "credits 0");
}

TEST_F(SummaryTest, TheJourneysEggsAreThoseOfTheAreasItsDoorsReach) {
    // a leads to b and c, b back to a; nothing leads to d.
    const std::string a = (folder / "a.txt").string(), b = (folder / "b.txt").string(),
                      c = (folder / "c.txt").string(), d = (folder / "d.txt").string();
    const auto door = [](const std::string& to) {
        return "  exit [ [0 0 0] [0 0 0] [1 1 1] \"" + to + "\" \"in\" ]\n";
    };
    const std::string egg = "  antEgg [ [0 0 0] [0 0 0] [1 1 1] ]\n";
    write("a.txt", "[\n" + egg + door(b) + door(c) + "]\n");
    write("b.txt", "[\n" + egg + egg + door(a) + "  secret [ [0 0 0] [0 0 0] [8 8 1] ]\n]\n");
    write("c.txt", "[\n" + door(a) + "  shiny [ [0 0 0] [0 0 0] [1 1 1] ]\n]\n");
    write("d.txt", "[\n" + egg + egg + egg + door(a) + "]\n");
    EXPECT_EQ(game::Scenes::countInJourney("antEgg", a), 3);
    EXPECT_EQ(game::Scenes::countInJourney("antEgg", d), 6);
    EXPECT_EQ(game::Scenes::countInJourney("antEgg", c), 3);
    EXPECT_EQ(game::Scenes::countInJourney("secret", a), 1);
    // From several first areas, an area both reach counts once.
    EXPECT_EQ(game::Scenes::countInJourney("antEgg", std::vector<std::string>{c, d}), 6);
}

} // namespace
