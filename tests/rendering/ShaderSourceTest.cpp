// Include expansion and the shader program definition reader (text only, no GL).
#include "engine/DiagnosticsCapture.hpp"
#include "rendering/FilePaths.hpp"
#include "rendering/ShaderIncludes.hpp"
#include "rendering/ShaderProgram.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

using vorn::rendering::expandIncludes;
using vorn::rendering::ShaderProgram;

namespace {

class IncludeTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = ::testing::TempDir() + std::to_string(getpid()) + "_mossfang_includes_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        std::filesystem::create_directories(dir);
    }
    void write(const std::string& name, const std::string& text) {
        std::ofstream(dir + name) << text;
    }

    // The line number the compiler gives each line of `text` (C preprocessor rule: "#line N"
    // makes the next line N), paired with the line.
    static std::vector<std::pair<long long, std::string>> numbered(const std::string& text) {
        std::vector<std::pair<long long, std::string>> result;
        std::istringstream in(text);
        std::string line;
        long long number = 1;
        while (std::getline(in, line)) {
            if (line.rfind("#line ", 0) == 0) {
                number = std::stoll(line.substr(6));
                continue;
            }
            result.emplace_back(number++, line);
        }
        return result;
    }
    static long long numberOf(const std::string& text, const std::string& line) {
        for (const auto& [number, content] : numbered(text))
            if (content == line)
                return number;
        return -1;
    }

    std::string dir;
};

} // namespace

TEST_F(IncludeTest, TwoIncludesNumberFromTenThousandAndTwentyThousandAndLaterLinesKeepTheirs) {
    write("a.glsl", "a1\na2\n");
    write("b.glsl", "b1\nb2\nb3\n");
    std::string text = "\n#line 1\nline1\n#include \"a.glsl\"\nline3\n#include \"b.glsl\"\nline5\n";
    EXPECT_EQ(expandIncludes(text, dir, 0), 2);
    EXPECT_EQ(text.find("#include"), std::string::npos);
    EXPECT_EQ(numberOf(text, "line1"), 1);
    EXPECT_EQ(numberOf(text, "a1"), 10001);
    EXPECT_EQ(numberOf(text, "a2"), 10002);
    EXPECT_EQ(numberOf(text, "line3"), 3);
    EXPECT_EQ(numberOf(text, "b1"), 20001);
    EXPECT_EQ(numberOf(text, "b3"), 20003);
    EXPECT_EQ(numberOf(text, "line5"), 5);
}

TEST_F(IncludeTest, APreambleBeforeTheLineOneDirectiveDoesNotShiftLaterNumbers) {
    write("a.glsl", "a1\n");
    std::string text = "#version 330 core\n#define X 1\n\n#line 1\nfirst\nsecond\n"
                       "#include \"a.glsl\"\nfourth\n";
    EXPECT_EQ(expandIncludes(text, dir, 0), 1);
    EXPECT_EQ(numberOf(text, "second"), 2);
    EXPECT_EQ(numberOf(text, "a1"), 10001);
    EXPECT_EQ(numberOf(text, "fourth"), 4);
}

TEST_F(IncludeTest, NestedIncludesCarryTheIncludingFilesNumberInFront) {
    write("outer.glsl", "o1\n#include \"inner.glsl\"\no3\n");
    write("inner.glsl", "i1\ni2\n");
    write("second.glsl", "s1\n");
    std::string text = "#include \"second.glsl\"\n#include \"outer.glsl\"\nafter\n";
    EXPECT_EQ(expandIncludes(text, dir, 0), 2);
    EXPECT_EQ(numberOf(text, "s1"), 10001);
    EXPECT_EQ(numberOf(text, "o1"), 20001);
    // The first include of file 2 is numbered from (2 * 10000 + 1) * 10000 + 1.
    EXPECT_EQ(numberOf(text, "i1"), 200010001);
    EXPECT_EQ(numberOf(text, "i2"), 200010002);
    EXPECT_EQ(numberOf(text, "o3"), 20003);
    EXPECT_EQ(numberOf(text, "after"), 3);
}

TEST_F(IncludeTest, MissingIncludeIsReportedWithItsPathAndOnlyItsLineIsRemoved) {
    std::string text = "one\n#include \"nowhere.glsl\" trailing\nthree\n";
    vorn::engine::DiagnosticsCapture capture;
    EXPECT_EQ(expandIncludes(text, dir, 0), 1);
    EXPECT_EQ(capture.errText(), "Could not include \"" + dir + "nowhere.glsl\"\n");
    EXPECT_EQ(text, "one\n\nthree\n");
}

TEST_F(IncludeTest, SelfIncludeStopsAtTheNestingLimit) {
    write("loop.glsl", "x\n#include \"loop.glsl\"\n");
    std::string text = "#include \"loop.glsl\"\n";
    vorn::engine::DiagnosticsCapture capture;
    EXPECT_EQ(expandIncludes(text, dir, 0), 1);
    const std::string err = capture.errText();
    EXPECT_NE(err.find("nested too deeply"), std::string::npos) << err;
    EXPECT_EQ(text.find("#include"), std::string::npos);
}

TEST_F(IncludeTest, OnlyNumbersThatFitGlslLineNumbersAreEverEmitted) {
    // Each case: the files, the text, lines with the numbers they must have (-1: left out) and
    // the words the report must contain.
    struct Case {
        std::vector<std::pair<std::string, std::string>> files;
        std::string text;
        std::vector<std::pair<std::string, long long>> lines;
        std::string report;
    };
    std::string manyIncludes;
    for (int i = 0; i < 22; ++i)
        manyIncludes += "#include \"" + std::string(i < 21 ? "leaf" : "parent") + ".glsl\"\n";
    const std::vector<Case> cases = {
        // The second level is the deepest and keeps its true numbers; a third level would be
        // numbered from about 10^12, which wraps in 32 bits.
        {{{"a.glsl", "a1\n#include \"b.glsl\"\n"},
          {"b.glsl", "b1\nb2\n#include \"c.glsl\"\n"},
          {"c.glsl", "c1\n"}},
         "#include \"a.glsl\"\n",
         {{"a1", 10001}, {"b2", 100010002}, {"c1", -1}},
         "c.glsl\" (includes nested too deeply)\n"},
        // File 22 would number its first include from 2200010001, past 2147483647.
        {{{"leaf.glsl", "leaf\n"},
          {"parent.glsl", "p1\n#include \"child.glsl\"\n"},
          {"child.glsl", "child\n"}},
         manyIncludes,
         {{"p1", 220001}, {"child", -1}},
         "child.glsl\" (its line numbers would pass 2147483647)\n"},
    };
    for (const Case& c : cases) {
        for (const auto& [name, text] : c.files)
            write(name, text);
        std::string text = c.text;
        vorn::engine::DiagnosticsCapture capture;
        expandIncludes(text, dir, 0);
        for (const auto& [line, number] : c.lines)
            EXPECT_EQ(numberOf(text, line), number) << line;
        for (const auto& [number, line] : numbered(text))
            EXPECT_LE(number, 2147483647LL) << line;
        EXPECT_NE(capture.errText().find(c.report), std::string::npos) << capture.errText();
    }
}

TEST_F(IncludeTest, FanOutIsCappedAtOneMebibyteAndReportedOnce) {
    // The top includes "wide" 50 times and "wide" includes a 1 KiB "leaf" 50 times: 2.5 MB if
    // it were all expanded (and a deeper chain of such files grows without bound).
    write("leaf.glsl", std::string(1023, 'x') + "\n");
    std::string wide;
    for (int i = 0; i < 50; ++i)
        wide += "#include \"leaf.glsl\"\n";
    write("wide.glsl", wide);
    std::string text;
    for (int i = 0; i < 50; ++i)
        text += "#include \"wide.glsl\"\n";
    const std::size_t before = text.size();
    vorn::engine::DiagnosticsCapture capture;
    EXPECT_EQ(expandIncludes(text, dir, 0), 50);
    EXPECT_LE(text.size(), before + (1u << 20));
    EXPECT_GT(text.size(), 1000000u); // it stops at the limit, not long before
    EXPECT_EQ(text.find("#include"), std::string::npos);
    const std::string err = capture.errText();
    // One report line for the first include refused, one with the count of the others.
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
    EXPECT_NE(err.find("leaf.glsl\" (the expanded source would grow by more than 1048576 bytes)"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find(" more includes were dropped for the same reason"), std::string::npos)
        << err;
}

TEST_F(IncludeTest, NoDirectiveOrNoQuotedNameLeavesTheTextAlone) {
    std::string plain = "void main() {}\n";
    EXPECT_EQ(expandIncludes(plain, dir, 0), 0);
    EXPECT_EQ(plain, "void main() {}\n");
    std::string unquoted = "#include <a.glsl>\nline \"quoted\"\n";
    EXPECT_EQ(expandIncludes(unquoted, dir, 0), 1);
    EXPECT_EQ(unquoted, "#include <a.glsl>\nline \"quoted\"\n");
}

TEST(FilePaths, DirectoryIsUpToTheLastSlashOrBackslash) {
    EXPECT_EQ(vorn::rendering::directoryOf("assets/shaders/a.txt"), "assets/shaders/");
    EXPECT_EQ(vorn::rendering::directoryOf("a\\b\\c.txt"), "a\\b\\");
    EXPECT_EQ(vorn::rendering::directoryOf("plain.txt"), "");
}

namespace {

std::vector<ShaderProgram::StageEntry> readDefinition(const std::string& text, std::string& error) {
    std::istringstream in(text);
    return ShaderProgram::readDefinition(in, error);
}

} // namespace

TEST(ShaderDefinition, ReadsStagesWithKeysInAnyOrderAndIgnoresUnknownKeys) {
    std::string error;
    const auto entries = readDefinition(
        "// program\n[ { key \"shaders/a.vert\" type vertex data \"#version 330 core\\n\" }\n"
        "  { type \"tess control\" flavour sweet key \"t.tesc\" }\n  { } ]",
        error);
    EXPECT_EQ(error, "");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].type, "vertex");
    EXPECT_EQ(entries[0].key, "shaders/a.vert");
    EXPECT_EQ(entries[0].data, "#version 330 core\n");
    EXPECT_EQ(entries[1].type, "tess control");
    EXPECT_EQ(entries[1].key, "t.tesc");
    EXPECT_EQ(entries[2].type, "");
}

TEST(ShaderDefinition, UnquotedFileNameWithADotEndsInAParseErrorInsteadOfHanging) {
    std::string error;
    const auto entries = readDefinition("[ { type vertex key a.vert } ]", error);
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(error, "Parsing error (line 1, column 22): Was expecting '}', got '.' instead");
}

TEST(ShaderDefinition, ParseErrorKeepsTheCompleteEntriesBeforeIt) {
    std::string error;
    const auto entries = readDefinition("[ { type vertex key a } { type fragment ( } ]", error);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].key, "a");
    EXPECT_EQ(error.rfind("Parsing error (line 1, column ", 0), 0u) << error;
    EXPECT_TRUE(readDefinition("", error).empty());
    EXPECT_NE(error.find("Was expecting '['"), std::string::npos) << error;
}

TEST(ShaderDefinition, StageNamesMatchExactly) {
    EXPECT_EQ(ShaderProgram::stageType("vertex"), static_cast<GLenum>(GL_VERTEX_SHADER));
    EXPECT_EQ(ShaderProgram::stageType("fragment"), static_cast<GLenum>(GL_FRAGMENT_SHADER));
    EXPECT_EQ(ShaderProgram::stageType("geometry"), static_cast<GLenum>(GL_GEOMETRY_SHADER));
    EXPECT_EQ(ShaderProgram::stageType("tess control"),
              static_cast<GLenum>(GL_TESS_CONTROL_SHADER));
    EXPECT_EQ(ShaderProgram::stageType("tess evaluation"),
              static_cast<GLenum>(GL_TESS_EVALUATION_SHADER));
    EXPECT_EQ(ShaderProgram::stageType("Vertex"), 0u);
    EXPECT_EQ(ShaderProgram::stageType("tess_control"), 0u);
}

// Includes served from memory see the paths the file system would be asked for, nested ones
// included, and a name the set lacks is reported and dropped like a missing file.
TEST(IncludeFromMemoryTest, TheReaderGetsEachPathAndMissingNamesAreDropped) {
    const std::map<std::string, std::string> files = {
        {"shaders/a.glsl", "a1\n#include \"sub/b.glsl\"\n"}, {"shaders/sub/b.glsl", "b1\n"}};
    std::vector<std::string> asked;
    const vorn::rendering::IncludeReader read = [&](const std::string& path, std::string& lines) {
        asked.push_back(path);
        const auto found = files.find(path);
        if (found == files.end())
            return false;
        lines = found->second;
        return true;
    };
    std::string text = "#include \"a.glsl\"\n#include \"none.glsl\"\nend\n";
    vorn::engine::DiagnosticsCapture capture;
    EXPECT_EQ(expandIncludes(text, "shaders/", 0, read), 2);
    EXPECT_EQ(asked, (std::vector<std::string>{"shaders/a.glsl", "shaders/sub/b.glsl",
                                               "shaders/none.glsl"}));
    EXPECT_NE(text.find("a1\n"), std::string::npos);
    EXPECT_NE(text.find("b1\n"), std::string::npos);
    EXPECT_EQ(text.find("#include"), std::string::npos);
    EXPECT_EQ(capture.errText(), "Could not include \"shaders/none.glsl\"\n");
}
