#pragma once

#include <cstdio> // EOF, returned by peek() and get() at the end
#include <functional>
#include <istream>
#include <string>

#include <glm/vec3.hpp>

namespace vorn::parsing {

// DefinitionReader: the lexical layer under every plain-text definition file of the game (levels,
// shader programs, uniform blocks, materials, animation sets). There is no tokenizer: a loader
// drives the reader directly, peeking at the next character to decide what comes next.
//
// Position. line() and column() always name the next character to be read, counting from 1.
// Every character consumed through the reader moves them: a newline goes to the next line,
// column 1; any other byte moves one column on (both stop at INT_MAX). A loader that reads the
// stream behind the reader's back therefore makes the position wrong; read everything through the
// reader while it is in use. The reader may also hold back one character (a '/' that turned out not
// to open a comment) which the stream has already handed over.
//
// Lexical rules.
// - A UTF-8 byte-order mark (EF BB BF), which some editors write at the start of a text file, is
//   skipped there before anything else is read; the position then starts at line 1, column 1 on
//   the byte after it. Anywhere else those bytes are ordinary characters.
// - White space is the "C" locale's: blank, \t, \n, \v, \f and \r. Words are made of the ASCII
//   letters and digits and '_'. Neither depends on the process locale, and bytes of 128 and up
//   are never white space nor part of a word.
// - Comments run from "//" to the end of the line, or from "/*" to the next "*/" (so "/*/" does
//   not close itself). A comment or string left open ends at the end of the input. Wherever an
//   operation below skips white space, it skips comments too.
// - In a quoted string, \0 \a \b \f \n \r \t \v give their control characters, a backslash
//   before a line end (\n, \r or \r\n) joins the lines, and before any other character gives
//   that character (\" and \\ among them). Other characters, line ends included, stand as
//   they are.
// - Numbers are the collected text (digits and '-', and '.' for reals) converted as atoi/atof
//   convert it in the "C" locale: the longest leading number counts ("12.5" reads 12 as an int,
//   "1.2.3" reads 1.2, "--5" reads 0), and a token that is not a number reads 0. No exponents and
//   no leading '+', since neither character is collected. Values beyond the range of the result
//   saturate at its largest or smallest value instead of overflowing, so readFloat() always
//   returns a finite number.
//
// Lenient readings. Where the rules above take something without an error that was probably not
// meant (a number not read as written: out of range, or followed by a letter as in "nan", "-inf"
// or "1e5"; a quoted string or a block comment that runs to the end of the input) the reader goes
// on as the rules say and tells the handler set with onLenientReading(), if any, with the line
// where the thing starts. Checking tools report these; the game reads on.
//
// Errors. Only expect() (and the operations made of it: readQuotedString(), readVec3()) throw,
// and only ParseError; the offending character stays unread. When the input has ended the
// message says "got 'end of file' instead"; a byte that is not printable ASCII appears as \xHH.
//
// Streams. The reader reads the stream's buffer itself and keeps the stream's state as the
// stream's own reads would: it sets eofbit when it meets the end and badbit when the buffer fails
// by throwing, and it reads nothing from a stream that has failed (a file that did not open reads
// as an empty input). A failing buffer simply ends the input: its exception goes on only where
// the stream's exception mask has badbit, and the mask never turns the end into an exception.
//
// Every operation finishes after a number of steps bounded by what it consumes, so a loader never
// loops forever as long as it stops once nothing is consumed (atEnd(), or a ParseError).
class DefinitionReader {
public:
    /// What a lenient reading took.
    enum class Lenient { numberNotAsWritten, stringLeftOpen, commentLeftOpen };
    /// Receives a lenient reading and the line it starts on.
    using LenientHandler = std::function<void(Lenient, int line)>;

    /// Reads from the stream, starting at line 1, column 1. The stream must outlive the reader.
    explicit DefinitionReader(std::istream& stream);

    DefinitionReader(const DefinitionReader&) = delete;
    DefinitionReader& operator=(const DefinitionReader&) = delete;

    /// Skips white space and comments; stops before the first other character or at the end.
    void skipWhitespace();

    /// Skips white space, then consumes ch and returns true; throws ParseError if ch is not next.
    bool expect(char ch);

    /// Skips white space, then consumes ch and returns true if it is next; false otherwise.
    bool accept(char ch);

    /// Starts the next entry of a list or record that ends with `close`: skips white space; if
    /// `close` is next, consumes it and returns false; otherwise reads the entry's first token (a
    /// word or quoted string, with readString()) into `token` and returns true. A character that
    /// can start no token, or the end of the input, throws the ParseError of expect(close), so a
    /// loop over entries always ends.
    bool nextEntry(char close, std::string& token);

    /// Skips white space, then reads letters, digits and '_'; may return an empty string.
    std::string readWord();

    /// Reads a double-quoted string with its escapes; throws ParseError if no '"' is next.
    std::string readQuotedString();

    /// Skips white space, then reads a quoted string if '"' is next, a word otherwise.
    std::string readString();

    /// Skips white space, then reads digits and '-' as an int (0 when there are none).
    int readInt();

    /// Skips white space, then reads digits, '.' and '-' as a float (0 when there are none).
    float readFloat();

    /// Reads "[x y z]": three floats, then skips everything up to and including the next ']'.
    glm::vec3 readVec3();

    /// The next character as a byte value (0 to 255), or EOF at the end; consumes nothing.
    int peek();

    /// Consumes and returns the next character (0 to 255), or returns EOF at the end.
    int get();

    /// Consumes raw characters (comments and quotes mean nothing here) up to and including the
    /// next ch; returns false if the input ended first.
    bool skipPast(char ch);

    /// True when no character is left (white space is not skipped first).
    bool atEnd();

    /// Sets the receiver of lenient readings (none by default; an empty handler removes it).
    void onLenientReading(LenientHandler handler) { lenient = std::move(handler); }

    /// The line of the next character, from 1.
    int line() const { return currentLine; }

    /// The column of the next character, from 1.
    int column() const { return currentColumn; }

private:
    int streamPeek();
    int streamGet();
    int fromBuffer(bool consume);
    void skipByteOrderMark(std::streambuf& buffer);
    void setStreamState(std::ios::iostate state);
    void advance(int ch);
    void skipBlockComment();
    std::string collect(bool (*accepts)(int));
    void noteNumber(int line, bool saturated);
    void note(Lenient kind, int line) const;

    std::istream& stream;
    int currentLine = 1;
    int currentColumn = 1;
    bool slashHeld = false;    // a '/' taken from the stream that is still the next character
    bool startChecked = false; // whether the byte-order mark has been looked for
    std::string startBytes;    // bytes taken while looking for it that were no mark after all
    LenientHandler lenient;
};

} // namespace vorn::parsing
