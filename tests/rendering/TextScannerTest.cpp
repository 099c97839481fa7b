// Line splitting of the OBJ and MTL readers: every line end, blank lines, a byte-order mark.
#include "rendering/TextScanner.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::istringstream in(text);
    vorn::rendering::LineReader reader(in);
    std::vector<std::string> result;
    std::string line;
    while (reader.next(line))
        result.push_back(line);
    return result;
}

} // namespace

TEST(LineReader, SplitsAtLfCrLfAndLoneCrAlikeAndSkipsOnlyALeadingByteOrderMark) {
    using Lines = std::vector<std::string>;
    const std::pair<std::string, Lines> cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\r\rb\n\nc", {"a", "", "b", "", "c"}},
        {"a\n\rb\r\n", {"a", "", "b"}},
        {"\xEF\xBB\xBFv 1\rv 2", {"v 1", "v 2"}},
        {"\xEF\xBB\xBF\r\nx", {"", "x"}},
        {"x\n\xEF\xBB\xBFy", {"x", "\xEF\xBB\xBFy"}},
    };
    for (const auto& [text, expected] : cases) {
        std::string shown;
        for (const char c : text)
            shown += c == '\r'   ? std::string("\\r")
                     : c == '\n' ? std::string("\\n")
                                 : std::string(1, c);
        EXPECT_EQ(lines(text), expected) << shown;
    }
}
