#include "parsing/ParseError.hpp"

#include <cstdio>

namespace vorn::parsing {

ParseError::ParseError(const std::string& message)
    : message(std::make_shared<const std::string>(message)) {}

ParseError ParseError::at(const int line, const int column, const std::string& detail) {
    return ParseError("Parsing error (line " + std::to_string(line) + ", column " +
                      std::to_string(column) + "): " + detail);
}

ParseError ParseError::expected(const int line, const int column, const char wanted,
                                const int found) {
    return at(line, column,
              "Was expecting '" + describeCharacter(static_cast<unsigned char>(wanted)) +
                  "', got '" + describeCharacter(found) + "' instead");
}

std::string ParseError::describeCharacter(const int character) {
    if (character == EOF) {
        return "end of file";
    }
    if (character >= 0x20 && character < 0x7f) {
        return std::string(1, static_cast<char>(character));
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(character) & 0xffu);
    return escaped;
}

const char* ParseError::what() const noexcept {
    return message->c_str();
}

} // namespace vorn::parsing
