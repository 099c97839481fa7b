// The scene flow through the real executable: scripted keys and clicks at a fixed time step, and
// the world's state dumped after the last frame.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct GameRun {
    int status = -1;
    std::string output;
    nlohmann::json state;
};

// Runs mossfang for `frames` frames with the input script `script` and extra arguments `args`.
GameRun play(const std::string& script, const std::string& args, int frames = 12) {
    static int runs = 0;
    const std::string base = ::testing::TempDir() + "flow_" + std::to_string(++runs);
    {
        std::ofstream file(base + "_input.txt");
        file << script;
    }
    std::remove((base + "_state.json").c_str());
    const std::string command = "cd " MOSSFANG_SOURCE_DIR " && ALSOFT_CONF=" MOSSFANG_SOURCE_DIR
                                "/scripts/openal-null.conf " MOSSFANG_EXE " --fixed-dt 0.0166667"
                                " --frames " +
                                std::to_string(frames) + " --input " + base + "_input.txt" +
                                " --dump-state " + base + "_state.json " + args + " 2>&1";
    GameRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream state(base + "_state.json");
    if (state)
        run.state = nlohmann::json::parse(state, nullptr, false);
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

TEST(SceneFlow, StartingTheMissingFirstAreaReportsTheErrorAndStillGivesAPlayableArea) {
    const GameRun run = play("3 hold Space\n", "", 40);
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
    EXPECT_EQ(b["score"], (nlohmann::json{{"points", 1}, {"eggs", 0}}));
    EXPECT_EQ(b["score"], a["score"]);
    EXPECT_EQ(b["health"], a["health"]);
    EXPECT_EQ(b["energy"]["maximum"], 110.0);
    EXPECT_TRUE(hasLabel(b, "doubleJumpEnabled"));
    // Placed at the entrance "fromDoorStart" (27, 10), sliding on a little from there.
    EXPECT_GE(b["position"][0].get<double>(), 27.0);
    EXPECT_LT(b["position"][0].get<double>(), 50.0);
    EXPECT_NEAR(b["position"][1].get<double>(), 10.0, 1.0);
}

} // namespace
