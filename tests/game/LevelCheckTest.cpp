// `--check-level` in process: good levels pass, broken copies fail with one line per problem.
#include "game/tools/LevelCheck.hpp"
#include "engine/AssetRoot.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string levels = std::string(MOSSFANG_SOURCE_DIR) + "/tests/game/levels/";

class LevelCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousDirectory = std::filesystem::current_path();
        std::filesystem::current_path(MOSSFANG_SOURCE_DIR);
        vorn::engine::setAssetRoot("assets/");
        folder = std::filesystem::path(::testing::TempDir()) /
                 ("level_check_" + std::to_string(getpid()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::current_path(previousDirectory); }

    // Writes a level into the scratch folder and checks it.
    int check(const std::string& name, const std::string& text, std::string& report) {
        const std::string path = (folder / name).string();
        std::ofstream(path) << text;
        std::ostringstream out;
        const int status = game::LevelCheck::run(path, out);
        report = out.str();
        for (std::string::size_type at; (at = report.find(path)) != std::string::npos;)
            report.replace(at, path.size(), name);
        return status;
    }

    std::filesystem::path previousDirectory;
    std::filesystem::path folder;
};

TEST_F(LevelCheckTest, TheTestAreasPass) {
    for (const char* name :
         {"everyTemplate.txt", "doorStart.txt", "doorTarget.txt", "hat.txt", "pieces.txt"}) {
        std::ostringstream out;
        EXPECT_EQ(game::LevelCheck::run(levels + name, out), 0) << out.str();
        EXPECT_EQ(out.str(), levels + name + ": ok\n");
    }
}

TEST_F(LevelCheckTest, BrokenCopiesFailWithOneLinePerProblem) {
    struct Case {
        std::string text;
        std::string report;
    };
    const std::string floor = "  flatPlat3 [ [0 0 0] [0 0 0] [1 1 1] ]\n";
    const std::vector<Case> cases = {
        {"[\n" + floor + "  flatPlat4 [ [0 0 0] [0 0 0] [1 1 1] ]\n]\n",
         "broken.txt:3: unknown keyword \"flatPlat4\"\n"},
        {"[\n" + floor + "  exit [ [0 0 0] [0 0 0] [1 1 1] \"noSuchLevel.txt\" \"start\" ]\n]\n",
         "broken.txt:3: door leads to the missing level file \"noSuchLevel.txt\"\n"},
        {"[\n  exit [ [0 0 0] [0 0 0] [1 1 1] \"tests/game/levels/doorTarget.txt\" \"nowhere\" "
         "]\n]\n",
         "broken.txt:2: door leads to the entrance \"nowhere\" that "
         "\"tests/game/levels/doorTarget.txt\" lacks\n"},
        {"[\n" + floor + "  entrance [ [0 0 0] [0 0 0] [1 1 1] \"lonely\" ]\n]\n",
         "broken.txt:3: no door leads to the entrance \"lonely\"\n"},
        // A hint's zone needs a width and a height.
        {"[\n" + floor + "  hint [ [0 20 0] [0 0 0] [1 1 1] \"Jump\" [40 0 0] ]\n]\n",
         "broken.txt:3: the hint \"Jump\" has an empty zone (40 x 0)\n"},
        {"[\n" + floor + "  flatPlat3 [ [0 0 0] (0 0 0) [1 1 1] ]\n]\n",
         "broken.txt: Parsing error (line 3, column 23): Was expecting '[', got '(' instead\n"},
        // What the loader reads past without stopping: numbers it cannot read as written (read as
        // 0, or cut at the letter), a list or a string left open to the end of the file.
        {"[\n  flatPlat3 [ [nan inf -inf] [0 0 0] [1 1 1] ]\n]\n",
         "broken.txt:2: a number that is not a finite decimal number\n"},
        {"[\n" + floor + "  flatPlat3 [ [0 0 0] [0 0 0]\n    [1e999 1 1] ]\n]\n",
         "broken.txt:4: a number that is not a finite decimal number\n"},
        {"[\n  flatPlat3 [ [0 0 0] [0 0 0] [1 1 " + std::string(60, '9') + "] ]\n]\n",
         "broken.txt:2: a number that is not a finite decimal number\n"},
        {"[", "broken.txt:1: the file ends before its list of entries is closed\n"},
        {"[\n" + floor + "  entrance [ [0 0 0] [0 0 0] [1 1 1] \"never closed ] ]\n",
         "broken.txt:3: a quoted string that runs to the end of the file\n"
         "broken.txt:4: the file ends before its list of entries is closed\n"},
        {"[\n" + floor + "/* a comment ]\n",
         "broken.txt:3: a comment that runs to the end of the file\n"
         "broken.txt:4: the file ends before its list of "
         "entries is closed\n"},
        // Names that leave the asset folder, which the game refuses.
        {"[\n  exit [ [0 0 0] [0 0 0] [1 1 1] \"../../../../etc/passwd\" \"start\" ]\n]\n",
         "broken.txt:2: \"exit\" names \"../../../../etc/passwd\", a file outside the asset "
         "folder\n"},
        {"[\n  BGSprite [ [0 0 0] [0 0 0] [1 1 1] \"/etc/hostname\" ]\n]\n",
         "broken.txt:2: \"BGSprite\" names \"/etc/hostname\", a file outside the asset folder\n"},
        // Problems add up, one line each, in the file's order within each kind.
        {"[\n  rok [ [0 0 0] [0 0 0] [1 1 1] ]\n  entrance [ [0 0 0] [0 0 0] [1 1 1] \"a\" ]\n"
         "  exit [ [0 0 0] [0 0 0] [1 1 1] \"gone.txt\" \"b\" ]\n]\n",
         "broken.txt:2: unknown keyword \"rok\"\n"
         "broken.txt:4: door leads to the missing level file \"gone.txt\"\n"
         "broken.txt:3: no door leads to the entrance \"a\"\n"},
    };
    for (const Case& c : cases) {
        std::string report;
        EXPECT_EQ(check("broken.txt", c.text, report), 1) << c.text;
        EXPECT_EQ(report, c.report) << c.text;
    }
    // A good copy of the same kind passes, with hints (with and without a zone size) and a
    // checkpoint.
    std::string report;
    EXPECT_EQ(check("good.txt",
                    "[\n" + floor +
                        "  hint [ [0 20 0] [0 0 0] [1 1 1] \"Jump\" ]\n"
                        "  hint [ [30 20 0] [0 0 0] [1 1 1] \"Climb\" [20 50 0] ]\n"
                        "  checkpoint [ [10 7.5 0] [0 0 0] [1 1 1] ]\n]\n",
                    report),
              0);
    EXPECT_EQ(report, "good.txt: ok\n");
}

// What a player would trip over in the layout: ants whose markers let them roam, scenery that
// stands over a gap, and sleepers that never wake.
TEST_F(LevelCheckTest, LayoutProblemsGetOneLineEachAndSoundLayoutsPass) {
    struct Case {
        std::string entries;
        std::string report; // empty: the level passes
    };
    const std::string floor = "flatPlat3 [ [0 0 0] [0 0 0] [1 1 1] ]\n";
    const auto at = [](const char* keyword, float x, float y, const std::string& more = "") {
        return std::string(keyword) + " [ [" + std::to_string(x) + " " + std::to_string(y) +
               " 0] [0 0 0] [1 1 1] " + more + "]\n";
    };
    const std::string ant = at("workerAnt", 0, 7);
    const std::vector<Case> cases = {
        {ant + at("antCommandCCW", -10, 7) + at("antCommandCW", 10, 7), ""},
        {ant + at("antCommandCW", -10, 7) + at("antCommandCCW", 10, 7),
         "layout.txt:4: the turn marker at (-10, 7) on the left of the ant at (0, 7) sends it on "
         "leftwards instead of back: that end wants \"antCommandCCW\"\n"
         "layout.txt:5: the turn marker at (10, 7) on the right of the ant at (0, 7) sends it on "
         "rightwards instead of back: that end wants \"antCommandCW\"\n"},
        // A marker at another height belongs to another patrol; the nearest one on a side counts.
        {ant + at("antCommandCCW", -10, 7) + at("antCommandCW", 10, 30) +
             at("antCommandCCW", 20, 7) + at("antCommandCW", 30, 7),
         "layout.txt:6: the turn marker at (20, 7) on the right of the ant at (0, 7) sends it on "
         "rightwards instead of back: that end wants \"antCommandCW\"\n"},
        {ant + at("antCommandCCW", -10, 7),
         "layout.txt:3: the ant at (0, 7) has no turn marker on its right: it walks off its "
         "patrol\n"},
        // Scenery on the floor, over the gap beside it, and a mushroom in the play plane (solid).
        {"mushClust [ [5 4 -40] [0 0 0] [2 2 2] ]\n", ""},
        {"mushClust [ [40 4 -40] [0 0 0] [2 2 2] ]\n",
         "layout.txt:3: the scenery \"mushClust\" at (40, 4) stands over a gap, where a jump may "
         "land: it looks like a platform the ninja falls through\n"},
        {"mushSingle [ [5 20 -40] [0 0 0] [2 2 2] ]\n",
         "layout.txt:3: the scenery \"mushSingle\" at (5, 20) stands over a gap, where a jump "
         "may land: it looks like a platform the ninja falls through\n"},
        {"mushSingle [ [40 4 0] [0 0 0] [2 2 2] ]\n", ""},
        // Sleepers and the zones that wake them.
        {at("boulder", 0, 20, "asleep \"fall\" ") +
             "wake [ [0 30 0] [0 0 0] [20 10 1] \"fall\" ]\n",
         ""},
        {at("boulder", 0, 20, "asleep \"fall\" "),
         "layout.txt:3: asleep until \"fall\", but no wake zone has that name: it never moves\n"},
        {"wake [ [0 30 0] [0 0 0] [0 10 1] \"fall\" ]\n",
         "layout.txt:3: the wake zone \"fall\" wakes nothing: no entry is asleep until it\n"
         "layout.txt:3: the wake zone \"fall\" has no size: its sx and sy are its width and "
         "height\n"},
    };
    for (const Case& c : cases) {
        std::string report;
        const int status = check("layout.txt", "[\n" + floor + c.entries + "]\n", report);
        if (c.report.empty()) {
            EXPECT_EQ(status, 0) << c.entries;
            EXPECT_EQ(report, "layout.txt: ok\n") << c.entries;
        } else {
            EXPECT_EQ(status, 1) << c.entries;
            EXPECT_EQ(report, c.report) << c.entries;
        }
    }
}

TEST_F(LevelCheckTest, DoorsLeadToTheLevelsBesideTheirFile) {
    std::string report;
    std::ofstream((folder / "neighbour.txt").string())
        << "[ exit [ [0 0 0] [0 0 0] [1 1 1] \"room.txt\" \"inside\" ] ]\n";
    EXPECT_EQ(check("room.txt", "[ entrance [ [0 0 0] [0 0 0] [1 1 1] \"inside\" ] ]", report), 0)
        << report;
    // A copy of the game's levels outside its folder is checked against itself: every door and
    // entrance is found among the copies.
    const std::filesystem::path copy = folder / "copy";
    std::filesystem::create_directories(copy);
    int areas = 0;
    for (const auto& level : std::filesystem::directory_iterator("assets/levels")) {
        std::filesystem::copy_file(level.path(), copy / level.path().filename());
        ++areas;
    }
    EXPECT_GE(areas, 5);
    for (const auto& level : std::filesystem::directory_iterator(copy)) {
        std::ostringstream out;
        EXPECT_EQ(game::LevelCheck::run(level.path().string(), out), 0) << out.str();
    }
}

} // namespace
