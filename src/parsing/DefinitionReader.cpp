#include "parsing/DefinitionReader.hpp"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cstdio>

#include "parsing/ParseError.hpp"

namespace vorn::parsing {

namespace {

// Character classes of the "C" locale, fixed here so that files read the same in any locale.
bool isBlank(const int ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

bool isDigit(const int ch) {
    return ch >= '0' && ch <= '9';
}

bool isWordCharacter(const int ch) {
    return isDigit(ch) || (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || ch == '_';
}

bool isIntCharacter(const int ch) {
    return isDigit(ch) || ch == '-';
}

bool isFloatCharacter(const int ch) {
    return isDigit(ch) || ch == '-' || ch == '.';
}

// Characters that never follow a number in the file formats, but do in text that is meant as
// one and is not read as written: "nan", "inf", "1e5", "+3", "0x10".
bool continuesANumber(const int ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || ch == '_' || ch == '+';
}

// atoi of the text, except that a number out of range saturates instead of overflowing (and
// `saturated` says so).
int toInt(const std::string& text, bool& saturated) {
    const char* const first = text.data();
    int value = 0;
    const auto result = std::from_chars(first, first + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        saturated = true;
        return text[0] == '-' ? INT_MIN : INT_MAX;
    }
    return result.ec == std::errc() ? value : 0;
}

// atof of the text narrowed to float, except that magnitudes beyond the float range saturate at
// +-FLT_MAX (the narrowing would otherwise be undefined; `saturated` says so) and magnitudes too
// small for a double read 0.
float toFloat(const std::string& text, bool& saturated) {
    const char* const first = text.data();
    double value = 0.0;
    const auto result =
        std::from_chars(first, first + text.size(), value, std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range) {
        // Overflow has a non-zero digit before the point; anything else is underflow.
        bool large = false;
        for (const char* p = first; p != result.ptr && *p != '.'; ++p) {
            large = large || (*p >= '1' && *p <= '9');
        }
        if (!large) {
            return 0.0f;
        }
        value = text[0] == '-' ? -DBL_MAX : DBL_MAX;
    } else if (result.ec != std::errc()) {
        return 0.0f;
    }
    if (value > FLT_MAX) {
        saturated = true;
        return FLT_MAX;
    }
    if (value < -FLT_MAX) {
        saturated = true;
        return -FLT_MAX;
    }
    return static_cast<float>(value);
}

} // namespace

DefinitionReader::DefinitionReader(std::istream& stream) : stream(stream) {}

void DefinitionReader::skipWhitespace() {
    for (;;) {
        const int ch = peek();
        if (isBlank(ch)) {
            get();
            continue;
        }
        if (ch != '/') {
            return;
        }
        const int slashLine = currentLine;
        const int slashColumn = currentColumn;
        get();
        const int after = peek();
        if (after == '/') {
            skipPast('\n');
        } else if (after == '*') {
            get();
            skipBlockComment();
        } else {
            // Not a comment: the '/' becomes the next character again, at its own position.
            slashHeld = true;
            currentLine = slashLine;
            currentColumn = slashColumn;
            return;
        }
    }
}

void DefinitionReader::skipBlockComment() {
    const int startLine = currentLine;
    for (;;) {
        const int ch = get();
        if (ch == EOF) {
            note(Lenient::commentLeftOpen, startLine);
            return;
        }
        if (ch == '*' && peek() == '/') {
            get();
            return;
        }
    }
}

bool DefinitionReader::expect(const char ch) {
    skipWhitespace();
    const int next = peek();
    if (next != static_cast<unsigned char>(ch)) {
        throw ParseError::expected(currentLine, currentColumn, ch, next);
    }
    get();
    return true;
}

bool DefinitionReader::accept(const char ch) {
    skipWhitespace();
    if (peek() != static_cast<unsigned char>(ch)) {
        return false;
    }
    get();
    return true;
}

bool DefinitionReader::nextEntry(const char close, std::string& token) {
    if (accept(close)) {
        return false;
    }
    const bool quoted = peek() == '"';
    token = readString();
    if (token.empty() && !quoted) {
        expect(close); // nothing here can start an entry: report it as the missing close
    }
    return true;
}

std::string DefinitionReader::collect(bool (*const accepts)(int)) {
    skipWhitespace();
    std::string text;
    while (accepts(peek())) {
        text += static_cast<char>(get());
    }
    return text;
}

std::string DefinitionReader::readWord() {
    return collect(isWordCharacter);
}

std::string DefinitionReader::readQuotedString() {
    expect('"');
    const int startLine = currentLine;
    std::string text;
    for (;;) {
        const int ch = get();
        if (ch == '"') {
            return text;
        }
        if (ch == EOF) {
            note(Lenient::stringLeftOpen, startLine);
            return text;
        }
        if (ch != '\\') {
            text += static_cast<char>(ch);
            continue;
        }
        const int escaped = get();
        switch (escaped) {
        case EOF:
            note(Lenient::stringLeftOpen, startLine);
            return text;
        case '\n': // line continuation
            break;
        case '\r': // line continuation across a \r\n line end
            if (peek() == '\n') {
                get();
            }
            break;
        case '0':
            text += '\0';
            break;
        case 'a':
            text += '\a';
            break;
        case 'b':
            text += '\b';
            break;
        case 'f':
            text += '\f';
            break;
        case 'n':
            text += '\n';
            break;
        case 'r':
            text += '\r';
            break;
        case 't':
            text += '\t';
            break;
        case 'v':
            text += '\v';
            break;
        default: // \" gives ", \\ gives \, and any other character stands for itself
            text += static_cast<char>(escaped);
            break;
        }
    }
}

std::string DefinitionReader::readString() {
    skipWhitespace();
    return peek() == '"' ? readQuotedString() : readWord();
}

int DefinitionReader::readInt() {
    skipWhitespace();
    const int line = currentLine;
    bool saturated = false;
    const int value = toInt(collect(isIntCharacter), saturated);
    noteNumber(line, saturated);
    return value;
}

float DefinitionReader::readFloat() {
    skipWhitespace();
    const int line = currentLine;
    bool saturated = false;
    const float value = toFloat(collect(isFloatCharacter), saturated);
    noteNumber(line, saturated);
    return value;
}

void DefinitionReader::noteNumber(const int line, const bool saturated) {
    if (lenient && (saturated || continuesANumber(peek()))) {
        note(Lenient::numberNotAsWritten, line);
    }
}

void DefinitionReader::note(const Lenient kind, const int line) const {
    if (lenient) {
        lenient(kind, line);
    }
}

glm::vec3 DefinitionReader::readVec3() {
    glm::vec3 value(0.0f);
    expect('[');
    value.x = readFloat();
    value.y = readFloat();
    value.z = readFloat();
    // Whatever stands between the third number and the closing bracket is skipped, comments
    // included (a ']' inside a comment does not close the vector).
    for (;;) {
        skipWhitespace();
        const int ch = get();
        if (ch == EOF || ch == ']') {
            return value;
        }
    }
}

int DefinitionReader::peek() {
    return slashHeld ? '/' : streamPeek();
}

int DefinitionReader::get() {
    int ch = '/';
    if (slashHeld) {
        slashHeld = false;
    } else {
        ch = streamGet();
        if (ch == EOF) {
            return EOF;
        }
    }
    advance(ch);
    return ch;
}

bool DefinitionReader::skipPast(const char ch) {
    const int wanted = static_cast<unsigned char>(ch);
    for (;;) {
        const int next = get();
        if (next == EOF) {
            return false;
        }
        if (next == wanted) {
            return true;
        }
    }
}

bool DefinitionReader::atEnd() {
    return peek() == EOF;
}

int DefinitionReader::streamPeek() {
    return fromBuffer(false);
}

int DefinitionReader::streamGet() {
    return fromBuffer(true);
}

// The stream's buffer is read directly: one character at a time through the stream's own reads
// would build a sentry for every character. The stream's state is kept as its reads would keep
// it: eofbit once the end is met, badbit when the buffer fails by throwing, and nothing is read
// from a stream that has failed.
int DefinitionReader::fromBuffer(const bool consume) {
    if (!startBytes.empty()) {
        const int ch = static_cast<unsigned char>(startBytes.front());
        if (consume) {
            startBytes.erase(0, 1);
        }
        return ch;
    }
    std::streambuf* const buffer = stream.rdbuf();
    if (buffer == nullptr || stream.fail()) {
        return EOF;
    }
    int ch = EOF;
    try {
        if (!startChecked) {
            startChecked = true;
            skipByteOrderMark(*buffer);
            if (!startBytes.empty()) {
                return fromBuffer(consume);
            }
        }
        ch = consume ? buffer->sbumpc() : buffer->sgetc();
    } catch (...) {
        // The exception goes on only where the stream's exception mask asks for it.
        const bool passOn = (stream.exceptions() & std::ios::badbit) != 0;
        setStreamState(std::ios::badbit);
        if (passOn) {
            throw;
        }
        return EOF;
    }
    if (ch == EOF) {
        setStreamState(std::ios::eofbit);
    }
    return ch;
}

// Takes the mark's bytes as long as they match. The buffer need not be able to put bytes back:
// those of a start that turns out to be no mark are kept and handed out first.
void DefinitionReader::skipByteOrderMark(std::streambuf& buffer) {
    static const char mark[] = "\xEF\xBB\xBF";
    for (int i = 0; i < 3; ++i) {
        if (buffer.sgetc() != static_cast<unsigned char>(mark[i])) {
            startBytes.assign(mark, static_cast<std::size_t>(i));
            return;
        }
        buffer.sbumpc();
    }
}

// Records a state on the stream without letting its exception mask turn it into an exception.
void DefinitionReader::setStreamState(const std::ios::iostate state) {
    try {
        stream.setstate(state);
    } catch (const std::ios_base::failure&) {
    }
}

// Saturates instead of overflowing on absurdly long inputs.
void DefinitionReader::advance(const int ch) {
    if (ch == '\n') {
        if (currentLine < INT_MAX) {
            ++currentLine;
        }
        currentColumn = 1;
    } else if (currentColumn < INT_MAX) {
        ++currentColumn;
    }
}

} // namespace vorn::parsing
