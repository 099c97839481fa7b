#pragma once

#include <cstdint>
#include <istream>
#include <string>

namespace vorn::rendering {

// A cursor over one line of a line-based text format (OBJ, MTL): words separated by blanks,
// numbers read in the "C" format. Reading past the end yields empty words and zeros, so no input
// can make it read outside the line.
class TextScanner {
public:
    // Scans `line`, which must outlive the scanner.
    explicit TextScanner(const std::string& line) : text(line) {}

    // The next blank-separated word, or an empty string at the end.
    std::string word();
    // The next word read as a float (0 when it is missing or not a number).
    float number();
    // The rest of the line with the blanks around it removed.
    std::string rest();
    // Whether only blanks are left.
    bool atEnd();

private:
    void skipBlanks();
    const std::string& text;
    std::size_t pos = 0;
};

// Reads one line that ends in LF, CRLF or a lone CR (the end is not stored), so files from any
// system split into the same lines. False at the end of the input when nothing was left to read.
bool readAnyLine(std::istream& in, std::string& line);

// Removes a UTF-8 byte-order mark from the start of `line` (the first line of a file), so that
// the first keyword is read as written.
void stripByteOrderMark(std::string& line);

// Whether `c` separates words: blank, tab, carriage return, vertical tab, form feed or NUL.
bool isWordSeparator(char c);

// The unsigned decimal number at the start of [begin, end) (0 when it does not start with a
// digit); values above `limit` give `overflow`.
std::uint32_t parseIndex(const char* begin, const char* end, std::uint32_t limit,
                         std::uint32_t overflow);

} // namespace vorn::rendering
