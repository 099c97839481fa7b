#pragma once

#include <exception>
#include <memory>
#include <string>

namespace vorn::parsing {

// The error of a definition file that does not read the way its loader expects. It carries one
// message, returned by what(). The text is shared between copies so that copying the exception
// while it is being thrown can never fail.
class ParseError : public std::exception {
public:
    /// Builds an error carrying exactly this message.
    explicit ParseError(const std::string& message);

    /// Builds an error whose message is "Parsing error (line L, column C): " followed by detail.
    static ParseError at(int line, int column, const std::string& detail);

    /// Builds the error of a character that is not the one expected: "Parsing error (line L,
    /// column C): Was expecting 'wanted', got 'found' instead". found is a byte (0 to 255) or EOF.
    static ParseError expected(int line, int column, char wanted, int found);

    /// How a character appears between the quotes of a message: printable ASCII as itself, EOF as
    /// "end of file", and any other byte as \xHH (two upper-case hex digits), so that a message
    /// stays one readable line and is never cut short by a zero byte.
    static std::string describeCharacter(int character);

    /// The message.
    const char* what() const noexcept override;

private:
    std::shared_ptr<const std::string> message;
};

} // namespace vorn::parsing
