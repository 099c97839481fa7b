// Reading speed of the definition-file reader over a large level-like text, in bytes per second.
#include <random>
#include <sstream>
#include <string>

#include <benchmark/benchmark.h>

#include "parsing/DefinitionReader.hpp"

using vorn::parsing::DefinitionReader;

namespace {

// About a megabyte of entries in the level format, with comments, quoted strings and the
// occasional fourth vector component, from a fixed seed.
const std::string& levelText() {
    static const std::string text = [] {
        std::mt19937 random(7);
        std::uniform_real_distribution<float> coordinate(-500.0f, 500.0f);
        const char* const keywords[] = {"flatPlat3", "spiderWeb", "workerAnt", "shiny", "rock"};
        std::ostringstream out;
        out.precision(6);
        out << "[\n  music [ forest ]\n";
        while (out.tellp() < (1 << 20)) {
            const auto vec = [&] {
                out << "[" << coordinate(random) << " " << coordinate(random) << " "
                    << coordinate(random) << "] ";
            };
            out << "  // entry " << out.tellp() << "\n  " << keywords[random() % 5] << " [ ";
            vec();
            out << "/* rotation */ [0 0 " << random() % 360 << "] ";
            vec();
            out << "]\n  \"exit\" [ [1 2 3] [0 0 0] [1 1 1 1] \"simpleArea.txt\" \"door\" ]\n";
        }
        out << "]\n";
        return out.str();
    }();
    return text;
}

void readLevel(DefinitionReader& reader, benchmark::State& state) {
    reader.expect('[');
    while (!reader.atEnd()) {
        reader.skipWhitespace();
        if (reader.accept(']')) {
            break;
        }
        if (reader.peek() == '/') {
            reader.skipPast('\n');
            continue;
        }
        const std::string keyword = reader.readString();
        reader.expect('[');
        if (keyword == "music") {
            benchmark::DoNotOptimize(reader.readWord());
        } else {
            benchmark::DoNotOptimize(reader.readVec3());
            benchmark::DoNotOptimize(reader.readVec3());
            benchmark::DoNotOptimize(reader.readVec3());
            if (keyword == "exit") {
                benchmark::DoNotOptimize(reader.readQuotedString());
                benchmark::DoNotOptimize(reader.readQuotedString());
            }
        }
        reader.skipPast(']');
    }
    if (reader.line() < 1000) {
        state.SkipWithError("the level text was not read to its end");
    }
}

void BM_ReadLevelLikeFile(benchmark::State& state) {
    const std::string& text = levelText();
    for (auto _ : state) {
        std::istringstream stream(text);
        DefinitionReader reader(stream);
        readLevel(reader, state);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadLevelLikeFile)->Unit(benchmark::kMillisecond);

void BM_SkipCommentsAndWhiteSpace(benchmark::State& state) {
    std::string text;
    while (text.size() < (1 << 20)) {
        text += "  // a line comment with some words in it\n\t/* a block\n comment ** */ \r\n";
    }
    for (auto _ : state) {
        std::istringstream stream(text);
        DefinitionReader reader(stream);
        reader.skipWhitespace();
        if (!reader.atEnd()) {
            state.SkipWithError("comments were not skipped to the end");
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_SkipCommentsAndWhiteSpace)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
