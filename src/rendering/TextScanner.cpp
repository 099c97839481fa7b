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

bool LineReader::next(std::string& line) {
    if (!pieceLeft) {
        if (!std::getline(in, piece))
            return false;
        if (atStart && piece.compare(0, 3, "\xEF\xBB\xBF") == 0)
            piece.erase(0, 3);
        atStart = false;
        offset = 0;
        pieceLeft = true;
    }
    const std::size_t cr = piece.find('\r', offset);
    if (cr == std::string::npos) {
        line.assign(piece, offset, std::string::npos);
        pieceLeft = false;
        return true;
    }
    // A CR ends a line; one right before the LF (the end of the piece) is half of a CRLF.
    line.assign(piece, offset, cr - offset);
    offset = cr + 1;
    pieceLeft = offset < piece.size();
    return true;
}

std::string notTextReason(std::istream& in) {
    char sample[4096];
    in.read(sample, sizeof sample);
    const std::string head(sample, static_cast<std::size_t>(in.gcount()));
    in.clear();
    in.seekg(0);
    if (head.compare(0, 2, "\xFF\xFE") == 0 || head.compare(0, 2, "\xFE\xFF") == 0)
        return "is UTF-16 text; save it as UTF-8";
    return head.find('\0') == std::string::npos ? std::string() : "is binary data, not text";
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
