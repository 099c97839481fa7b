// The player's settings file and the run's settings: what is written comes back, a damaged or
// unreadable file costs one line and is kept aside, an unwritable folder costs one line and the
// game goes on, and each change reaches the part of the game it belongs to.
#include "game/Settings.hpp"
#include "game/RunSettings.hpp"
#include "game/SettingsScreen.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

using game::RunSettings;
using game::Settings;
using vorn::rendering::QualityLevel;
namespace fs = std::filesystem;

// A scratch folder of its own for each test, removed afterwards.
struct ScratchFolder {
    fs::path path;
    ScratchFolder() {
        std::string pattern = ::testing::TempDir() + "mossfang_settings_XXXXXX";
        path = mkdtemp(pattern.data());
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

size_t lines(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

Settings everyOtherValue() {
    Settings s;
    s.quality = QualityLevel::minimal;
    s.musicVolume = 0;
    s.effectsVolume = 35;
    s.fullscreen = true;
    s.frameMeter = true;
    s.assists.gameSpeed = 60;
    s.assists.unlimitedEnergy = true;
    s.assists.noDamage = true;
    return s;
}

TEST(SettingsFile, WhatIsSavedLoadsBackAndAHandWrittenFileKeepsItsDefaults) {
    ScratchFolder scratch;
    // The folder does not exist yet: saving makes it.
    const fs::path file = scratch.path / "config" / "mossfang" / "settings.txt";
    Settings speed80;
    speed80.assists.gameSpeed = 80;
    Settings medium;
    medium.quality = QualityLevel::medium;
    for (const Settings& saved : {Settings{}, everyOtherValue(), speed80, medium}) {
        std::string problem;
        ASSERT_TRUE(saved.save(file.string(), problem)) << problem;
        EXPECT_FALSE(fs::exists(file.string() + ".tmp"));
        std::ostringstream report;
        bool writable = false;
        EXPECT_EQ(Settings::load(file.string(), report, writable), saved) << readFile(file);
        EXPECT_TRUE(writable);
        EXPECT_EQ(report.str(), "");
    }

    // Comments, blank lines, spaces and Windows line ends are fine; left-out names keep their
    // defaults; a missing file is the defaults, silently.
    writeFile(file, "# mine\r\n\r\n  musicVolume=40   # quieter\r\nnoDamage = on\r\n");
    Settings expected;
    expected.musicVolume = 40;
    expected.assists.noDamage = true;
    std::ostringstream report;
    bool writable = false;
    EXPECT_EQ(Settings::load(file.string(), report, writable), expected);
    EXPECT_EQ(Settings::load((scratch.path / "none.txt").string(), report, writable), Settings{});
    EXPECT_EQ(report.str(), "");
}

TEST(SettingsFile, ADamagedOrUnreadableFileGivesOneLineTheDefaultsAndIsKeptAsBak) {
    struct Case {
        std::string name;
        std::string bytes;
        bool folder = false; // a folder where the file should be
    };
    const std::string good = "noDamage = on\nmusicVolume = 20\n";
    const std::vector<Case> cases = {
        {"unknown level", good + "quality = shiny\n"},
        {"volume out of range", good + "effectsVolume = 101\n"},
        {"negative volume", "musicVolume = -5\n" + good},
        {"speed not offered", good + "gameSpeed = 90\n"},
        {"switch not on or off", good + "fullscreen = yes\n"},
        {"unknown name", good + "volume = 3\n"},
        {"no equals sign", good + "just words\n"},
        {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"far too long", good + std::string(Settings::maxFileSize, '#')},
        {"a folder", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder scratch;
        const fs::path file = scratch.path / "settings.txt";
        const fs::path backup = scratch.path / "settings.txt.bak";
        if (c.folder)
            fs::create_directory(file);
        else
            writeFile(file, c.bytes);
        std::ostringstream report;
        bool writable = false;
        EXPECT_EQ(Settings::load(file.string(), report, writable), Settings{});
        EXPECT_TRUE(writable);
        EXPECT_EQ(lines(report.str()), 1u) << report.str();
        EXPECT_NE(report.str().find(file.string()), std::string::npos) << report.str();
        EXPECT_NE(report.str().find(backup.string()), std::string::npos) << report.str();
        // Kept whole, out of the way of the next save, and the next start is quiet.
        EXPECT_FALSE(fs::exists(file));
        if (c.folder)
            EXPECT_TRUE(fs::is_directory(backup));
        else
            EXPECT_EQ(readFile(backup), c.bytes);
        std::ostringstream again;
        EXPECT_EQ(Settings::load(file.string(), again, writable), Settings{});
        EXPECT_EQ(again.str(), "");
    }
}

// Hooks that write down every call.
struct Calls {
    std::vector<std::string> log;
    RunSettings::Hooks hooks() {
        RunSettings::Hooks h;
        h.quality = [this](const RunSettings::Quality& q) {
            log.push_back("quality " + Settings::qualityName(q));
        };
        h.volumes = [this](float music, float effects) {
            std::ostringstream line;
            line << "volumes " << music << " " << effects;
            log.push_back(line.str());
        };
        h.fullscreen = [this](bool on) { log.push_back(on ? "fullscreen on" : "fullscreen off"); };
        h.frameMeter = [this](bool on) { log.push_back(on ? "meter on" : "meter off"); };
        h.gameSpeed = [this](float speed) {
            std::ostringstream line;
            line << "speed " << speed;
            log.push_back(line.str());
        };
        return h;
    }
};

TEST(RunSettings, EachStepOfTheScreenReachesItsOwnHookAloneAndIsSaved) {
    // One step of each row of the screen, from the defaults.
    struct Case {
        int row;
        int direction;
        std::string call;
        std::string line;
    };
    const std::vector<Case> cases = {
        {0, 1, "quality full", "quality = full"},
        {0, -1, "quality minimal", "quality = minimal"},
        {1, -1, "volumes 0.9 1", "musicVolume = 90"},
        {1, 0, "volumes 0 1", "musicVolume = 0"}, // Enter goes round from 100
        {2, -1, "volumes 1 0.9", "effectsVolume = 90"},
        {3, 0, "fullscreen on", "fullscreen = on"},
        {4, 1, "meter on", "frameMeter = on"},
        {5, 1, "speed 0.8", "gameSpeed = 80"},
        {5, -1, "speed 0.6", "gameSpeed = 60"},
        {6, 0, "", "unlimitedEnergy = on"},
        {7, -1, "", "noDamage = on"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ScratchFolder scratch;
        const std::string file = (scratch.path / "settings.txt").string();
        Calls calls;
        std::ostringstream report;
        RunSettings run(Settings{}, file, true, calls.hooks(), report);
        const Settings next = game::SettingsScreen::step(c.row, run.values(), c.direction);
        run.change(next);
        EXPECT_EQ(run.values(), next);
        EXPECT_EQ(calls.log,
                  c.call.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.call});
        const std::string saved = readFile(file);
        EXPECT_NE(saved.find(c.line + "\n"), std::string::npos) << saved;
        // Everything else as it was.
        std::istringstream in(saved);
        int badLine = 0;
        const auto reread = Settings::parse(in, badLine);
        ASSERT_TRUE(reread);
        EXPECT_EQ(*reread, next);
        EXPECT_EQ(run.assists()->unlimitedEnergy, next.assists.unlimitedEnergy);
        EXPECT_EQ(run.assists()->noDamage, next.assists.noDamage);
        EXPECT_EQ(run.assists()->gameSpeed, next.assists.gameSpeed);
        EXPECT_EQ(report.str(), "");
    }
}

TEST(RunSettings, TheCommandLinesQualityHoldsForTheRunAndIsNeverSaved) {
    ScratchFolder scratch;
    const std::string file = (scratch.path / "settings.txt").string();
    Settings saved;
    saved.quality = QualityLevel::low;
    Calls calls;
    std::ostringstream report;
    RunSettings run(saved, file, true, calls.hooks(), report);
    run.overrideQuality(std::nullopt); // --quality auto
    run.applyAll();
    EXPECT_EQ(run.values().quality, std::nullopt);
    ASSERT_FALSE(calls.log.empty());
    EXPECT_EQ(calls.log.front(), "quality auto");
    EXPECT_EQ(std::count(calls.log.begin(), calls.log.end(), "quality auto"), 2);

    // Another setting changes: the file keeps the player's own level.
    Settings louder = run.values();
    louder.musicVolume = 50;
    run.change(louder);
    EXPECT_NE(readFile(file).find("quality = low\n"), std::string::npos) << readFile(file);
    EXPECT_EQ(run.values().quality, std::nullopt);
    // A level chosen on the screen replaces both.
    run.change(game::SettingsScreen::step(0, run.values(), 1));
    EXPECT_EQ(run.values().quality, QualityLevel::full);
    EXPECT_NE(readFile(file).find("quality = full\n"), std::string::npos) << readFile(file);
}

TEST(RunSettings, AFolderThatCannotBeWrittenCostsOneLineAndTheChangesStillTakeEffect) {
    ScratchFolder scratch;
    // A plain file where the folder should be: no one, not even root, can make the folder.
    writeFile(scratch.path / "config", "a file");
    struct Case {
        std::string name;
        std::string path;
        bool writable;
    };
    const std::vector<Case> cases = {
        {"folder is a file", (scratch.path / "config" / "mossfang" / "settings.txt").string(),
         true},
        {"no HOME", "", true},
        {"damaged file left in place", (scratch.path / "settings.txt").string(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Calls calls;
        std::ostringstream report;
        RunSettings run(Settings{}, c.path, c.writable, calls.hooks(), report);
        for (int volume : {90, 80, 70}) {
            Settings next = run.values();
            next.effectsVolume = volume;
            run.change(next);
        }
        EXPECT_EQ(lines(report.str()), 1u) << report.str();
        EXPECT_NE(report.str().find("could not save the settings"), std::string::npos);
        EXPECT_EQ(run.values().effectsVolume, 70);
        EXPECT_EQ(calls.log.back(), "volumes 1 0.7");
        EXPECT_FALSE(fs::exists(scratch.path / "settings.txt"));
    }
}

} // namespace
