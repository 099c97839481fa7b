// The settings screen through the real executable: scripted keys, clicks and a pad change values
// and save them to the player's settings file, the next start loads them, and a damaged file or a
// folder that cannot be written costs one line while the game plays on.
#include "support/ProcessRun.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct GameRun {
    int status = -1;
    std::string output;
    nlohmann::json state;
};

// A scratch configuration folder of its own, removed afterwards.
struct ScratchFolder {
    fs::path path;
    ScratchFolder() {
        std::string pattern = ::testing::TempDir() + "mossfang_settings_screen_XXXXXX";
        path = mkdtemp(pattern.data());
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

// Runs mossfang for `frames` frames with the input script, its configuration in `config`.
GameRun play(const fs::path& scratch, const std::string& config, const std::string& script,
             const std::string& args = "", int frames = 30) {
    const fs::path input = scratch / "input.txt";
    const fs::path state = scratch / "state.json";
    std::ofstream(input) << script;
    fs::remove(state);
    const std::string command = "cd " MOSSFANG_SOURCE_DIR " && XDG_CONFIG_HOME=" + config +
                                " XDG_DATA_HOME=" + (scratch / "data").string() +
                                " ALSOFT_CONF=" MOSSFANG_SOURCE_DIR
                                "/scripts/openal-null.conf " MOSSFANG_EXE
                                " --fixed-dt 0.0166667 --frames " +
                                std::to_string(frames) + " --input " + input.string() +
                                " --dump-state " + state.string() + " " + args + " 2>&1";
    const testsupport::ProcessRun process = testsupport::runCommand(command);
    GameRun run{process.status, process.output, {}};
    std::ifstream in(state);
    run.state = nlohmann::json::parse(
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), nullptr,
        false);
    return run;
}

std::string scene(const GameRun& run) {
    return run.state.is_object() ? run.state.value("scene", std::string()) : "<no dump>";
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

size_t count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// The menu's Settings button, the second, by its centre in window pixels (y from the top).
const std::string openSettings = "3 click 400 277 left\n";

TEST(SettingsScreen, KeysClicksAndAPadChangeValuesThatAreSavedAndLoadedAtTheNextStart) {
    ScratchFolder scratch;
    const fs::path config = scratch.path / "config";
    const std::string script = openSettings +
                               // Keys: music volume down twice.
                               "6 hold Down\n8 hold Left\n10 hold Left\n"
                               // Clicks: on the "Unlimited energy" row, and on the left half of
                               // the game speed's value, which steps it back from 100 to 60.
                               "13 click 200 390 left\n15 click 500 352 left\n"
                               // A pad: the stick up to the frame meter, the jump button on it.
                               "17-18 axis JoyY -100\n20 hold JoyButton0\n"
                               // Escape leads back to the menu.
                               "23 hold Escape\n";
    const GameRun run = play(scratch.path, config.string(), script);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(scene(run), "menu");
    const std::string saved = readFile(config / "mossfang" / "settings.txt");
    for (const char* line :
         {"quality = auto\n", "musicVolume = 80\n", "effectsVolume = 100\n", "fullscreen = off\n",
          "frameMeter = on\n", "gameSpeed = 60\n", "unlimitedEnergy = on\n", "noDamage = off\n"})
        EXPECT_EQ(count(saved, line), 1u) << line << saved;
    EXPECT_FALSE(fs::exists(config / "mossfang" / "settings.txt.tmp"));

    // The next start plays with them: the ninja's run is marked as assisted from the start.
    const GameRun next =
        play(scratch.path, config.string(), "", "--area tests/game/levels/doorTarget.txt", 5);
    ASSERT_EQ(next.status, 0) << next.output;
    bool marked = false;
    for (const auto& entity : next.state.value("entities", nlohmann::json::array()))
        for (const auto& label : entity.value("labels", nlohmann::json::array()))
            marked = marked || label == "assistsUsed";
    EXPECT_TRUE(marked) << next.output;
    EXPECT_EQ(readFile(config / "mossfang" / "settings.txt"), saved);
}

TEST(SettingsScreen, ADamagedFileOrAnUnwritableFolderCostsOneLineAndTheGamePlaysOn) {
    struct Case {
        std::string name;
        std::string file;   // what lies at the settings file's place, if anything
        bool configIsAFile; // the configuration folder is a plain file
        std::string line;
    };
    const std::vector<Case> cases = {
        {"damaged", "quality = shiny\n", false, "is damaged (line 1)"},
        {"unwritable", "", true, "could not save the settings"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder scratch;
        const fs::path config = scratch.path / "config";
        if (c.configIsAFile) {
            std::ofstream(config) << "not a folder";
        } else {
            fs::create_directories(config / "mossfang");
            std::ofstream(config / "mossfang" / "settings.txt") << c.file;
        }
        // Into the settings, two changes, and they show: the screen stays on. A run at a fixed
        // time step plays at full, so the quality row starts there and goes to low.
        const GameRun run =
            play(scratch.path, config.string(), openSettings + "6 hold Right\n8 hold Right\n");
        ASSERT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(scene(run), "settings") << run.output;
        EXPECT_EQ(count(run.output, "mossfang: "), 1u) << run.output;
        EXPECT_EQ(count(run.output, c.line), 1u) << run.output;
        if (!c.configIsAFile) {
            EXPECT_EQ(readFile(config / "mossfang" / "settings.txt.bak"), c.file);
            EXPECT_NE(readFile(config / "mossfang" / "settings.txt").find("quality = low\n"),
                      std::string::npos);
        }
    }
}

} // namespace
