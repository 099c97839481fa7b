// The scene flow through the real executable: scripted keys and clicks at a fixed time step, and
// the world's state dumped after the last frame.
#include "support/ProcessRun.hpp"
#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct GameRun {
    int status = -1;
    std::string output;
    nlohmann::json state;
    std::string stateText;
};

// Runs mossfang for `frames` frames with the input script `script` and extra arguments `args`,
// with the variables in `environment` ("NAME=value ...") set.
GameRun play(const std::string& script, const std::string& args, int frames = 12,
             const std::string& environment = "") {
    static int runs = 0;
    // CTest runs each test in its own process, several at once: the process id keeps their files
    // apart.
    const std::string base = ::testing::TempDir() + std::to_string(getpid()) + "_flow_" +
                             std::to_string(getpid()) + "_" + std::to_string(++runs);
    {
        std::ofstream file(base + "_input.txt");
        file << script;
    }
    std::remove((base + "_state.json").c_str());
    const std::string command = "cd " MOSSFANG_SOURCE_DIR " && ALSOFT_CONF=" MOSSFANG_SOURCE_DIR
                                "/scripts/openal-null.conf " +
                                environment +
                                " " MOSSFANG_EXE " --fixed-dt 0.0166667"
                                " --frames " +
                                std::to_string(frames) + " --input " + base + "_input.txt" +
                                " --dump-state " + base + "_state.json " + args + " 2>&1";
    GameRun run;
    const testsupport::ProcessRun process = testsupport::runCommand(command);
    run.status = process.status;
    run.output = process.output;
    std::ifstream state(base + "_state.json");
    run.stateText.assign(std::istreambuf_iterator<char>(state), std::istreambuf_iterator<char>());
    run.state = nlohmann::json::parse(run.stateText, nullptr, false);
    return run;
}

bool hasLabel(const nlohmann::json& entity, const std::string& label) {
    for (const auto& l : entity.value("labels", nlohmann::json::array()))
        if (l == label)
            return true;
    return false;
}

bool hasComponent(const nlohmann::json& entity, const std::string& name) {
    for (const auto& c : entity.value("components", nlohmann::json::array()))
        if (c == name)
            return true;
    return false;
}

std::vector<nlohmann::json> entitiesWith(const GameRun& run, const std::string& label) {
    std::vector<nlohmann::json> found;
    for (const auto& e : run.state.value("entities", nlohmann::json::array()))
        if (hasLabel(e, label) || hasComponent(e, label))
            found.push_back(e);
    return found;
}

std::string scene(const GameRun& run) {
    return run.state.value("scene", std::string("<no dump>"));
}

const std::string testArea = "--area tests/game/levels/doorTarget.txt";

// The menu's buttons, by their centres in window pixels (y from the top).
const char* const startClick = "3 click 375 190 left\n";
const char* const controlsClick = "3 click 400 310 left\n";
const char* const creditsClick = "3 click 375 425 left\n";
const char* const quitClick = "3 click 400 535 left\n";

TEST(SceneFlow, TheGameOpensOnTheMenuAndEveryMenuInputLeadsWhereItShould) {
    struct Case {
        std::string script;
        std::string args;
        std::string scene;
    };
    const std::vector<Case> cases = {
        {"", "", "menu"},
        {"3 hold Space\n", "", "area startingArea.txt"},
        {startClick, "", "area startingArea.txt"},
        {controlsClick, "", "controls"},
        {creditsClick, "", "credits 0"},
        // A click on the border of a button, or between buttons, does nothing.
        {"3 click 250 240 left\n3 click 700 300 left\n", "", "menu"},
        // The level keys need left Control held, and only the menu knows them.
        {"3 hold LControl Num2\n", "", "area simpleArea.txt"},
        {"3 hold LControl Num0\n", "", "area prototypeLevel.txt"},
        {"3 hold Num2\n", "", "menu"},
        {"3 hold LControl Num2\n", testArea, "area tests/game/levels/doorTarget.txt"},
        // Escape leads back from everywhere but the menu.
        {"3 hold Escape\n", testArea, "menu"},
        {std::string(controlsClick) + "6 hold Space\n", "", "menu"},
        {std::string(controlsClick) + "6 hold Escape\n", "", "menu"},
        {std::string(controlsClick) + "6 click 10 10 right\n", "", "menu"},
        {std::string(creditsClick) + "6 hold Escape\n", "", "menu"},
        // Without a mouse: Up and Down move the focus over the buttons, Enter or the pad's face
        // button uses it; the pad's stick moves it too.
        {"3 hold Enter\n", "", "area startingArea.txt"},
        {"3 hold Down\n5 hold Enter\n", "", "controls"},
        {"3 hold Down\n5 hold Down\n7 hold Enter\n", "", "credits 0"},
        {"3 hold Up\n5 hold Down\n7 hold Down\n9 hold Enter\n", "", "controls"},
        {"3 hold JoyButton0\n", "", "area startingArea.txt"},
        {"3-4 axis JoyY 100\n6-7 axis JoyPovY -100\n9 hold JoyButton0\n", "", "credits 0"},
        // After a resize clicks are mapped into the 800 x 600 frame before they reach buttons.
        {"2 resize 1600 1200\n3 click 800 620 left\n", "", "controls"},
        {"2 resize 400 300\n3 click 187 212 left\n", "", "credits 0"},
        {"2 resize 1600 1200\n3 click 400 310 left\n", "", "menu"},
        // Touching the hat leads to the credits; a door to its level.
        {"", "--area tests/game/levels/hat.txt", "credits 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script + c.args);
        const GameRun run = play(c.script, c.args);
        ASSERT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(scene(run), c.scene) << run.output;
    }
}

TEST(SceneFlow, SpaceStartsTheGameWhateverJumpIsBoundToAndEnterPressesTheMarkedButton) {
    // The player's key file binds jump to Space first; the marker stands on the second button.
    const std::string config = ::testing::TempDir() + std::to_string(getpid()) + "_flow_keys";
    std::filesystem::create_directories(config + "/mossfang");
    std::ofstream(config + "/mossfang/keys.txt") << "jump = Space Z\n";
    struct Case {
        std::string script;
        std::string scene;
    };
    const Case cases[] = {
        {"3 hold Down\n5 hold Space\n", "area startingArea.txt"},
        {"3 hold Down\n5 hold Enter\n", "controls"},
        {"3 hold Down\n5 hold Z\n", "menu"}, // the second jump key is nothing to the menu
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const GameRun run = play(c.script, "", 12, "XDG_CONFIG_HOME=" + config);
        ASSERT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(scene(run), c.scene) << run.output;
    }
}

TEST(SceneFlow, EscapeAndTheQuitButtonEndTheGameFromTheMenu) {
    for (const char* script : {"3 hold Escape\n", quitClick}) {
        const GameRun run = play(script, "", 60);
        ASSERT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(run.state.value("frame", -1), 3) << script;
        EXPECT_EQ(scene(run), "menu");
    }
}

TEST(SceneFlow, CreditsPagesAdvanceWithSpaceOrAClickAndWrapToTheMenu) {
    std::string script = creditsClick;
    for (int page = 1; page <= 6; ++page) {
        // Alternate keys and clicks, two frames apart.
        script +=
            std::to_string(4 + 2 * page) + (page % 2 ? " hold Space\n" : " click 100 100 left\n");
        const GameRun run = play(script, "", 20);
        ASSERT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(scene(run), page < 6 ? "credits " + std::to_string(page) : "menu");
    }
}

TEST(SceneFlow, AMissingAreaReportsTheErrorAndStillGivesAPlayableArea) {
    const GameRun run = play("", "--area tests/game/levels/noSuchArea.txt", 40);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Error loading level:: "), std::string::npos) << run.output;
    const auto players = entitiesWith(run, "player");
    ASSERT_EQ(players.size(), 1u);
    EXPECT_TRUE(hasLabel(players[0], "gameSpace"));
    // The ninja stands at the origin, watched by the game camera, with the HUD around him.
    EXPECT_NEAR(players[0]["position"][0].get<double>(), 0.0, 1e-3);
    EXPECT_EQ(entitiesWith(run, "camera").size(), 2u);
    EXPECT_FALSE(entitiesWith(run, "hudSpace").empty());
}

TEST(SceneFlow, PressingCTwiceReturnsTheCameraToItsPlaceAbovePlayer) {
    for (const auto& [script, attachment] :
         {std::pair{"3 hold C\n", "distanceAttachment"},
          std::pair{"3 hold C\n6 hold C\n", "positionAttachment"}}) {
        const GameRun run = play(script, testArea, 12);
        ASSERT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(scene(run), "area tests/game/levels/doorTarget.txt");
        nlohmann::json camera;
        for (const auto& e : entitiesWith(run, "camera"))
            if (hasLabel(e, "gameSpace"))
                camera = e;
        ASSERT_FALSE(camera.is_null()) << script;
        EXPECT_TRUE(hasComponent(camera, attachment)) << script;
        EXPECT_FALSE(hasComponent(camera, std::string(attachment) == "positionAttachment"
                                              ? "distanceAttachment"
                                              : "positionAttachment"))
            << script;
        if (std::string(attachment) == "positionAttachment") {
            const auto player = entitiesWith(run, "player").at(0);
            for (int axis = 0; axis < 3; ++axis)
                EXPECT_NEAR(camera["position"][axis].get<double>() -
                                player["position"][axis].get<double>(),
                            axis == 2 ? 100.0 : 0.0, 0.5)
                    << axis;
        }
    }
}

TEST(SceneFlow, ADoorCarriesTheSameScoreHealthAndUpgradesToTheEntrance) {
    // Walking right from the entrance he collects a shiny, a candy corn and the jump upgrade, then
    // reaches the door; the dump at frame 4 shows him before the door, at frame 70 after it.
    const std::string script = "0-40 hold Right\n";
    const std::string args = "--area tests/game/levels/doorStart.txt --entrance start";
    const GameRun before = play(script, args, 5);
    const GameRun after = play(script, args, 70);
    ASSERT_EQ(after.status, 0) << after.output;
    EXPECT_EQ(scene(before), "area tests/game/levels/doorStart.txt");
    EXPECT_EQ(scene(after), "area tests/game/levels/doorTarget.txt");
    const auto walking = entitiesWith(before, "player");
    const auto arrived = entitiesWith(after, "player");
    ASSERT_EQ(walking.size(), 1u);
    ASSERT_EQ(arrived.size(), 1u);
    const nlohmann::json& a = walking[0];
    const nlohmann::json& b = arrived[0];
    EXPECT_EQ(b["components"], a["components"]);
    EXPECT_EQ(b["score"], (nlohmann::json{{"points", 1}, {"eggs", 0}, {"secrets", 0}}));
    EXPECT_EQ(b["score"], a["score"]);
    EXPECT_EQ(b["health"], a["health"]);
    EXPECT_EQ(b["energy"]["maximum"], 110.0);
    EXPECT_TRUE(hasLabel(b, "doubleJumpEnabled"));
    // Placed at the entrance "fromDoorStart" (27, 10) standing: the keys let go as he reached
    // the door, and the speed he walked through it with stayed behind.
    EXPECT_NEAR(b["position"][0].get<double>(), 27.0, 0.01);
    EXPECT_NEAR(b["position"][1].get<double>(), 10.0, 1.0);
    EXPECT_NEAR(b["velocity"][0].get<double>(), 0.0, 0.01);
}

TEST(SceneFlow, TheOverviewDrawsTheWholeAreaIntoOnePicture) {
    // Share of the picture that is not the areas' clear colour (0.12, 0.075, 0.03).
    const auto drawnShare = [](const std::string& level) {
        const std::string shot = ::testing::TempDir() + std::to_string(getpid()) + "_overview_" +
                                 std::to_string(getpid()) + ".png";
        std::remove(shot.c_str());
        const std::string command = "cd " MOSSFANG_SOURCE_DIR " && ALSOFT_CONF=" MOSSFANG_SOURCE_DIR
                                    "/scripts/openal-null.conf " MOSSFANG_EXE " --area " +
                                    level + " --overview " + shot + " > /dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        sf::Image image;
        if (!image.loadFromFile(shot))
            return -1.0;
        EXPECT_EQ(image.getSize(), sf::Vector2u(800, 600));
        int drawn = 0, all = 0;
        for (unsigned y = 0; y < 600; y += 4)
            for (unsigned x = 0; x < 800; x += 4, ++all) {
                const sf::Color c = image.getPixel(x, y);
                drawn += std::abs(c.r - 31) + std::abs(c.g - 19) + std::abs(c.b - 8) > 12;
            }
        return static_cast<double>(drawn) / all;
    };
    // The test area's background picture and models fill much of the frame; two bare platforms,
    // framed the same way, far less of it.
    const double full = drawnShare("tests/game/levels/everyTemplate.txt");
    const double bare = drawnShare("tests/game/levels/doorTarget.txt");
    EXPECT_GT(full, 0.3);
    EXPECT_GT(bare, 0.01);
    EXPECT_LT(bare, full / 2);
}

TEST(SceneFlow, StateDumpsOfTheSameRunAreIdenticalWithKeysInAFixedOrder) {
    const std::string args = "--area tests/game/levels/everyTemplate.txt --seed 3";
    const GameRun first = play("0-20 hold Right\n", args, 30);
    const GameRun second = play("0-20 hold Right\n", args, 30);
    ASSERT_FALSE(first.stateText.empty()) << first.output;
    EXPECT_EQ(first.stateText, second.stateText);
    // Top-level keys, then each entity's, in the order they are written.
    EXPECT_LT(first.stateText.find("\"frame\""), first.stateText.find("\"scene\""));
    EXPECT_LT(first.stateText.find("\"scene\""), first.stateText.find("\"entities\""));
    const auto player = entitiesWith(first, "player").at(0);
    std::vector<std::string> keys;
    const std::string text = first.stateText;
    for (const char* key :
         {"\"id\"", "\"components\"", "\"position\"", "\"velocity\"", "\"health\"", "\"energy\"",
          "\"score\"", "\"animationState\"", "\"labels\""})
        keys.push_back(key);
    size_t at = 0;
    for (const std::string& key : keys) {
        const size_t next = text.find(key, at);
        ASSERT_NE(next, std::string::npos) << key;
        at = next;
    }
    EXPECT_TRUE(player.contains("animationState"));
}

} // namespace
