// The scene flow through the real executable: scripted keys and clicks at a fixed time step, and
// the world's state dumped after the last frame.
#include "support/ProcessRun.hpp"
#include "support/ScratchData.hpp"
#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct GameRun {
    int status = -1;
    std::string output;
    nlohmann::json state;
    std::string stateText;
    std::map<int, nlohmann::json> at; // the states dumped at chosen frames
};

// Runs mossfang for `frames` frames with the input script `script` and extra arguments `args`,
// keeping its saved run in `data` (or in a fresh folder of its own), with the variables in
// `environment` ("NAME=value ...") set, and dumps the state after the last frame and after each
// frame of `dumpAt`.
GameRun play(const std::string& script, const std::string& args, int frames = 12,
             const testsupport::ScratchData* data = nullptr, const std::vector<int>& dumpAt = {},
             const std::string& environment = "") {
    std::optional<testsupport::ScratchData> own;
    if (data == nullptr)
        data = &own.emplace();
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
    std::string dumps;
    for (const int frame : dumpAt) {
        std::remove((base + "_state-" + std::to_string(frame) + ".json").c_str());
        dumps += (dumps.empty() ? " --dump-at " : ",") + std::to_string(frame);
    }
    const std::string command =
        "cd " MOSSFANG_SOURCE_DIR " && " + data->environment() + environment +
        " ALSOFT_CONF=" MOSSFANG_SOURCE_DIR "/scripts/openal-null.conf " MOSSFANG_EXE
        " --fixed-dt 0.0166667"
        " --frames " +
        std::to_string(frames) + " --input " + base + "_input.txt" + " --dump-state " + base +
        "_state.json" + dumps + " " + args + " 2>&1";
    GameRun run;
    const testsupport::ProcessRun process = testsupport::runCommand(command);
    run.status = process.status;
    run.output = process.output;
    std::ifstream state(base + "_state.json");
    run.stateText.assign(std::istreambuf_iterator<char>(state), std::istreambuf_iterator<char>());
    run.state = nlohmann::json::parse(run.stateText, nullptr, false);
    for (const int frame : dumpAt) {
        std::ifstream dumped(base + "_state-" + std::to_string(frame) + ".json");
        run.at[frame] = nlohmann::json::parse(dumped, nullptr, false);
    }
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

// The entities of a dumped state that carry `label`, as a label or a component.
std::vector<nlohmann::json> entitiesIn(const nlohmann::json& state, const std::string& label) {
    std::vector<nlohmann::json> found;
    for (const auto& e : state.value("entities", nlohmann::json::array()))
        if (hasLabel(e, label) || hasComponent(e, label))
            found.push_back(e);
    return found;
}

std::vector<nlohmann::json> entitiesWith(const GameRun& run, const std::string& label) {
    return entitiesIn(run.state, label);
}

// The one ninja of a dumped state (null when there is none or several).
nlohmann::json ninjaIn(const nlohmann::json& state) {
    const auto players = entitiesIn(state, "player");
    return players.size() == 1 ? players[0] : nlohmann::json();
}

std::string scene(const GameRun& run) {
    return run.state.value("scene", std::string("<no dump>"));
}

const std::string testArea = "--area tests/game/levels/doorTarget.txt";

// The menu's buttons, by their centres in window pixels (y from the top): Start, Settings,
// Controls, Credits, Quit; with a saved run the column of six starts higher, with Continue and New
// game.
const char* const startClick = "3 click 400 209 left\n";
const char* const controlsClick = "3 click 400 345 left\n";
const char* const creditsClick = "3 click 400 413 left\n";
const char* const quitClick = "3 click 400 481 left\n";
const char* const continueClick = "3 click 400 175 left\n";
const char* const newGameClick = "3 click 400 243 left\n";

TEST(SceneFlow, TheGameOpensOnTheMenuAndEveryMenuInputLeadsWhereItShould) {
    struct Case {
        std::string script;
        std::string args;
        std::string scene;
        int frames = 12;
    };
    const std::vector<Case> cases = {
        {"", "", "menu"},
        {"3 hold Space\n", "", "area startingArea.txt"},
        {startClick, "", "area startingArea.txt"},
        {controlsClick, "", "controls"},
        {creditsClick, "", "credits 0"},
        // A click on the border of a button, or between buttons, does nothing.
        {"3 click 280 209 left\n5 click 400 243 left\n7 click 700 300 left\n", "", "menu"},
        // The level keys need left Control held, and only the menu knows them.
        {"3 hold LControl Num2\n", "", "area simpleArea.txt"},
        {"3 hold LControl Num0\n", "", "area prototypeLevel.txt"},
        {"3 hold Num2\n", "", "menu"},
        {"3 hold LControl Num2\n", testArea, "area tests/game/levels/doorTarget.txt"},
        // Escape leads back to the menu from the controls and the credits; in an area it pauses,
        // and leaving asks once.
        {"3 hold Escape\n", testArea, "area tests/game/levels/doorTarget.txt"},
        {"3 hold Escape\n5 hold Up\n9 hold Enter\n", testArea,
         "area tests/game/levels/doorTarget.txt"},
        {"3 hold Escape\n5 hold Up\n9 hold Enter\n11 hold Enter\n", testArea, "menu"},
        {std::string(controlsClick) + "6 hold Space\n", "", "menu"},
        {std::string(controlsClick) + "6 hold Escape\n", "", "menu"},
        {std::string(controlsClick) + "6 click 10 10 right\n", "", "menu"},
        {std::string(creditsClick) + "6 hold Escape\n", "", "menu"},
        // Without a mouse: Up and Down move the focus over the buttons, Enter or the pad's face
        // button uses it; the pad's stick moves it too.
        {"3 hold Enter\n", "", "area startingArea.txt"},
        {"3 hold Down\n5 hold Down\n7 hold Enter\n", "", "controls"},
        {"3 hold Down\n5 hold Down\n7 hold Down\n9 hold Enter\n", "", "credits 0", 14},
        {"3 hold Up\n5 hold Down\n7 hold Down\n9 hold Down\n11 hold Enter\n", "", "controls", 16},
        {"3 hold JoyButton0\n", "", "area startingArea.txt"},
        {"3-4 axis JoyY 100\n6-7 axis JoyPovY -100\n9 hold JoyButton0\n", "", "controls"},
        // After a resize clicks are mapped into the 800 x 600 frame before they reach buttons.
        {"2 resize 1600 1200\n3 click 800 690 left\n", "", "controls"},
        {"2 resize 400 300\n3 click 200 206 left\n", "", "credits 0"},
        {"2 resize 1600 1200\n3 click 400 310 left\n", "", "menu"},
        // Touching the hat leads to the summary, and after a moment a key to the credits.
        {"", "--area tests/game/levels/hat.txt", "summary"},
        {"10 hold Space\n", "--area tests/game/levels/hat.txt", "summary", 40},
        {"45 hold Space\n", "--area tests/game/levels/hat.txt", "credits 0", 50},
        {"45 click 10 10 right\n", "--area tests/game/levels/hat.txt", "credits 0", 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script + c.args);
        const GameRun run = play(c.script, c.args, c.frames);
        ASSERT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(scene(run), c.scene) << run.output;
    }
}

TEST(SceneFlow, SpaceStartsTheGameWhateverJumpIsBoundToAndEnterPressesTheMarkedButton) {
    // The player's key file binds jump to Space first; the marker stands on the second button,
    // Settings.
    const std::string config = ::testing::TempDir() + std::to_string(getpid()) + "_flow_keys";
    std::filesystem::create_directories(config + "/mossfang");
    std::ofstream(config + "/mossfang/keys.txt") << "jump = Space Z\n";
    struct Case {
        std::string script;
        std::string scene;
    };
    const Case cases[] = {
        {"3 hold Down\n5 hold Space\n", "area startingArea.txt"},
        {"3 hold Down\n5 hold Enter\n", "settings"},
        {"3 hold Down\n5 hold Z\n", "menu"}, // the second jump key is nothing to the menu
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const GameRun run = play(c.script, "", 12, nullptr, {}, "XDG_CONFIG_HOME=" + config);
        ASSERT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(scene(run), c.scene) << run.output;
    }
}

TEST(SceneFlow, EscapeTwiceAndTheQuitButtonEndTheGameFromTheMenu) {
    // The frame the game ends on: the second Escape or the click; a lone Escape, or one put away
    // by another key, only asks, and the game runs on to its last frame.
    for (const auto& [script, last] :
         {std::pair{"3 hold Escape\n9 hold Escape\n", 9}, std::pair{quitClick, 3},
          std::pair{"3 hold Escape\n", 59},
          std::pair{"3 hold Escape\n6 hold Down\n9 hold Escape\n", 59}}) {
        const GameRun run = play(script, "", 60);
        ASSERT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(run.state.value("frame", -1), last) << script;
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
    // Walking right from the entrance he collects a shiny, a candy corn and the jump upgrade, finds
    // the secret place, then reaches the door; the dump at frame 4 shows him before the secret and
    // the door, at frame 70 after them.
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
    EXPECT_EQ(a["score"], (nlohmann::json{{"points", 1}, {"eggs", 0}, {"secrets", 0}}));
    EXPECT_EQ(b["score"], (nlohmann::json{{"points", 1}, {"eggs", 0}, {"secrets", 1}}));
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

// The pause panel's buttons by their centres (y from the top): Resume, Controls, Settings, Leave;
// and the two of the question that leaving asks: Leave, Stay.
const char* const resumeClick = "click 400 232 left";
const char* const leaveClick = "click 400 436 left";
const char* const confirmLeaveClick = "click 400 302 left";

TEST(SceneFlow, EscapeStopsTheAreaUnderAPanelThatResumesShowsTheKeysOrLeaves) {
    // The ninja walks right from frame 0 and the game pauses on frame 10; what follows is the
    // case's. The pause must hold him from frame 11 to 39 in every case; at the last frame (59)
    // the area runs on with him further right, or is still paused with him where he stopped, or
    // the menu has come.
    const std::string area = "area tests/game/levels/doorTarget.txt";
    struct Case {
        std::string name;
        std::string script;
        std::string scene;
        bool pausedAtEnd;
    };
    const std::vector<Case> cases = {
        {"Escape again resumes", "10 hold Escape\n40 hold Escape\n", area, false},
        {"Enter presses the marked Resume", "10 hold Escape\n40 hold Enter\n", area, false},
        {"a click on Resume", "10 hold Escape\n40 " + std::string(resumeClick) + "\n", area, false},
        {"the pad's Start button pauses and resumes", "10 hold JoyButton7\n40 hold JoyButton7\n",
         area, false},
        {"the pad's d-pad moves the mark and its face button presses",
         "10 hold JoyButton7\n20-21 axis JoyPovY -100\n24-25 axis JoyPovY 100\n"
         "40 hold JoyButton0\n",
         area, false},
        {"any key takes the keys away again",
         "10 hold Escape\n20 hold Down\n24 hold Enter\n"
         "34 hold Space\n",
         area, true},
        {"Leave asks first, and Stay goes back",
         "10 hold Escape\n20 hold Up\n24 hold Enter\n28 hold Down\n32 hold Enter\n", area, true},
        {"Leave asks first, and Escape goes back",
         "10 hold Escape\n20 " + std::string(leaveClick) + "\n30 hold Escape\n", area, true},
        {"Leave asked once leaves", "10 hold Escape\n20 hold Up\n24 hold Enter\n28 hold Enter\n",
         "menu", false},
        {"a click on Leave asked once leaves",
         "10 hold Escape\n20 " + std::string(leaveClick) + "\n28 " + confirmLeaveClick + "\n",
         "menu", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const GameRun run = play("0-200 hold Right\n" + c.script, testArea + " --update-only", 60,
                                 nullptr, {11, 27});
        ASSERT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(scene(run), c.scene);
        const nlohmann::json stopped = ninjaIn(run.at.at(11));
        const nlohmann::json held = ninjaIn(run.at.at(27));
        ASSERT_TRUE(stopped.is_object() && held.is_object());
        EXPECT_EQ(held["position"], stopped["position"]) << "nothing moves while paused";
        EXPECT_EQ(held["velocity"], stopped["velocity"]);
        EXPECT_FALSE(entitiesIn(run.at.at(27), "pauseSpace").empty()) << "the panel is up";
        if (c.scene != area)
            continue;
        EXPECT_EQ(!entitiesWith(run, "pauseSpace").empty(), c.pausedAtEnd);
        const nlohmann::json last = ninjaIn(run.state);
        ASSERT_TRUE(last.is_object());
        if (c.pausedAtEnd)
            EXPECT_EQ(last["position"], stopped["position"]);
        else
            EXPECT_GT(last["position"][0].get<double>(),
                      stopped["position"][0].get<double>() + 2.0);
    }
}

TEST(SceneFlow, SettingsFromThePauseComeBackToTheStillPausedAreaWithTheChangeInForce) {
    // Paused on frame 10, Settings is the third button; on the settings screen six steps down is
    // the energy assist, turned on with Enter, and Escape goes back; Escape on frame 40 resumes.
    char config[] = "/tmp/mossfang-config-XXXXXX";
    ASSERT_NE(::mkdtemp(config), nullptr);
    const GameRun run =
        play("0-200 hold Right\n10 hold Escape\n12 hold Down\n14 hold Down\n"
             "16 hold Enter\n18 hold Down\n20 hold Down\n22 hold Down\n24 hold Down\n"
             "26 hold Down\n28 hold Down\n30 hold Enter\n34 hold Escape\n"
             "40 hold Escape\n",
             testArea + " --update-only", 60, nullptr, {11, 27, 38},
             std::string("XDG_CONFIG_HOME=") + config + " ");
    std::filesystem::remove_all(config);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.at.at(27).value("scene", ""), "settings");
    const std::string area = "area tests/game/levels/doorTarget.txt";
    ASSERT_EQ(run.at.at(38).value("scene", ""), area);
    const nlohmann::json stopped = ninjaIn(run.at.at(11));
    const nlohmann::json back = ninjaIn(run.at.at(38));
    ASSERT_TRUE(stopped.is_object() && back.is_object());
    EXPECT_EQ(back["position"], stopped["position"]) << "the same area, still paused";
    EXPECT_EQ(back["id"], stopped["id"]);
    EXPECT_FALSE(entitiesIn(run.at.at(38), "pauseSpace").empty()) << "the panel is up";
    EXPECT_FALSE(hasLabel(back, "assistsUsed"));
    ASSERT_EQ(scene(run), area);
    const nlohmann::json last = ninjaIn(run.state);
    ASSERT_TRUE(last.is_object());
    EXPECT_GT(last["position"][0].get<double>(), stopped["position"][0].get<double>() + 2.0);
    EXPECT_TRUE(hasLabel(last, "assistsUsed")) << "the assist chosen in the pause is in force";
}

TEST(SceneFlow, ControlsFromThePauseDrawTheKeysOverThePausedArea) {
    const std::string shot = ::testing::TempDir() + std::to_string(getpid()) + "_pause_keys.png";
    std::remove(shot.c_str());
    const GameRun run = play("0-200 hold Right\n10 hold Escape\n20 hold Down\n24 hold Enter\n",
                             testArea + " --screenshot " + shot, 30);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(scene(run), "area tests/game/levels/doorTarget.txt");
    sf::Image drawn, keys;
    ASSERT_TRUE(drawn.loadFromFile(shot));
    ASSERT_TRUE(keys.loadFromFile(MOSSFANG_SOURCE_DIR "/assets/controls_screen.png"));
    // Above the "continue" strip at the bottom the picture is the controls screen itself.
    double difference = 0.0;
    int samples = 0;
    for (unsigned y = 0; y < 530; y += 5)
        for (unsigned x = 0; x < 800; x += 5, ++samples) {
            const sf::Color a = drawn.getPixel(x, y), b = keys.getPixel(x, y);
            difference += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
        }
    EXPECT_LT(difference / samples / 3.0, 4.0);
}

TEST(SceneFlow, ARunSavedAtADoorACheckpointOrOnLeavingGoesOnInTheNextGame) {
    testsupport::ScratchData data;
    const std::string doorTarget = "area tests/game/levels/doorTarget.txt";
    // The first game: from the start of the door test he takes a shiny, a candy corn and the
    // jump upgrade, finds the secret place and walks through the door; the game ends there.
    const GameRun first =
        play("0-40 hold Right\n",
             "--area tests/game/levels/doorStart.txt --entrance start --update-only", 70, &data);
    ASSERT_EQ(scene(first), doorTarget) << first.output;
    ASSERT_TRUE(std::filesystem::exists(data.gameFolder() / "save.txt"));
    const nlohmann::json saved = ninjaIn(first.state);
    ASSERT_TRUE(saved.is_object());
    ASSERT_EQ(saved["score"]["points"], 1);
    ASSERT_EQ(saved["score"]["secrets"], 1);

    // The next games open on Continue: Space, Enter on the marked first button or a click on it
    // bring him back at the door's entrance as he came through. The last one leaves through the
    // pause, and Continue brings him back once more in the same game.
    const std::string leaveAndContinue = std::string(continueClick) +
                                         "20 hold Escape\n22 hold Up\n24 hold Enter\n"
                                         "26 hold Enter\n30 hold Space\n";
    for (const std::string& script : {std::string("3 hold Space\n"), std::string("3 hold Enter\n"),
                                      std::string(continueClick), leaveAndContinue}) {
        SCOPED_TRACE(script);
        const GameRun next = play(script, "--update-only", 40, &data);
        ASSERT_EQ(next.status, 0) << next.output;
        EXPECT_EQ(scene(next), doorTarget);
        const nlohmann::json ninja = ninjaIn(next.state);
        ASSERT_TRUE(ninja.is_object());
        EXPECT_EQ(ninja["score"], saved["score"]);
        EXPECT_EQ(ninja["energy"]["maximum"], saved["energy"]["maximum"]);
        EXPECT_TRUE(hasLabel(ninja, "doubleJumpEnabled"));
        EXPECT_NEAR(ninja["position"][0].get<double>(), 27.0, 3.0) << "at the entrance";
    }

    // Continued, he walks back through the doors past the secret place and the pickups' places:
    // found and taken in the saved run, they count nothing more.
    std::vector<int> every;
    for (int frame = 10; frame <= 300; frame += 10)
        every.push_back(frame);
    const GameRun back =
        play("3 hold Space\n6-300 hold Right\n", "--update-only", 301, &data, every);
    ASSERT_EQ(back.status, 0) << back.output;
    // Back in the door test's start and then through its door again, he has crossed the secret
    // place, which lies across the way from the entrance to the door.
    bool inTheStart = false, pastTheSecret = false;
    for (const auto& [frame, state] : back.at) {
        SCOPED_TRACE(frame);
        const nlohmann::json ninja = ninjaIn(state);
        ASSERT_TRUE(ninja.is_object());
        EXPECT_EQ(ninja["score"], saved["score"]);
        const std::string now = state.value("scene", "");
        inTheStart = inTheStart || now == "area tests/game/levels/doorStart.txt";
        pastTheSecret = pastTheSecret || (inTheStart && now == doorTarget);
    }
    EXPECT_TRUE(pastTheSecret) << "he walked through the secret place again";

    // New game, the second button, starts afresh: the saved run is gone at once.
    const GameRun fresh = play(newGameClick, "--update-only", 12, &data);
    EXPECT_EQ(scene(fresh), "area startingArea.txt");
    const nlohmann::json ninja = ninjaIn(fresh.state);
    ASSERT_TRUE(ninja.is_object());
    EXPECT_EQ(ninja["score"]["points"], 0);
    EXPECT_FALSE(hasLabel(ninja, "doubleJumpEnabled"));
    EXPECT_FALSE(std::filesystem::exists(data.gameFolder() / "save.txt"));

    // A game that ends after a checkpoint: the next one goes on from the checkpoint, upgrades and
    // all, not from where the area was entered.
    const std::string everyTemplate = "tests/game/levels/everyTemplate.txt";
    const GameRun lit =
        play("0-75 hold Right\n",
             "--area " + everyTemplate + " --upgrades doubleJump,sword --update-only", 90, &data);
    ASSERT_EQ(scene(lit), "area " + everyTemplate) << lit.output;
    const GameRun after = play("3 hold Space\n", "--update-only", 12, &data);
    EXPECT_EQ(scene(after), "area " + everyTemplate);
    const nlohmann::json there = ninjaIn(after.state);
    ASSERT_TRUE(there.is_object());
    EXPECT_TRUE(hasLabel(there, "doubleJumpEnabled") && hasLabel(there, "swordEnabled"));
    // The test area's checkpoint stands at (25, 12), its "player" entry at (0, 10).
    EXPECT_NEAR(there["position"][0].get<double>(), 25.0, 1.0);
    EXPECT_NEAR(there["position"][1].get<double>(), 12.0, 1.0);

    // A damaged save costs one line and is kept aside; the menu offers a new run, so Space
    // starts one.
    std::ofstream(data.gameFolder() / "save.txt") << "version = 1\narea = ";
    const GameRun damaged = play("3 hold Space\n", "--update-only", 12, &data);
    EXPECT_EQ(scene(damaged), "area startingArea.txt");
    EXPECT_NE(damaged.output.find("save.txt is damaged"), std::string::npos) << damaged.output;
    EXPECT_TRUE(std::filesystem::exists(data.gameFolder() / "save.txt.bak"));
}

TEST(SceneFlow, WalkingBackAndForthThroughADoorCannotRaiseTheScore) {
    // Walking right from the door test's start he goes through its door, on through the far door
    // of the next area and back to the start, where the shiny, the candy corn and the upgrade lay.
    std::vector<int> frames;
    for (int frame = 10; frame <= 450; frame += 10)
        frames.push_back(frame);
    const GameRun run =
        play("0-450 hold Right\n",
             "--area tests/game/levels/doorStart.txt --entrance start --update-only", 451, nullptr,
             frames);
    ASSERT_EQ(run.status, 0) << run.output;
    int returns = 0;
    std::string last;
    for (const auto& [frame, state] : run.at) {
        SCOPED_TRACE(frame);
        const std::string now = state.value("scene", "");
        returns += now == "area tests/game/levels/doorStart.txt" && !last.empty() && now != last;
        last = now;
        const nlohmann::json ninja = ninjaIn(state);
        ASSERT_TRUE(ninja.is_object());
        EXPECT_EQ(ninja["score"]["points"], 1);
        EXPECT_LE(ninja["score"]["secrets"], 1);
        EXPECT_EQ(ninja["energy"]["maximum"], 110.0);
    }
    EXPECT_GE(returns, 3) << "he came back to the start again and again";
    EXPECT_EQ(ninjaIn(run.state)["score"]["secrets"], 1) << "the secret place counts once";
}

} // namespace
