#include <climits>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "parsing/ParseError.hpp"

using vorn::parsing::ParseError;

TEST(ParseError, CarriesItsMessageThroughCopiesAndAsAStandardException) {
    const ParseError original("Parsing error: something");
    const ParseError copy = original; // NOLINT: the copy is what is being tested
    EXPECT_STREQ(copy.what(), "Parsing error: something");
    try {
        throw ParseError::at(12, 34, "Was expecting nothing");
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "Parsing error (line 12, column 34): Was expecting nothing");
    }
}

TEST(ParseError, ExpectedMessageShowsBothCharacters) {
    EXPECT_STREQ(ParseError::expected(3, 5, '{', '[').what(),
                 "Parsing error (line 3, column 5): Was expecting '{', got '[' instead");
    EXPECT_STREQ(ParseError::expected(INT_MAX, 1, ']', EOF).what(),
                 "Parsing error (line 2147483647, column 1): Was expecting ']', got 'end of file' "
                 "instead");
    EXPECT_STREQ(ParseError::expected(1, 1, '\xE9', 0).what(),
                 "Parsing error (line 1, column 1): Was expecting '\\xE9', got '\\x00' instead");
}

TEST(ParseError, DescribesEveryByteOnOnePrintableLine) {
    const std::pair<int, std::string> known[] = {
        {'A', "A"},      {' ', " "},      {'~', "~"},      {'\'', "'"},     {0, "\\x00"},
        {'\n', "\\x0A"}, {0x7f, "\\x7F"}, {0x80, "\\x80"}, {0xff, "\\xFF"}, {EOF, "end of file"},
    };
    for (const auto& [character, text] : known) {
        EXPECT_EQ(ParseError::describeCharacter(character), text) << character;
    }
    // Every byte gets its own text, made of printable ASCII only.
    std::set<std::string> seen;
    for (int byte = 0; byte < 256; ++byte) {
        const std::string text = ParseError::describeCharacter(byte);
        ASSERT_FALSE(text.empty());
        for (const char c : text) {
            EXPECT_TRUE(c >= 0x20 && c < 0x7f) << byte;
        }
        EXPECT_TRUE(seen.insert(text).second) << byte;
    }
}
