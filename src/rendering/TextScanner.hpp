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

// Reads the lines of a text stream whatever ends them (LF, CRLF or a lone CR), so files from any
// system split into the same lines, and skips a UTF-8 byte-order mark at the start so that the
// first keyword reads as written. The stream is read with std::getline and only lines that hold
// a CR are split further, so the common case costs no more than getline itself.
class LineReader {
public:
    // Reads from `in`, which must outlive the reader.
    explicit LineReader(std::istream& in) : in(in) {}

    // The next line, without its end, into `line`; false at the end of the input.
    bool next(std::string& line);

private:
    std::istream& in;
    std::string piece;      // what getline read last (up to a LF or the end)
    std::size_t offset = 0; // where the next line starts in `piece`
    bool pieceLeft = false; // whether `piece` still holds lines from `offset` on
    bool atStart = true;    // whether a byte-order mark may still come
};

// What keeps a file from being read as text, from a look at its first few kilobytes, as the end
// of a sentence about the file: "is UTF-16 text; save it as UTF-8" (a UTF-16 byte-order mark),
// "is binary data, not text" (NUL bytes, which UTF-16 without a mark has too), or "" for text.
// The stream is put back at its start.
std::string notTextReason(std::istream& in);

// Whether `c` separates words: blank, tab, carriage return, vertical tab, form feed or NUL.
bool isWordSeparator(char c);

// The unsigned decimal number at the start of [begin, end) (0 when it does not start with a
// digit); values above `limit` give `overflow`.
std::uint32_t parseIndex(const char* begin, const char* end, std::uint32_t limit,
                         std::uint32_t overflow);

} // namespace vorn::rendering
