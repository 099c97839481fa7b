#include "game/CommandLine.hpp"
#include "game/Scenes.hpp"

#include "support/ProcessRun.hpp"
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using game::CommandLine;
using game::GameOptions;

namespace {

struct Parsed {
    std::optional<int> status;
    GameOptions options;
    std::string out;
    std::string err;
};

Parsed parse(std::vector<std::string> args) {
    args.insert(args.begin(), "mossfang");
    std::vector<const char*> argv;
    for (const auto& a : args)
        argv.push_back(a.c_str());
    Parsed result;
    std::ostringstream out, err;
    result.status =
        CommandLine::parse(static_cast<int>(argv.size()), argv.data(), result.options, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

// Runs the game executable with a shell command line and gives its exit status and output.
struct ProcessResult {
    int status;
    std::string output;
};
ProcessResult runGame(const std::string& args) {
    const std::string command = std::string(MOSSFANG_EXE) + " " + args + " 2>&1";
    ProcessResult run{-1, ""};
    const testsupport::ProcessRun process = testsupport::runCommand(command);
    run.status = process.status;
    run.output = process.output;
    return run;
}

} // namespace

TEST(CommandLineOptions, ValuesAreParsed) {
    const Parsed p = parse({"--frames", "120", "--fixed-dt", "0.0166", "--seed", "7", "--input",
                            "in.txt", "--screenshot", "out.png"});
    EXPECT_FALSE(p.status);
    EXPECT_EQ(p.options.frames, 120u);
    EXPECT_FLOAT_EQ(p.options.fixedDt, 0.0166f);
    EXPECT_EQ(p.options.seed, 7u);
    EXPECT_EQ(p.options.inputFile, "in.txt");
    EXPECT_EQ(p.options.screenshotFile, "out.png");
}

TEST(CommandLineOptions, DefaultsPlayTheGame) {
    const Parsed p = parse({});
    EXPECT_FALSE(p.status);
    EXPECT_EQ(p.options.frames, 0u);
    EXPECT_EQ(p.options.fixedDt, 0.0f);
    EXPECT_EQ(p.options.seed, 1u);
}

TEST(CommandLineOptions, HelpPrintsUsageAndExitsZero) {
    const Parsed p = parse({"--help"});
    ASSERT_TRUE(p.status);
    EXPECT_EQ(*p.status, 0);
    EXPECT_NE(p.out.find("--fixed-dt"), std::string::npos);
    EXPECT_TRUE(p.err.empty());
}

TEST(CommandLineOptions, BadOptionsPrintUsageAndAReasonAndExitTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},           {"--frames"},       {"--frames", "abc"},
        {"--frames", "0"},     {"--frames", "-4"}, {"--fixed-dt", "-0.5"},
        {"--fixed-dt", "nan"}, {"--seed", "x"},    {"stray"}};
    for (const auto& args : bad) {
        const Parsed p = parse(args);
        ASSERT_TRUE(p.status) << args[0];
        EXPECT_EQ(*p.status, 2) << args[0];
        EXPECT_NE(p.err.find("Usage:"), std::string::npos);
        const std::string lastLine = p.err.substr(p.err.rfind('\n', p.err.size() - 2) + 1);
        EXPECT_EQ(lastLine.rfind("mossfang: ", 0), 0u) << p.err;
    }
}

TEST(CommandLineOptions, NumbersAreDecimalAndCheckedInTheTypeTheyAreStoredIn) {
    // Leading zeros are decimal, never octal; base prefixes are refused.
    const Parsed leadingZeros = parse({"--frames", "010", "--seed", "010"});
    ASSERT_FALSE(leadingZeros.status) << leadingZeros.err;
    EXPECT_EQ(leadingZeros.options.frames, 10u);
    EXPECT_EQ(leadingZeros.options.seed, 10u);
    const Parsed zeroSeed = parse({"--seed", "000"});
    ASSERT_FALSE(zeroSeed.status) << zeroSeed.err;
    EXPECT_EQ(zeroSeed.options.seed, 0u);

    // Each of these is refused with the usage and a one-line reason naming the option's problem.
    const std::vector<std::vector<std::string>> bad = {
        {"--frames", "0x10"},    {"--seed", "0x10"},       {"--frames", "1e3"},
        {"--frames", "+5"},      {"--frames", "000"},      {"--seed", "4294967296"},
        {"--fixed-dt", "1e-50"}, {"--fixed-dt", "1e-400"}, {"--fixed-dt", "1e39"}};
    for (const auto& args : bad) {
        const Parsed p = parse(args);
        ASSERT_TRUE(p.status) << args[0] << " " << args[1];
        EXPECT_EQ(*p.status, 2) << args[0] << " " << args[1];
        const std::string lastLine = p.err.substr(p.err.rfind('\n', p.err.size() - 2) + 1);
        EXPECT_EQ(lastLine.rfind("mossfang: ", 0), 0u) << p.err;
    }

    // A tiny step is fine as long as a float still holds it above zero.
    const Parsed tiny = parse({"--fixed-dt", "1e-30"});
    ASSERT_FALSE(tiny.status) << tiny.err;
    EXPECT_GT(tiny.options.fixedDt, 0.0f);
}

TEST(Executable, UnknownOptionExitsTwoBeforeOpeningAWindow) {
    const ProcessResult run = runGame("--no-such-option");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.output.find("no-such-option"), std::string::npos);
}

TEST(Executable, MalformedInputScriptIsRejectedWithItsLineNumber) {
    const std::string path = ::testing::TempDir() + std::to_string(getpid()) + "_bad_input.txt";
    {
        std::ofstream script(path);
        script << "0-10 hold Right\n# comment\n12 hold Spacebar\n";
    }
    // No display is needed: the script is read before the window opens.
    const ProcessResult run = runGame("--input " + path + " --frames 5");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.output.find("line 3"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Spacebar"), std::string::npos) << run.output;
}

TEST(CommandLineOptions, DesignerSwitchesNeedAnArea) {
    const Parsed both = parse({"--area", "a.txt", "--debug-draw", "--watch"});
    EXPECT_FALSE(both.status) << both.err;
    EXPECT_TRUE(both.options.debugDraw);
    EXPECT_TRUE(both.options.watch);
    const Parsed none = parse({"--area", "a.txt"});
    EXPECT_FALSE(none.options.debugDraw);
    EXPECT_FALSE(none.options.watch);
    for (const char* alone : {"--debug-draw", "--watch"}) {
        const Parsed p = parse({alone});
        ASSERT_TRUE(p.status) << alone;
        EXPECT_EQ(*p.status, 2) << alone;
        EXPECT_NE(p.err.find("--area"), std::string::npos) << p.err;
    }
}

TEST(CommandLineOptions, AnEntranceNamedEmptyIsStillNamed) {
    const Parsed named = parse({"--area", "a.txt", "--entrance", ""});
    EXPECT_TRUE(named.options.entranceGiven);
    EXPECT_EQ(named.options.entrance, "");
    EXPECT_FALSE(parse({"--area", "a.txt"}).options.entranceGiven);
}

// Without --entrance: the "player" entry, else the entrance "", else the first entrance, else the
// origin; one line says which. A "player" entry beside an entrance "" must not bring a second
// ninja, so the name chosen then is one no entrance carries.
TEST(CommandLineOptions, WithoutAnEntranceTheLevelsOwnStartIsChosen) {
    struct Case {
        std::string entries;
        std::string entrance;
        std::string said;
    };
    const std::string player = "player [ [0 9 0] [0 0 0] [1 1 1] ]";
    const auto entrance = [](const std::string& name) {
        return "entrance [ [0 9 0] [0 0 0] [1 1 1] \"" + name + "\" ]";
    };
    const std::vector<Case> cases = {
        {entrance("a") + player, "", "the \"player\" entry of F"},
        {player + entrance("") + entrance("-"), "--", "the \"player\" entry of F"},
        {entrance("a") + entrance("") + entrance("b"), "", "the entrance \"\" of F"},
        {entrance("a") + entrance("b"), "a", "the entrance \"a\" of F"},
    };
    const std::string file = ::testing::TempDir() + std::to_string(getpid()) + "_start.txt";
    for (const Case& c : cases) {
        std::ofstream(file) << "[ " << c.entries << " ]\n";
        std::ostringstream said;
        EXPECT_EQ(game::Scenes::chooseEntrance(file, said), c.entrance) << c.entries;
        std::string expected = "No --entrance: the ninja starts at " + c.said + "\n";
        expected.replace(expected.rfind('F'), 1, file);
        EXPECT_EQ(said.str(), expected) << c.entries;
    }
    std::ofstream(file) << "[ flatPlat3 [ [0 0 0] [0 0 0] [1 1 1] ] ]\n";
    std::ostringstream said;
    EXPECT_EQ(game::Scenes::chooseEntrance(file, said), "");
    EXPECT_EQ(said.str(), "No --entrance: " + file +
                              " has no \"player\" entry and no entrance; the ninja starts at the "
                              "origin\n");
    std::remove(file.c_str());
}

TEST(CommandLineOptions, UpgradesAreAListOfKnownNamesForAnArea) {
    const Parsed both = parse({"--area", "a.txt", "--upgrades", "doubleJump,sword"});
    EXPECT_FALSE(both.status) << both.err;
    EXPECT_EQ(both.options.upgrades, (std::vector<std::string>{"doubleJump", "sword"}));
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--upgrades", "sword"}, {"--area", "a.txt", "--upgrades", "wings"}}) {
        const Parsed p = parse(bad);
        ASSERT_TRUE(p.status) << bad.back();
        EXPECT_EQ(*p.status, 2) << bad.back();
    }
}

TEST(CommandLineOptions, QualityIsAutoOrALevelAndAnythingElseNamesTheLevels) {
    EXPECT_EQ(parse({}).options.quality, "");
    for (const char* choice : {"auto", "full", "medium", "low", "minimal"}) {
        const Parsed p = parse({"--quality", choice});
        EXPECT_FALSE(p.status) << p.err;
        EXPECT_EQ(p.options.quality, choice);
    }
    for (const char* bad : {"high", "Full", "", "lowest"}) {
        const Parsed p = parse({"--quality", bad});
        ASSERT_TRUE(p.status) << bad;
        EXPECT_EQ(*p.status, 2) << bad;
        const std::string lastLine = p.err.substr(p.err.rfind('\n', p.err.size() - 2) + 1);
        EXPECT_EQ(lastLine.rfind("mossfang: ", 0), 0u) << p.err;
        EXPECT_NE(lastLine.find("auto, full, medium, low or minimal"), std::string::npos)
            << lastLine;
    }
}
