#include "rendering/TextScanner.hpp"

#include <cstdlib>

namespace vorn::rendering {

bool isWordSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\0';
}

void TextScanner::skipBlanks() {
    while (pos < text.size() && isWordSeparator(text[pos]))
        ++pos;
}

std::string TextScanner::word() {
    skipBlanks();
    const std::size_t start = pos;
    while (pos < text.size() && !isWordSeparator(text[pos]))
        ++pos;
    return text.substr(start, pos - start);
}

float TextScanner::number() {
    const std::string token = word();
    if (token.empty())
        return 0.0f;
    // strtof reads the longest number at the start of the word ("1.5abc" reads 1.5) and gives 0
    // for none; out-of-range values come back as infinities or zero, never as a crash.
    return std::strtof(token.c_str(), nullptr);
}

std::string TextScanner::rest() {
    skipBlanks();
    std::size_t end = text.size();
    while (end > pos && isWordSeparator(text[end - 1]))
        --end;
    const std::string result = text.substr(pos, end - pos);
    pos = text.size();
    return result;
}

bool TextScanner::atEnd() {
    skipBlanks();
    return pos >= text.size();
}

bool readAnyLine(std::istream& in, std::string& line) {
    line.clear();
    if (!in.good())
        return false;
    using Traits = std::char_traits<char>;
    std::streambuf* const buffer = in.rdbuf();
    bool readSomething = false;
    for (;;) {
        const Traits::int_type c = buffer->sbumpc();
        if (Traits::eq_int_type(c, Traits::eof())) {
            in.setstate(readSomething ? std::ios::eofbit : std::ios::eofbit | std::ios::failbit);
            return readSomething;
        }
        readSomething = true;
        if (c == '\n')
            return true;
        if (c == '\r') {
            if (Traits::eq_int_type(buffer->sgetc(), '\n'))
                buffer->sbumpc();
            return true;
        }
        line.push_back(Traits::to_char_type(c));
    }
}

void stripByteOrderMark(std::string& line) {
    if (line.compare(0, 3, "\xEF\xBB\xBF") == 0)
        line.erase(0, 3);
}

std::uint32_t parseIndex(const char* begin, const char* end, std::uint32_t limit,
                         std::uint32_t overflow) {
    std::uint64_t value = 0;
    bool any = false;
    for (const char* p = begin; p < end && *p >= '0' && *p <= '9'; ++p) {
        any = true;
        value = value * 10 + static_cast<std::uint64_t>(*p - '0');
        if (value > limit)
            return overflow;
    }
    return any ? static_cast<std::uint32_t>(value) : 0;
}

} // namespace vorn::rendering
