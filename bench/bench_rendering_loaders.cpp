// Reading speed of the OBJ parser (no GL) over a model of about 4 MB: triangles and quads with
// full "p/t/n" corners, in bytes per second, with LF and with CR line ends. The line split that
// accepts every line end is also measured on its own beside plain std::getline, to show what
// accepting CR costs.
#include "rendering/ObjLoader.hpp"
#include "rendering/TextScanner.hpp"

#include <benchmark/benchmark.h>

#include <random>
#include <sstream>
#include <string>

using vorn::rendering::ObjData;
using vorn::rendering::ObjLoader;

namespace {

// A grid-like model from a fixed seed: positions, normals, texture coordinates, then faces in
// two materials, every third face a quad. `end` separates the lines.
std::string objText(const std::string& end) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> coordinate(-10.0f, 10.0f);
    std::ostringstream out;
    out.precision(6);
    const int vertices = 30000;
    out << "mtllib model.mtl" << end;
    for (int i = 0; i < vertices; ++i)
        out << "v " << coordinate(random) << ' ' << coordinate(random) << ' ' << coordinate(random)
            << end;
    for (int i = 0; i < vertices; ++i)
        out << "vn 0 " << coordinate(random) << " 1" << end << "vt " << coordinate(random) * 0.05f
            << ' ' << coordinate(random) * 0.05f << end;
    for (int f = 0; out.tellp() < (4 << 20); ++f) {
        if (f % 5000 == 0)
            out << "usemtl " << (f % 10000 ? "Mat B" : "Mat A") << end;
        const int corners = f % 3 == 0 ? 4 : 3;
        out << 'f';
        for (int c = 0; c < corners; ++c) {
            const int index = static_cast<int>(random() % vertices) + 1;
            out << ' ' << index << '/' << index << '/' << index;
        }
        out << end;
    }
    return out.str();
}

void parseObj(benchmark::State& state, const std::string& end) {
    const std::string text = objText(end);
    std::size_t triangles = 0;
    for (auto _ : state) {
        std::istringstream in(text);
        const ObjData data = ObjLoader::parse(in, "models/");
        triangles = data.groups.at("Mat A").size() / 3;
        benchmark::DoNotOptimize(triangles);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
    state.counters["triangles"] = static_cast<double>(triangles);
}

void BM_ParseObjLf(benchmark::State& state) {
    parseObj(state, "\n");
}
BENCHMARK(BM_ParseObjLf)->Unit(benchmark::kMillisecond);

void BM_ParseObjCr(benchmark::State& state) {
    parseObj(state, "\r");
}
BENCHMARK(BM_ParseObjCr)->Unit(benchmark::kMillisecond);

void BM_SplitLinesAnyEnd(benchmark::State& state) {
    const std::string text = objText("\n");
    for (auto _ : state) {
        std::istringstream in(text);
        std::string line;
        std::size_t count = 0;
        vorn::rendering::LineReader lines(in);
        while (lines.next(line))
            ++count;
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_SplitLinesAnyEnd)->Unit(benchmark::kMillisecond);

void BM_SplitLinesGetline(benchmark::State& state) {
    const std::string text = objText("\n");
    for (auto _ : state) {
        std::istringstream in(text);
        std::string line;
        std::size_t count = 0;
        while (std::getline(in, line))
            ++count;
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_SplitLinesGetline)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
