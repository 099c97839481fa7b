#include <cfloat>
#include <climits>
#include <cmath>
#include <fstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "ReaderFixture.hpp"
#include "TrickleStreamBuffer.hpp"
#include "parsing/ParseError.hpp"

using vorn::parsing::DefinitionReader;
using vorn::parsing::ParseError;

namespace {

// The message of the ParseError thrown by the call, or a note that none was thrown.
template <typename Call> std::string errorOf(Call&& call) {
    try {
        call();
    } catch (const ParseError& error) {
        return error.what();
    }
    return "(no ParseError)";
}

} // namespace

TEST(DefinitionReaderPosition, StartsAtLineOneColumnOneAndCountsEveryByte) {
    ReaderOver in("ab\ncd\n\n\xC3\xA9x");
    EXPECT_EQ(in.reader.line(), 1);
    EXPECT_EQ(in.reader.column(), 1);
    in.reader.get();
    in.reader.get();
    EXPECT_EQ(std::make_pair(in.reader.line(), in.reader.column()), std::make_pair(1, 3));
    in.reader.get(); // the newline
    EXPECT_EQ(std::make_pair(in.reader.line(), in.reader.column()), std::make_pair(2, 1));
    in.reader.skipPast('\n');
    in.reader.get();
    EXPECT_EQ(std::make_pair(in.reader.line(), in.reader.column()), std::make_pair(4, 1));
    // A two-byte character is two columns; bytes above 127 come back as positive values.
    EXPECT_EQ(in.reader.get(), 0xC3);
    EXPECT_EQ(in.reader.get(), 0xA9);
    EXPECT_EQ(in.reader.column(), 3);
    EXPECT_EQ(in.reader.peek(), 'x');
    EXPECT_EQ(in.reader.get(), 'x');
    EXPECT_TRUE(in.reader.atEnd());
    EXPECT_EQ(in.reader.get(), EOF);
    EXPECT_EQ(in.reader.peek(), EOF);
    EXPECT_EQ(std::make_pair(in.reader.line(), in.reader.column()), std::make_pair(4, 4));
}

TEST(DefinitionReaderPosition, AByteOrderMarkAtTheStartIsSkippedThereOnly) {
    const std::string mark = "\xEF\xBB\xBF";
    struct Case {
        std::string text;
        std::string read; // every byte the reader hands out
    };
    const Case cases[] = {
        {mark + "[a]", "[a]"},
        {mark, ""},
        {mark + mark + "[", mark + "["}, // only the first is a mark
        {" " + mark + "[", " " + mark + "["},
        {"\xEF\xBB[", "\xEF\xBB["}, // the start of one is text
        {"\xEF", "\xEF"},
    };
    for (const Case& c : cases) {
        // Through a string stream, and through a buffer that can put nothing back.
        ReaderOver plain(c.text);
        TrickleStreamBuffer trickle(c.text);
        std::istream trickleStream(&trickle);
        DefinitionReader trickleReader(trickleStream);
        for (DefinitionReader* reader : {&plain.reader, &trickleReader}) {
            EXPECT_EQ(reader->column(), 1);
            std::string read;
            for (int ch = reader->get(); ch != EOF; ch = reader->get())
                read += static_cast<char>(ch);
            EXPECT_EQ(read, c.read) << c.text;
            EXPECT_EQ(reader->column(), static_cast<int>(c.read.size()) + 1) << c.text;
        }
    }
    // A marked file parses as an unmarked one; a second mark is an unexpected character.
    ReaderOver marked(mark + "[ x ]");
    EXPECT_TRUE(marked.reader.expect('['));
    EXPECT_EQ(marked.reader.readWord(), "x");
    EXPECT_EQ(errorOf([&mark] {
                  ReaderOver twice(mark + mark + "[");
                  twice.reader.expect('[');
              }),
              "Parsing error (line 1, column 1): Was expecting '[', got '\\xEF' instead");
}

TEST(DefinitionReaderPosition, FollowsCommentsAndWhiteSpace) {
    {
        ReaderOver in("  // a comment\n  [");
        EXPECT_TRUE(in.reader.expect('['));
        EXPECT_EQ(std::make_pair(in.reader.line(), in.reader.column()), std::make_pair(2, 4));
    }
    {
        ReaderOver in("/* first\n second */x");
        EXPECT_EQ(in.reader.readWord(), "x");
        EXPECT_EQ(std::make_pair(in.reader.line(), in.reader.column()), std::make_pair(2, 12));
    }
    {
        ReaderOver in("/* 1\n2\n3 */ \t\v\f\r\n  //\r\n  x // trailing\ny");
        EXPECT_EQ(in.reader.readWord(), "x");
        EXPECT_EQ(std::make_pair(in.reader.line(), in.reader.column()), std::make_pair(5, 4));
        EXPECT_EQ(in.reader.readWord(), "y");
        EXPECT_EQ(std::make_pair(in.reader.line(), in.reader.column()), std::make_pair(6, 2));
    }
}

TEST(DefinitionReaderComments, EndWhereTheyShould) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/**/y", "y"},
        {"/***/y", "y"},
        {"/*/ still a comment */y", "y"},
        {"/* a * / b ** c */y", "y"},
        {"/* a *//y", "/y"}, // the comment ends at the first "*/"; a lone '/' follows
        {"//\ny", "y"},
        {"// a /* b\ny */z", "y */z"},
        {"a/**/b", "a/**/b"}, // not skipped inside a word: readWord stops at '/'
    };
    for (const auto& [text, left] : cases) {
        ReaderOver in(text);
        in.reader.skipWhitespace();
        EXPECT_EQ(in.rest(), left) << text;
    }
    ReaderOver words("a/**/b");
    EXPECT_EQ(words.reader.readWord(), "a");
    EXPECT_EQ(words.reader.readWord(), "b");
}

TEST(DefinitionReaderComments, LeftOpenEndAtTheEndOfInput) {
    for (const std::string text :
         {"// no newline", "/* never closed\n\n", "/* ends in star *", "/*", "//", "  \n  "}) {
        ReaderOver in(text);
        in.reader.skipWhitespace();
        EXPECT_TRUE(in.reader.atEnd()) << text;
        EXPECT_EQ(in.reader.readWord(), "") << text;
        EXPECT_EQ(in.reader.readFloat(), 0.0f) << text;
    }
}

TEST(DefinitionReaderComments, LoneSlashIsLeftInTheInputAtItsPosition) {
    {
        ReaderOver in("/");
        EXPECT_TRUE(in.reader.expect('/'));
        EXPECT_TRUE(in.reader.atEnd());
    }
    {
        ReaderOver in("  /x");
        in.reader.skipWhitespace();
        EXPECT_EQ(in.reader.column(), 3);
        EXPECT_EQ(in.reader.peek(), '/');
        in.reader.skipWhitespace(); // skipping again must not lose or move it
        EXPECT_EQ(in.reader.column(), 3);
        EXPECT_EQ(in.reader.readWord(), ""); // '/' is no word character
        EXPECT_TRUE(in.reader.expect('/'));
        EXPECT_EQ(in.reader.column(), 4);
        EXPECT_EQ(in.reader.readWord(), "x");
    }
    {
        // A '/' held back after a newline: the position is that of the '/', not after it.
        ReaderOver in("\n / /");
        EXPECT_TRUE(in.reader.expect('/'));
        in.reader.skipWhitespace();
        EXPECT_EQ(std::make_pair(in.reader.line(), in.reader.column()), std::make_pair(2, 4));
        EXPECT_FALSE(in.reader.atEnd());
        EXPECT_EQ(in.rest(), "/");
        EXPECT_EQ(in.reader.column(), 5);
    }
}

TEST(DefinitionReaderExpect, ErrorNamesTheOffendingCharacterWhichStaysUnread) {
    ReaderOver in("\n\n    [");
    EXPECT_EQ(errorOf([&] { in.reader.expect('{'); }),
              "Parsing error (line 3, column 5): Was expecting '{', got '[' instead");
    EXPECT_EQ(std::make_pair(in.reader.line(), in.reader.column()), std::make_pair(3, 5));
    EXPECT_TRUE(in.reader.expect('['));
}

TEST(DefinitionReaderExpect, ErrorAtTheEndOfInputSaysSo) {
    ReaderOver in("x  // comment");
    in.reader.get();
    EXPECT_EQ(errorOf([&] { in.reader.expect(']'); }),
              "Parsing error (line 1, column 14): Was expecting ']', got 'end of file' instead");
}

TEST(DefinitionReaderExpect, UnprintableBytesAppearEscapedAndNeverCutTheMessage) {
    ReaderOver zero(std::string("  \0", 3));
    const std::string message = errorOf([&] { zero.reader.expect('['); });
    EXPECT_EQ(message, "Parsing error (line 1, column 3): Was expecting '[', got '\\x00' instead");
    ReaderOver accented("\xC3\xA9");
    EXPECT_EQ(errorOf([&] { accented.reader.expect('"'); }),
              "Parsing error (line 1, column 1): Was expecting '\"', got '\\xC3' instead");
    // Bytes that some locales call white space are not skipped.
    for (const char byte : {'\x85', '\xA0'}) {
        ReaderOver in(std::string(1, byte) + "[");
        EXPECT_THROW(in.reader.expect('['), ParseError);
        EXPECT_EQ(in.reader.peek(), static_cast<unsigned char>(byte));
    }
}

TEST(DefinitionReaderExpect, AcceptConsumesOnlyTheGivenCharacter) {
    ReaderOver in(" /* c */ ] }");
    EXPECT_FALSE(in.reader.accept('}'));
    EXPECT_EQ(in.reader.peek(), ']');
    EXPECT_TRUE(in.reader.accept(']'));
    EXPECT_TRUE(in.reader.accept('}'));
    EXPECT_FALSE(in.reader.accept('}'));
    EXPECT_TRUE(in.reader.atEnd());
    ReaderOver high("\xFF");
    EXPECT_TRUE(high.reader.accept('\xFF'));
}

TEST(DefinitionReaderWords, StopAtTheFirstOtherCharacter) {
    ReaderOver in("  name_1: Zeta9 -x \xC3\xA9");
    EXPECT_EQ(in.reader.readString(), "name_1");
    EXPECT_EQ(in.reader.peek(), ':');
    EXPECT_EQ(in.reader.readWord(), "");
    in.reader.get();
    EXPECT_EQ(in.reader.readWord(), "Zeta9");
    EXPECT_EQ(in.reader.readWord(), "");
    EXPECT_EQ(in.reader.peek(), '-');
    in.reader.get();
    EXPECT_EQ(in.reader.readWord(), "x");
    EXPECT_EQ(in.reader.readString(), "");
    EXPECT_EQ(in.reader.peek(), 0xC3);
}

TEST(DefinitionReaderStrings, QuotedStringsAndWordsBothServeAsStrings) {
    ReaderOver in("\"tess control\" vertex \"a\\\"b\"\"\"");
    EXPECT_EQ(in.reader.readString(), "tess control");
    EXPECT_EQ(in.reader.readString(), "vertex");
    EXPECT_EQ(in.reader.readQuotedString(), "a\"b");
    EXPECT_EQ(in.reader.readQuotedString(), "");
    EXPECT_TRUE(in.reader.atEnd());
}

TEST(DefinitionReaderStrings, EveryEscapeGivesItsCharacter) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\\0", std::string(1, '\0')},
        {"\\a", "\x07"},
        {"\\b", "\x08"},
        {"\\f", "\x0C"},
        {"\\n", "\x0A"},
        {"\\r", "\x0D"},
        {"\\t", "\x09"},
        {"\\v", "\x0B"},
        {"\\\\", "\\"},
        {"\\\"", "\""},
        {"\\q", "q"},
        {"\\/", "/"},
        {"\\1", "1"},
        {"\\\xC3", "\xC3"},
        {"a\\\nb", "ab"},       // line continuation
        {"a\\\r\nb", "ab"},     // line continuation across \r\n
        {"a\\\rb", "ab"},       // a lone \r after the backslash is a continuation too
        {"a\\\r\n\nb", "a\nb"}, // only one newline goes with the \r
        {"a\nb", "a\nb"},       // newlines inside a string are kept
        {"//not a comment", "//not a comment"},
    };
    for (const auto& [body, value] : cases) {
        ReaderOver in("\"" + body + "\"z");
        EXPECT_EQ(in.reader.readQuotedString(), value) << body;
        EXPECT_EQ(in.rest(), "z") << body;
    }
}

TEST(DefinitionReaderStrings, PositionCountsTheRawCharactersOfAString) {
    ReaderOver in("\"a\\\r\nb\nc\\n\" x");
    EXPECT_EQ(in.reader.readQuotedString(), "ab\nc\n");
    EXPECT_EQ(std::make_pair(in.reader.line(), in.reader.column()), std::make_pair(3, 5));
}

TEST(DefinitionReaderStrings, UnterminatedStringsEndWithWhatWasRead) {
    for (const auto& [text, value] : std::vector<std::pair<std::string, std::string>>{
             {"\"abc", "abc"}, {"\"abc\\", "abc"}, {"\"", ""}, {"\"a\\\r", "a"}}) {
        ReaderOver in(text);
        EXPECT_EQ(in.reader.readQuotedString(), value) << text;
        EXPECT_TRUE(in.reader.atEnd()) << text;
    }
}

TEST(DefinitionReaderStrings, QuotedStringNeedsItsOpeningQuote) {
    ReaderOver in("  word\"");
    EXPECT_EQ(errorOf([&] { in.reader.readQuotedString(); }),
              "Parsing error (line 1, column 3): Was expecting '\"', got 'w' instead");
    EXPECT_EQ(in.rest(), "word\"");
}

TEST(DefinitionReaderNumbers, ReadTheCollectedTextAsAtoiAndAtofDo) {
    const std::vector<std::tuple<std::string, int, std::string>> ints = {
        {"12.5", 12, ".5"}, {"-7]", -7, "]"},  {"--5 ", 0, " "}, {"5-3", 5, ""}, {"-", 0, ""},
        {"+5", 0, "+5"},    {"abc", 0, "abc"}, {"007x", 7, "x"}, {"", 0, ""},    {"1e5", 1, "e5"},
    };
    for (const auto& [text, value, left] : ints) {
        ReaderOver in(text);
        EXPECT_EQ(in.reader.readInt(), value) << text;
        EXPECT_EQ(in.rest(), left) << text;
    }
    const std::vector<std::tuple<std::string, float, std::string>> floats = {
        {"-2.5]", -2.5f, "]"}, {"abc", 0.0f, "abc"}, {"1.2.3 ", 1.2f, " "}, {".", 0.0f, ""},
        {"5.", 5.0f, ""},      {"-.5", -0.5f, ""},   {".25", 0.25f, ""},    {"+1", 0.0f, "+1"},
        {"1e5", 1.0f, "e5"},   {"--1", 0.0f, ""},    {"3-4", 3.0f, ""},     {"-0", 0.0f, ""},
    };
    for (const auto& [text, value, left] : floats) {
        ReaderOver in("  " + text);
        EXPECT_EQ(in.reader.readFloat(), value) << text;
        EXPECT_EQ(in.rest(), left) << text;
    }
}

TEST(DefinitionReaderNumbers, AbsurdValuesSaturate) {
    const std::string manyDigits(400, '9');
    const std::vector<std::pair<std::string, int>> ints = {
        {"2147483647", INT_MAX},  {"-2147483648", INT_MIN}, {"2147483648", INT_MAX},
        {"-2147483649", INT_MIN}, {manyDigits, INT_MAX},    {"-" + manyDigits, INT_MIN},
    };
    for (const auto& [text, value] : ints) {
        ReaderOver in(text);
        EXPECT_EQ(in.reader.readInt(), value) << text;
        EXPECT_TRUE(in.reader.atEnd());
    }
    const std::vector<std::pair<std::string, float>> floats = {
        {manyDigits, FLT_MAX},
        {"-" + manyDigits + ".5", -FLT_MAX},
        {"1" + std::string(50, '0'), FLT_MAX},
        {"-1" + std::string(50, '0'), -FLT_MAX},
        {"0." + std::string(400, '0') + "1", 0.0f},
        {"-0." + std::string(400, '0') + "1", 0.0f},
        {"340282346638528859811704183484516925440", FLT_MAX},
    };
    for (const auto& [text, value] : floats) {
        ReaderOver in(text);
        const float read = in.reader.readFloat();
        EXPECT_TRUE(std::isfinite(read)) << text;
        EXPECT_EQ(read, value) << text;
        EXPECT_TRUE(in.reader.atEnd());
    }
}

TEST(DefinitionReaderVectors, ReadThreeNumbersAndSkipToTheClosingBracket) {
    const std::vector<std::tuple<std::string, glm::vec3, std::string>> cases = {
        {"[1 2 3 4]x", {1, 2, 3}, "x"},
        {" [ -1.5\n.25 /* c */ -.5 ] x", {-1.5f, 0.25f, -0.5f}, " x"},
        {"[1 2 3 // ] in a comment\n 4 ]x", {1, 2, 3}, "x"},
        {"[1 2 3 /* ] */ \"]\" ]x", {1, 2, 3}, "\" ]x"}, // quotes mean nothing here
        {"[1,2,3]x", {1, 0, 0}, "x"},                    // commas are no separators
        {"[]x", {0, 0, 0}, "x"},
        {"[1 2", {1, 2, 0}, ""},
        {"[1 2 3 4 5", {1, 2, 3}, ""},
    };
    for (const auto& [text, value, left] : cases) {
        ReaderOver in(text);
        EXPECT_EQ(in.reader.readVec3(), value) << text;
        EXPECT_EQ(in.rest(), left) << text;
    }
    ReaderOver tenth("[1 2 3 4]");
    tenth.reader.readVec3();
    EXPECT_EQ(tenth.reader.column(), 10);
}

TEST(DefinitionReaderVectors, NeedTheirOpeningBracket) {
    ReaderOver in("\n (1 2 3)");
    EXPECT_EQ(errorOf([&] { in.reader.readVec3(); }),
              "Parsing error (line 2, column 2): Was expecting '[', got '(' instead");
    EXPECT_EQ(in.reader.peek(), '(');
}

TEST(DefinitionReaderSkipPast, StopsRightAfterTheCharacterOrAtTheEnd) {
    ReaderOver in("a /* ] */ b]c\nd");
    EXPECT_TRUE(in.reader.skipPast(']'));
    EXPECT_EQ(in.reader.column(), 7);
    EXPECT_TRUE(in.reader.skipPast(']'));
    EXPECT_EQ(in.reader.peek(), 'c');
    EXPECT_TRUE(in.reader.skipPast('\n'));
    EXPECT_EQ(std::make_pair(in.reader.line(), in.reader.column()), std::make_pair(2, 1));
    EXPECT_FALSE(in.reader.skipPast(']'));
    EXPECT_TRUE(in.reader.atEnd());
}

// The shape of a level file: keyword, '[', body, skip to ']'; a '/' where an entry starts begins
// a line comment. Reads every entry and checks what the helpers together make of it.
TEST(DefinitionReaderUse, DrivesALevelLikeFile) {
    ReaderOver in("[\n"
                  "  music [ forest ]\n"
                  "  / an entry left out [ 9 9 9 ]\n"
                  "  flatPlat3 [ [1 2 3] [0 0 90] [1 1 1] extra ]\n"
                  "  \"exit\" [ [0 0 0] [0 0 0] [1 1 1] \"simpleArea.txt\" \"door\" ]\n"
                  "  // a comment [ ]\n"
                  "]\n");
    std::vector<std::string> keywords;
    std::vector<glm::vec3> positions;
    std::vector<std::string> extras;
    in.reader.expect('[');
    while (!in.reader.atEnd()) {
        in.reader.skipWhitespace();
        if (in.reader.accept(']')) {
            break;
        }
        if (in.reader.peek() == '/') {
            in.reader.skipPast('\n');
            continue;
        }
        keywords.push_back(in.reader.readString());
        in.reader.expect('[');
        if (keywords.back() == "music") {
            extras.push_back(in.reader.readWord());
        } else {
            positions.push_back(in.reader.readVec3());
            in.reader.readVec3();
            in.reader.readVec3();
            if (keywords.back() == "exit") {
                extras.push_back(in.reader.readQuotedString());
                extras.push_back(in.reader.readQuotedString());
            }
        }
        in.reader.skipPast(']');
    }
    EXPECT_EQ(keywords, (std::vector<std::string>{"music", "flatPlat3", "exit"}));
    EXPECT_EQ(positions, (std::vector<glm::vec3>{{1, 2, 3}, {0, 0, 0}}));
    EXPECT_EQ(extras, (std::vector<std::string>{"forest", "simpleArea.txt", "door"}));
    EXPECT_EQ(std::make_pair(in.reader.line(), in.reader.column()), std::make_pair(7, 2));
}

TEST(DefinitionReaderStreams, AStreamThatCannotBeReadIsAnEmptyInput) {
    std::ifstream missing(MOSSFANG_SOURCE_DIR "/tests/parsing/no such file.txt");
    ASSERT_FALSE(missing.is_open());
    DefinitionReader reader(missing);
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.readString(), "");
    EXPECT_EQ(reader.readInt(), 0);
    EXPECT_EQ(reader.get(), EOF);
    EXPECT_FALSE(reader.skipPast(']'));
    EXPECT_EQ(errorOf([&] { reader.readVec3(); }),
              "Parsing error (line 1, column 1): Was expecting '[', got 'end of file' instead");
}

TEST(DefinitionReaderStreams, AnExceptionMaskOnTheStreamChangesNothing) {
    std::istringstream stream("word [1 2 3] \"open");
    stream.exceptions(std::ios::eofbit | std::ios::failbit | std::ios::badbit);
    DefinitionReader reader(stream);
    EXPECT_EQ(reader.readWord(), "word");
    EXPECT_EQ(reader.readVec3(), glm::vec3(1, 2, 3));
    EXPECT_EQ(reader.readString(), "open");
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.get(), EOF);
    EXPECT_THROW(reader.expect(']'), ParseError);
}

// The same tokens come out of a stream that can put nothing back and of a string stream.
TEST(DefinitionReaderStreams, ABufferWithoutPutBackReadsTheSame) {
    const std::string text = "[ a/b // c\n / /* d */ \"e f\" [1 2 3 /] 4] -5 /";
    const auto tokens = [](DefinitionReader& reader) {
        std::vector<std::string> out;
        while (!reader.atEnd()) {
            reader.skipWhitespace();
            const int ch = reader.peek();
            if (ch == '[' && out.size() > 3) {
                const glm::vec3 v = reader.readVec3();
                out.push_back(std::to_string(v.x + 10 * v.y + 100 * v.z));
            } else if (ch == '"' || (ch >= 'a' && ch <= 'z')) {
                out.push_back(reader.readString());
            } else if (ch == '-') {
                out.push_back(std::to_string(reader.readInt()));
            } else if (ch != EOF) {
                out.push_back(std::string(1, static_cast<char>(reader.get())));
            } else {
                break;
            }
            out.back() +=
                "@" + std::to_string(reader.line()) + ":" + std::to_string(reader.column());
        }
        return out;
    };
    ReaderOver plain(text);
    TrickleStreamBuffer trickle(text);
    std::istream trickleStream(&trickle);
    DefinitionReader trickleReader(trickleStream);
    const std::vector<std::string> expected = {
        "[@1:2",           "a@1:4",  "/@1:5",  "b@1:6",   "/@2:3",  "e f@2:17",
        "321.000000@2:27", "4@2:29", "]@2:30", "-5@2:33", "/@2:35",
    };
    EXPECT_EQ(tokens(plain.reader), expected);
    EXPECT_EQ(tokens(trickleReader), expected);
}

TEST(DefinitionReaderStreams, TheStreamStateFollowsTheReading) {
    ReaderOver in("ab");
    EXPECT_EQ(in.reader.readWord(), "ab");
    EXPECT_TRUE(in.stream.eof()); // the word ended at the end of the input
    EXPECT_FALSE(in.stream.fail());
    // A stream that has failed gives nothing more, even with characters left in its buffer.
    ReaderOver failed("word");
    failed.stream.setstate(std::ios::failbit);
    EXPECT_EQ(failed.reader.readWord(), "");
    EXPECT_TRUE(failed.reader.atEnd());
}

TEST(DefinitionReaderStreams, AFailingBufferEndsTheInput) {
    // The buffer allows six reads: the first byte is looked at for a byte-order mark, "ab" is
    // peeked and read, then the third peek throws.
    TrickleStreamBuffer quiet("abcdef", 6);
    std::istream quietStream(&quiet);
    DefinitionReader reader(quietStream);
    EXPECT_EQ(reader.readWord(), "ab");
    EXPECT_TRUE(quietStream.bad());
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.get(), EOF);
    // With badbit in the exception mask the buffer's own exception is passed on.
    TrickleStreamBuffer loud("abcdef", 6);
    std::istream loudStream(&loud);
    loudStream.exceptions(std::ios::badbit);
    DefinitionReader loudReader(loudStream);
    EXPECT_THROW(loudReader.readWord(), TrickleStreamBuffer::ReadBudgetExceeded);
    EXPECT_TRUE(loudStream.bad());
}

TEST(DefinitionReaderEntries, NextEntryWalksARecordUpToItsClose) {
    ReaderOver in("{ type vertex \"key\" \"a b.glsl\" // note\n } tail");
    in.reader.expect('{');
    std::vector<std::string> tokens;
    std::string token;
    while (in.reader.nextEntry('}', token))
        tokens.push_back(token + "=" + in.reader.readString());
    EXPECT_EQ(tokens, (std::vector<std::string>{"type=vertex", "key=a b.glsl"}));
    EXPECT_EQ(in.reader.readWord(), "tail");
}

TEST(DefinitionReaderEntries, AnEmptyQuotedTokenIsAnEntry) {
    ReaderOver in("\"\" x ]");
    std::string token = "unchanged";
    ASSERT_TRUE(in.reader.nextEntry(']', token));
    EXPECT_EQ(token, "");
    ASSERT_TRUE(in.reader.nextEntry(']', token));
    EXPECT_EQ(token, "x");
    EXPECT_FALSE(in.reader.nextEntry(']', token));
}

TEST(DefinitionReaderEntries, ACharacterThatStartsNoTokenOrTheEndIsTheMissingClose) {
    {
        ReaderOver in("a x ; b");
        std::string token;
        ASSERT_TRUE(in.reader.nextEntry('}', token));
        EXPECT_EQ(in.reader.readString(), "x");
        try {
            in.reader.nextEntry('}', token);
            FAIL() << "a stray ';' was taken for an entry";
        } catch (const vorn::parsing::ParseError& e) {
            EXPECT_STREQ(e.what(),
                         "Parsing error (line 1, column 5): Was expecting '}', got ';' instead");
        }
    }
    {
        ReaderOver in("  ");
        std::string token;
        EXPECT_THROW(in.reader.nextEntry(']', token), vorn::parsing::ParseError);
    }
}
