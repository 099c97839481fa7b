#include "rendering/ShaderIncludes.hpp"

#include "rendering/FilePaths.hpp"

#include <iostream>

namespace vorn::rendering {

namespace {

// Includes nest at most this deep. Deeper numbering would overflow the line numbers (every level
// multiplies them by 10000), and a file that includes itself would otherwise never end.
constexpr int maxIncludeDepth = 3;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// Whether text[begin, end) is a "#line N" directive; N goes to `number`.
bool parseLineDirective(const std::string& text, std::size_t begin, std::size_t end,
                        long long& number) {
    std::size_t i = begin;
    while (i < end && isBlank(text[i]))
        ++i;
    if (i >= end || text[i] != '#')
        return false;
    ++i;
    while (i < end && isBlank(text[i]))
        ++i;
    if (text.compare(i, 4, "line") != 0 || i + 4 >= end || !isBlank(text[i + 4]))
        return false;
    i += 4;
    while (i < end && isBlank(text[i]))
        ++i;
    if (i >= end || text[i] < '0' || text[i] > '9')
        return false;
    long long value = 0;
    while (i < end && text[i] >= '0' && text[i] <= '9' && value < 1000000000000000000LL / 10)
        value = value * 10 + (text[i++] - '0');
    number = value;
    return true;
}

// Moves `line` (the number the compiler gives the line that contains `from`) on to the line that
// contains `to`. A "#line N" directive makes the next line N; every other line counts one. This is
// what keeps the numbers right behind the "#line 1" that starts every stage and behind the
// directives of earlier includes.
void advanceLines(const std::string& text, std::size_t from, std::size_t to, long long& line) {
    std::size_t lineStart = from;
    bool wholeLine = from == 0 || text[from - 1] == '\n';
    for (std::size_t nl = text.find('\n', from); nl != std::string::npos && nl < to;
         nl = text.find('\n', nl + 1)) {
        long long directive = 0;
        if (wholeLine && parseLineDirective(text, lineStart, nl, directive))
            line = directive;
        else
            ++line;
        lineStart = nl + 1;
        wholeLine = true;
    }
}

int expand(std::string& text, const std::string& directory, long long base, int depth) {
    static const std::string directive = "#include";
    std::size_t pos = text.find(directive);
    if (pos == std::string::npos)
        return 0;
    long long fileNumber = base;
    long long nestedBase = base * 10000;
    long long line = 1;
    int count = 0;
    std::size_t scan = 0;
    while (pos != std::string::npos) {
        nestedBase += 10000;
        ++count;
        ++fileNumber;
        advanceLines(text, scan, pos, line);

        // The file name is the quoted text on the directive's own line.
        std::size_t lineEnd = text.find('\n', pos);
        if (lineEnd == std::string::npos)
            lineEnd = text.size();
        const std::size_t open = text.find('"', pos + directive.size());
        if (open == std::string::npos || open >= lineEnd)
            return count;
        const std::size_t close = text.find('"', open + 1);
        if (close == std::string::npos || close >= lineEnd)
            return count;
        const std::string path = directory + text.substr(open + 1, close - open - 1);

        std::string lines;
        const bool tooDeep = depth >= maxIncludeDepth;
        if (tooDeep || !readTextLines(path, lines)) {
            std::cerr << "Could not include \"" << path << "\""
                      << (tooDeep ? " (includes nested too deeply)" : "") << "\n";
            text.erase(pos, lineEnd - pos);
            scan = pos;
        } else {
            std::string inserted = "#line " + std::to_string(fileNumber * 10000 + 1) + "\n" +
                                   lines + "#line " + std::to_string(line) + "\n";
            expand(inserted, directoryOf(path), nestedBase, depth + 1);
            // The directive's '\n' stays after the inserted text, so the line after the
            // directive keeps its own number.
            text.replace(pos, lineEnd - pos, inserted);
            scan = pos + inserted.size();
        }
        pos = text.find(directive, scan);
    }
    return count;
}

} // namespace

int expandIncludes(std::string& text, const std::string& directory, long long base) {
    return expand(text, directory, base, 0);
}

} // namespace vorn::rendering
