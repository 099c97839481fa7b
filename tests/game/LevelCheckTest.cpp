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

TEST_F(LevelCheckTest, AnEntranceIsReachedByADoorOfALevelBesideIt) {
    std::string report;
    std::ofstream((folder / "neighbour.txt").string())
        << "[ exit [ [0 0 0] [0 0 0] [1 1 1] \"" << (folder / "room.txt").string()
        << "\" \"inside\" ] ]\n";
    EXPECT_EQ(check("room.txt", "[ entrance [ [0 0 0] [0 0 0] [1 1 1] \"inside\" ] ]", report), 0)
        << report;
}

} // namespace
