#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TrickleStreamBuffer.hpp"
#include "parsing/DefinitionReader.hpp"
#include "parsing/ParseError.hpp"

using vorn::parsing::DefinitionReader;
using vorn::parsing::ParseError;

// Drives the reader over random inputs with random sequences of every operation and checks,
// after each one, that nothing crashed, that only the operations built on expect() threw (and
// then with the message of the character left unread), and that the position still names the
// next character. An operation that consumes nothing is followed by a get(), which must consume
// exactly one character; with a step limit of the input length plus a few, the input must then
// be used up. A reader stuck in a loop exhausts the stream buffer's read budget and fails.
namespace {

enum class Operation {
    skipWhitespace,
    expect,
    accept,
    readWord,
    readQuotedString,
    readString,
    readInt,
    readFloat,
    readVec3,
    peek,
    get,
    skipPast,
    atEnd,
    count
};

// Bytes from which the structured inputs are made: every character the reader treats specially.
const char tokenLiteral[] = "[]{}\"\\/*\n\r \t-.0123456789az_Z\v\f\0\xC3\xFF";
const std::string tokenBytes(tokenLiteral, sizeof tokenLiteral - 1);

std::string randomInput(std::mt19937& random, const bool structured) {
    const std::size_t length = std::uniform_int_distribution<std::size_t>(0, 512)(random);
    std::string input(length, '\0');
    for (char& byte : input) {
        byte = structured ? tokenBytes[random() % tokenBytes.size()]
                          : static_cast<char>(random() & 0xff);
    }
    return input;
}

// Offset of the character that (line, column) names, or npos when no character has it.
std::size_t offsetOf(const std::vector<std::size_t>& lineStarts, std::size_t length, int line,
                     int column) {
    if (line < 1 || column < 1 || static_cast<std::size_t>(line) > lineStarts.size()) {
        return std::string::npos;
    }
    const std::size_t start = lineStarts[line - 1];
    const std::size_t end =
        static_cast<std::size_t>(line) < lineStarts.size() ? lineStarts[line] - 1 : length;
    const std::size_t offset = start + static_cast<std::size_t>(column) - 1;
    return offset <= end ? offset : std::string::npos;
}

bool isWordByte(const char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

struct Driver {
    const std::string& input;
    std::vector<std::size_t> lineStarts;
    DefinitionReader& reader;

    // Where the reader stands, checked against the character it says is next.
    std::size_t position() {
        const std::size_t offset =
            offsetOf(lineStarts, input.size(), reader.line(), reader.column());
        EXPECT_NE(offset, std::string::npos)
            << "line " << reader.line() << " column " << reader.column();
        if (offset == std::string::npos) {
            return input.size();
        }
        const int expected =
            offset < input.size() ? static_cast<unsigned char>(input[offset]) : EOF;
        EXPECT_EQ(reader.peek(), expected) << "at offset " << offset;
        return offset;
    }

    // Runs one operation; returns a note on what happened, for the failure messages.
    std::string run(const Operation operation, const char argument) {
        const std::size_t before = position();
        const auto quote = [](const std::string& s) { return "'" + s + "'"; };
        switch (operation) {
        case Operation::skipWhitespace:
            reader.skipWhitespace();
            return "skipWhitespace";
        case Operation::expect:
            EXPECT_TRUE(reader.expect(argument));
            EXPECT_EQ(input[position() - 1], argument);
            return "expect";
        case Operation::accept:
            if (reader.accept(argument)) {
                EXPECT_EQ(input[position() - 1], argument);
            }
            return "accept";
        case Operation::readWord: {
            const std::string word = reader.readWord();
            // A word is the bytes just before the new position, all of them word characters.
            const std::size_t after = position();
            EXPECT_LE(word.size(), after - before);
            EXPECT_EQ(input.substr(after - word.size(), word.size()), word);
            for (const char c : word) {
                EXPECT_TRUE(isWordByte(c));
            }
            return "readWord " + quote(word);
        }
        case Operation::readQuotedString: {
            const std::string text = reader.readQuotedString();
            EXPECT_LE(text.size(), position() - before);
            return "readQuotedString";
        }
        case Operation::readString:
            return "readString " + quote(reader.readString());
        case Operation::readInt:
            return "readInt " + std::to_string(reader.readInt());
        case Operation::readFloat: {
            const float value = reader.readFloat();
            EXPECT_TRUE(std::isfinite(value));
            return "readFloat " + std::to_string(value);
        }
        case Operation::readVec3: {
            const glm::vec3 value = reader.readVec3();
            EXPECT_TRUE(std::isfinite(value.x) && std::isfinite(value.y) && std::isfinite(value.z));
            // The vector ends after a ']' or at the end of the input.
            const std::size_t after = position();
            EXPECT_TRUE(after == input.size() || input[after - 1] == ']');
            return "readVec3";
        }
        case Operation::peek:
            reader.peek();
            return "peek";
        case Operation::get:
            reader.get();
            return "get";
        case Operation::skipPast: {
            const bool found = reader.skipPast(argument);
            const std::size_t after = position();
            EXPECT_EQ(found, after > before && input[after - 1] == argument);
            EXPECT_EQ(input.find(argument, before), found ? after - 1 : std::string::npos);
            return "skipPast";
        }
        case Operation::atEnd:
            EXPECT_EQ(reader.atEnd(), before == input.size());
            return "atEnd";
        case Operation::count:
            break;
        }
        return "";
    }
};

std::vector<std::size_t> lineStartsOf(const std::string& input) {
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i < input.size(); ++i) {
        if (input[i] == '\n') {
            starts.push_back(i + 1);
        }
    }
    return starts;
}

} // namespace

TEST(DefinitionReaderRandomInput, EveryOperationTerminatesAndKeepsThePosition) {
    std::mt19937 random(20240611);
    const std::string arguments = "[]{}\"/*\n-.a";
    int errors = 0;
    for (int round = 0; round < 2000; ++round) {
        const std::string input = randomInput(random, round % 2 == 0);
        // A few reads per byte and per operation suffice; a stuck loop blows this budget.
        TrickleStreamBuffer buffer(input, 64 * (input.size() + 64));
        std::istream stream(&buffer);
        stream.exceptions(std::ios::badbit); // let the budget's exception through
        DefinitionReader reader(stream);
        Driver driver{input, lineStartsOf(input), reader};
        std::string trace;
        const std::size_t stepLimit = input.size() + 4;
        for (std::size_t step = 0; step < stepLimit && !::testing::Test::HasFailure(); ++step) {
            const auto operation =
                static_cast<Operation>(random() % static_cast<unsigned>(Operation::count));
            const char argument = arguments[random() % arguments.size()];
            const std::size_t before = driver.position();
            try {
                trace += driver.run(operation, argument) + "; ";
            } catch (const ParseError& error) {
                ++errors;
                trace += "ParseError; ";
                EXPECT_TRUE(operation == Operation::expect ||
                            operation == Operation::readQuotedString ||
                            operation == Operation::readVec3)
                    << error.what();
                // The message names the position of the character left unread, and that
                // character.
                const int next = reader.peek();
                const std::string message = error.what();
                EXPECT_EQ(message.rfind("Parsing error (line " + std::to_string(reader.line()) +
                                            ", column " + std::to_string(reader.column()) +
                                            "): Was expecting '",
                                        0),
                          0u)
                    << message;
                EXPECT_NE(message.find("got '" + ParseError::describeCharacter(next) + "' instead"),
                          std::string::npos)
                    << message;
                driver.position();
            } catch (const TrickleStreamBuffer::ReadBudgetExceeded&) {
                ADD_FAILURE() << "an operation did not stop; round " << round
                              << ", after: " << trace;
                break;
            }
            // Progress: if the operation consumed nothing, get() must consume exactly one byte.
            if (driver.position() == before && before < input.size()) {
                reader.get();
                EXPECT_EQ(driver.position(), before + 1);
            }
        }
        EXPECT_TRUE(reader.atEnd()) << "round " << round << " stopped at line " << reader.line()
                                    << ", column " << reader.column() << " after: " << trace;
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "first failing round " << round << ", " << input.size()
                          << " bytes, operations: " << trace;
            break;
        }
    }
    // The structured inputs must actually reach the error path, or the test proves little.
    EXPECT_GT(errors, 100);
}
