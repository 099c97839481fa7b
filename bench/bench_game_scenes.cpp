// The scenes' costs a player notices: start-up to the first menu frame, a door (building the next
// area and drawing its first frame, caches warm) and the resident memory of a running area.
// Needs a display: run under xvfb-run, from the source tree, with ALSOFT_CONF set.
// MOSSFANG_BENCH_QUALITY (auto, full, medium, low or minimal; full when unset) sets the picture
// quality of the area benchmarks as --quality does, window included (only full gets the
// multisampled window; auto starts where it would on this machine's renderer).
#include "audio/SoundManager.hpp"
#include "audio/SoundTable.hpp"
#include "engine/Application.hpp"
#include "engine/World.hpp"
#include "game/Game.hpp"
#include "game/GameOptions.hpp"
#include "game/Scenes.hpp"
#include "rendering/GlewInitError.hpp"
#include "rendering/RenderQuality.hpp"
#include "rendering/RenderState.hpp"

#include <GL/glew.h>
#include <SFML/Window/Window.hpp>
#include <benchmark/benchmark.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

// The resident set of this process in megabytes, from /proc.
double residentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            double kilobytes = 0;
            status >> kilobytes;
            return kilobytes / 1024.0;
        }
        status.ignore(1 << 16, '\n');
    }
    return 0.0;
}

// The part of the resident set that is the software OpenGL driver's code and data mapped from its
// libraries (Mesa's DRI driver and LLVM), which a GPU driver would not add in the same way.
double driverLibraryMegabytes() {
    std::ifstream maps("/proc/self/smaps");
    std::string line;
    bool inDriver = false;
    double kilobytes = 0.0;
    while (std::getline(maps, line)) {
        if (!line.empty() && std::isxdigit(static_cast<unsigned char>(line[0])) &&
            line.find('-') != std::string::npos && line.find(' ') > line.find('-')) {
            inDriver = line.find("LLVM") != std::string::npos ||
                       line.find("/dri/") != std::string::npos ||
                       line.find("gallium") != std::string::npos;
        } else if (inDriver && line.rfind("Rss:", 0) == 0) {
            kilobytes += std::stod(line.substr(4));
        }
    }
    return kilobytes / 1024.0;
}

// The whole start-up of the game: window, OpenGL, sound table, the menu, its first frame drawn
// and displayed.
void BM_StartUpToFirstMenuFrame(benchmark::State& state) {
    std::filesystem::current_path(MOSSFANG_SOURCE_DIR);
    game::GameOptions options;
    options.frames = 1;
    options.fixedDt = 1.0f / 60.0f;
    for (auto _ : state)
        benchmark::DoNotOptimize(game::Game::run(options));
}
BENCHMARK(BM_StartUpToFirstMenuFrame)->Unit(benchmark::kMillisecond)->Iterations(5);

// The quality asked for with MOSSFANG_BENCH_QUALITY ("full" when unset).
std::string qualityChoice() {
    const char* choice = std::getenv("MOSSFANG_BENCH_QUALITY");
    return choice ? choice : "full";
}

// Whether the window is multisampled: only when the quality starts at full (auto is measured on
// a software renderer).
bool multisampled() {
    return vorn::rendering::RenderQuality::startLevel(
               vorn::rendering::parseQualityLevel(qualityChoice()), true) ==
           vorn::rendering::QualityLevel::full;
}

// One window and Application for the area benchmarks.
struct Stage {
    sf::Window window{
        sf::VideoMode(game::Game::width, game::Game::height, 32), "bench", sf::Style::Titlebar,
        sf::ContextSettings(32, 0, multisampled() ? 4 : 0, 3, 3, sf::ContextSettings::Core)};
    std::unique_ptr<vorn::rendering::RenderState> renderState;
    std::unique_ptr<vorn::engine::Application> application;

    Stage() {
        game::Game::tuneAllocator(); // as the game's main() does
        std::filesystem::current_path(MOSSFANG_SOURCE_DIR);
        vorn::rendering::initializeGlew();
        renderState = std::make_unique<vorn::rendering::RenderState>(&window);
        const GLubyte* renderer = glGetString(GL_RENDERER);
        renderState->quality.setSoftwareRenderer(vorn::rendering::RenderQuality::isSoftwareRenderer(
            renderer ? reinterpret_cast<const char*>(renderer) : ""));
        renderState->quality.choose(qualityChoice());
        vorn::rendering::RenderQuality::startRunAt(vorn::rendering::RenderQuality::startLevel(
            vorn::rendering::parseQualityLevel(qualityChoice()), true));
        application =
            std::make_unique<vorn::engine::Application>(renderState.get(), 20.0f, 60.0f, "assets/");
        vorn::audio::registerSoundTable();
        application->setAudioUpdate(&vorn::audio::SoundManager::frameUpdate);
        game::Scenes::installSceneCallbacks();
        application->setWorld(game::Scenes::menu());
        application->runFrame(1.0f / 60.0f);
        menuMegabytes = residentMegabytes();
    }
    double menuMegabytes = 0.0;
};

Stage& stage() {
    static Stage shared;
    return shared;
}

// A door: the next area is built and replaces the current one, and its first frame is drawn.
void BM_DoorTransition(benchmark::State& state) {
    Stage& s = stage();
    const char* const levels[2] = {"tests/game/levels/doorTarget.txt",
                                   "tests/game/levels/everyTemplate.txt"};
    int next = 0;
    // Warm the caches with both areas once.
    for (const char* level : levels) {
        s.application->setWorld(game::Scenes::freshArea(level, ""));
        s.application->runFrame(1.0f / 60.0f);
    }
    for (auto _ : state) {
        s.application->setWorld(game::Scenes::freshArea(levels[next], ""));
        s.application->runFrame(1.0f / 60.0f);
        glFinish();
        next = 1 - next;
    }
}
BENCHMARK(BM_DoorTransition)->Unit(benchmark::kMillisecond)->Iterations(20);

// The two halves of a door between two of the game's own areas, caches warm: the CPU building the
// next area (level file read, entities built, components initialised, the old area released at
// the end of the update), and the first frame of the new area drawn and waited for.
void BM_DoorBuildThenFirstFrame(benchmark::State& state) {
    Stage& s = stage();
    const char* const levels[2] = {"trickyArea.txt", "swordArea.txt"};
    const char* const entrances[2] = {"trickyRightDoor", "swordLeftDoor"};
    for (int i = 0; i < 2; ++i) {
        s.application->setWorld(game::Scenes::freshArea(levels[i], entrances[i]));
        s.application->runFrame(1.0f / 60.0f);
    }
    using Clock = std::chrono::steady_clock;
    double buildSeconds = 0.0;
    double drawSeconds = 0.0;
    int next = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        s.application->setWorld(game::Scenes::freshArea(levels[next], entrances[next]));
        s.application->update(1.0f / 60.0f);
        const Clock::time_point built = Clock::now();
        s.application->currentWorld()->render(1.0f / 60.0f);
        glFinish();
        const Clock::time_point drawn = Clock::now();
        buildSeconds += std::chrono::duration<double>(built - start).count();
        drawSeconds += std::chrono::duration<double>(drawn - built).count();
        next = 1 - next;
    }
    const double n = static_cast<double>(state.iterations());
    state.SetLabel(qualityChoice());
    state.counters["buildMs"] = buildSeconds * 1000.0 / n;
    state.counters["firstFrameMs"] = drawSeconds * 1000.0 / n;
    state.counters["residentMB"] = residentMegabytes();
}
BENCHMARK(BM_DoorBuildThenFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

// The resident memory while an area with every template runs.
void BM_ResidentMemoryInAnArea(benchmark::State& state) {
    Stage& s = stage();
    s.application->setWorld(game::Scenes::freshArea("tests/game/levels/everyTemplate.txt", ""));
    for (auto _ : state) {
        s.application->runFrame(1.0f / 60.0f);
        glFinish();
    }
    state.counters["residentMB"] = residentMegabytes();
    // The same process on the menu, before any area: what the window, OpenGL and sound take.
    state.counters["menuMB"] = s.menuMegabytes;
    state.counters["driverLibrariesMB"] = driverLibraryMegabytes();
}
BENCHMARK(BM_ResidentMemoryInAnArea)->Unit(benchmark::kMillisecond)->Iterations(60);

} // namespace

BENCHMARK_MAIN();
