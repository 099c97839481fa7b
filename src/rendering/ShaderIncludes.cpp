#include "rendering/ShaderIncludes.hpp"

#include "engine/Diagnostics.hpp"
#include "rendering/FilePaths.hpp"

#include <algorithm>

namespace vorn::rendering {

namespace {

// Includes nest at most this deep: a file included by an included file is the deepest. Every
// level multiplies the line numbers by 10000, so a third level would number its lines from about
// 10^12, past GLSL's 32-bit line numbers; and a file that includes itself would never end.
constexpr int maxIncludeDepth = 2;

// The largest line number GLSL keeps (a signed 32-bit int).
constexpr long long maxGlslLine = 2147483647LL;

// The expanded text may grow by at most this much. Includes fan out (each file including the next
// many times), and a few small files could otherwise expand to megabytes that the driver then
// takes minutes to compile.
constexpr std::size_t maxExpandedGrowth = 1u << 20;

// What one expandIncludes call shares across its nested expansions.
struct Expansion {
    std::size_t budget = maxExpandedGrowth; // bytes the text may still grow by
    int refusedForSize = 0;                 // includes dropped because the budget ran out
};

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

// Whether the lines of a file of `lineCount` lines, numbered from `first`, fit GLSL's line numbers.
bool numbersFit(long long first, const std::string& lines) {
    const auto lineCount = static_cast<long long>(std::count(lines.begin(), lines.end(), '\n'));
    return first + lineCount <= maxGlslLine;
}

int expand(std::string& text, const std::string& directory, long long base, int depth,
           Expansion& expansion, const IncludeReader& read) {
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
        const bool opened = !tooDeep && read(path, lines);
        const bool fits = opened && numbersFit(fileNumber * 10000 + 1, lines);
        std::string inserted;
        if (fits)
            inserted = "#line " + std::to_string(fileNumber * 10000 + 1) + "\n" + lines + "#line " +
                       std::to_string(line) + "\n";
        const bool tooLarge = fits && inserted.size() > expansion.budget;
        if (!fits || tooLarge) {
            // A runaway fan-out is reported once, not for each of its many includes.
            if (!tooLarge || expansion.refusedForSize++ == 0) {
                std::string reason;
                if (tooDeep)
                    reason = " (includes nested too deeply)";
                else if (tooLarge)
                    reason = " (the expanded source would grow by more than " +
                             std::to_string(maxExpandedGrowth) + " bytes)";
                else if (opened)
                    reason = " (its line numbers would pass " + std::to_string(maxGlslLine) + ")";
                vorn::engine::Diagnostics::err()
                    << "Could not include \"" << path << "\"" << reason << "\n";
            }
            text.erase(pos, lineEnd - pos);
            scan = pos;
        } else {
            expansion.budget -= inserted.size();
            expand(inserted, directoryOf(path), nestedBase, depth + 1, expansion, read);
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
    return expandIncludes(text, directory, base, readTextLines);
}

int expandIncludes(std::string& text, const std::string& directory, long long base,
                   const IncludeReader& read) {
    Expansion expansion;
    const int count = expand(text, directory, base, 0, expansion, read);
    if (expansion.refusedForSize > 1)
        vorn::engine::Diagnostics::err()
            << expansion.refusedForSize - 1 << " more includes were dropped for the same reason\n";
    return count;
}

} // namespace vorn::rendering
