// The busiest spot of the journey: the bramble hollow from its left door, where the boulder rolls
// down through the crate onto the spikes while both ants patrol and the ninja's dust and ambient
// motes drift. Times the update pass alone, whole frames at 800 x 600 (update, the
// post-processing render, display), and the resident memory while it runs.
// Needs a display: run under xvfb-run, from the source tree, with ALSOFT_CONF set.
//
// MOSSFANG_BENCH_QUALITY (auto, full, medium, low or minimal; full when unset) sets the picture
// quality as --quality does, window included: only full gets the multisampled window, and auto
// starts where it would on this machine's renderer (not governed: frames here are not paced).
// BM_BusiestSpotAtScale draws each lighter level at several render scales; it needs a window
// without multisampling, so it runs only when the quality set is not full.
// BM_AreaAlongItsSegment plays each area of the journey along its recorded segment
// (tests/game/playthrough/segments/): the area's build, every frame's update pass, and every
// tenth frame drawn, so the busiest spot of each area shows in its worst figures.
#include "audio/SoundManager.hpp"
#include "audio/SoundTable.hpp"
#include "engine/Application.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/InputScript.hpp"
#include "engine/InputSource.hpp"
#include "engine/Label.hpp"
#include "engine/World.hpp"
#include "game/Game.hpp"
#include "game/Scenes.hpp"
#include "rendering/GlewInitError.hpp"
#include "rendering/RenderQuality.hpp"
#include "rendering/RenderState.hpp"

#include <GL/glew.h>
#include <SFML/Window/Window.hpp>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

const char* const busiestArea = "trickyArea.txt";
const char* const busiestEntrance = "trickyLeftDoor";
constexpr float step = 1.0f / 60.0f;

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

// Seconds of processor time the whole process has used, its OpenGL driver's threads included.
double processSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The quality asked for with MOSSFANG_BENCH_QUALITY ("full" when unset).
std::string qualityChoice() {
    const char* choice = std::getenv("MOSSFANG_BENCH_QUALITY");
    return choice ? choice : "full";
}

// Whether the window is multisampled: only when the quality starts at full.
bool multisampled() {
    const std::optional<vorn::rendering::QualityLevel> level =
        vorn::rendering::parseQualityLevel(qualityChoice());
    // Auto on this machine: the game reads the renderer's name; here a software renderer is
    // assumed whenever auto is asked for, as benchmarks of auto are run on one.
    return vorn::rendering::RenderQuality::startLevel(level, true) ==
           vorn::rendering::QualityLevel::full;
}

// One window and Application, as the game opens them.
struct Stage {
    sf::Window window{
        sf::VideoMode(game::Game::width, game::Game::height, 32), "bench", sf::Style::Titlebar,
        sf::ContextSettings(32, 0, multisampled() ? 4 : 0, 3, 3, sf::ContextSettings::Core)};
    std::unique_ptr<vorn::rendering::RenderState> renderState;
    std::unique_ptr<vorn::engine::Application> application;

    Stage() {
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
    }

    // Enters the busiest area afresh and lets the first frame switch to it.
    void enter() {
        application->setWorld(game::Scenes::freshArea(busiestArea, busiestEntrance));
        application->runFrame(step);
    }
};

Stage& stage() {
    static Stage shared;
    return shared;
}

// The update pass of one frame (every behaviour, physics, ants, particles' spawning), nothing
// drawn. The area is entered afresh every 120 frames so the boulder keeps rolling.
void BM_BusiestSpotUpdate(benchmark::State& state) {
    Stage& s = stage();
    s.enter();
    int frame = 0;
    for (auto _ : state) {
        if (++frame % 120 == 0) {
            state.PauseTiming();
            s.enter();
            state.ResumeTiming();
        }
        s.application->currentWorld()->update(step);
    }
}
BENCHMARK(BM_BusiestSpotUpdate)->Unit(benchmark::kMicrosecond)->Iterations(600);

// Whole frames at 800 x 600: update, the post-processing render and display, waited for with
// glFinish, after 30 frames unmeasured (the software renderer compiles its shaders on first use).
// Reports frames per second, the processor time of the whole process a frame (the software
// renderer's threads included) and the resident memory at the end.
void runFrames(benchmark::State& state) {
    Stage& s = stage();
    s.enter();
    for (int i = 0; i < 30; ++i)
        s.application->runFrame(step);
    glFinish();
    const double cpuStart = processSeconds();
    for (auto _ : state) {
        s.application->runFrame(step);
        glFinish();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["fps"] = benchmark::Counter(n, benchmark::Counter::kIsRate);
    state.counters["processCpuMs"] = (processSeconds() - cpuStart) * 1000.0 / n;
    state.counters["residentMB"] = residentMegabytes();
}

void BM_BusiestSpotFrame(benchmark::State& state) {
    state.SetLabel(qualityChoice());
    runFrames(state);
}
BENCHMARK(BM_BusiestSpotFrame)->Unit(benchmark::kMillisecond)->Iterations(120)->UseRealTime();

// The same frames at one lighter level (argument 0: 1 medium, 2 low, 3 minimal) and render scale
// (argument 1, per cent).
void BM_BusiestSpotAtScale(benchmark::State& state) {
    if (multisampled()) {
        state.SkipWithError("needs MOSSFANG_BENCH_QUALITY set to a lighter level or auto");
        return;
    }
    const auto level = static_cast<vorn::rendering::QualityLevel>(state.range(0));
    const float scale = static_cast<float>(state.range(1)) / 100.0f;
    state.SetLabel(std::string(vorn::rendering::qualityName(level)) + " " +
                   std::to_string(state.range(1)) + "%");
    stage().renderState->quality.drawAt(level, scale);
    runFrames(state);
    stage().renderState->quality.choose(qualityChoice());
}
BENCHMARK(BM_BusiestSpotAtScale)
    ->ArgsProduct({{1, 2, 3}, {50, 70, 100}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(120)
    ->UseRealTime();

// The journey's areas, each with the entrance its segment starts at and the upgrades the ninja
// carries there.
struct JourneyArea {
    const char* file;
    const char* entrance;
    std::vector<const char*> upgrades;
};
const std::vector<JourneyArea> journeyAreas = {
    {"startingArea.txt", "", {}},
    {"leafStream.txt", "streamLeftDoor", {}},
    {"simpleArea.txt", "simpleBottomDoor", {}},
    {"waspMeadow.txt", "meadowLeftDoor", {"doubleJump"}},
    {"trickyArea.txt", "trickyLeftDoor", {"doubleJump"}},
    {"spiderCellar.txt", "cellarLeftDoor", {"doubleJump"}},
    {"swordArea.txt", "swordLeftDoor", {"doubleJump"}},
    {"canopy.txt", "canopyLeftDoor", {"doubleJump", "sword"}},
};

// One area along its segment, until the ninja leaves it: the build of the area with its first
// update (a door's work), each frame's update pass, and every tenth frame drawn and waited for.
// A fresh loop per area, as the segment's frames count from the area's first frame.
void BM_AreaAlongItsSegment(benchmark::State& state) {
    Stage& s = stage();
    const JourneyArea& area = journeyAreas[static_cast<size_t>(state.range(0))];
    state.SetLabel(std::string(area.file) + " " + qualityChoice());
    using Clock = std::chrono::steady_clock;
    const auto ms = [](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    };
    for (auto _ : state) {
        vorn::engine::Application loop(s.renderState.get(), 20.0f, 60.0f, "assets/");
        loop.setAudioUpdate(&vorn::audio::SoundManager::frameUpdate);
        vorn::engine::InputSource::instance().useScript(
            std::make_shared<const vorn::engine::InputScript>(vorn::engine::InputScript::load(
                std::string("tests/game/playthrough/segments/") + area.file)));
        const Clock::time_point start = Clock::now();
        std::shared_ptr<vorn::engine::World> world =
            game::Scenes::freshArea(area.file, area.entrance);
        for (const vorn::engine::EntityHandle& player : world->getEntities("player")) {
            for (const char* upgrade : area.upgrades)
                world->addComponent(player,
                                    new vorn::components::Label(std::string(upgrade) + "Enabled"));
            break;
        }
        loop.setWorld(world);
        loop.setDrawLastFrameOnly(true);
        loop.runFrame(step);
        const double buildMs = ms(Clock::now() - start);
        std::vector<double> updates;
        std::vector<double> drawn;
        size_t mostEntities = 0;
        for (int frame = 1; loop.currentWorld() == world && frame < 20000; ++frame) {
            const bool draw = frame % 10 == 0;
            loop.setDrawLastFrameOnly(!draw);
            const Clock::time_point before = Clock::now();
            loop.runFrame(step);
            if (draw) {
                glFinish();
                drawn.push_back(ms(Clock::now() - before));
            } else {
                updates.push_back(loop.lastUpdateSeconds() * 1000.0);
            }
            mostEntities = std::max(mostEntities, world->liveEntities().size());
        }
        std::sort(updates.begin(), updates.end());
        std::sort(drawn.begin(), drawn.end());
        const auto mean = [](const std::vector<double>& v) {
            double sum = 0.0;
            for (double x : v)
                sum += x;
            return v.empty() ? 0.0 : sum / static_cast<double>(v.size());
        };
        const auto percentile = [](const std::vector<double>& v, double p) {
            return v.empty() ? 0.0 : v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
        };
        state.counters["frames"] = static_cast<double>(updates.size() + drawn.size());
        state.counters["buildMs"] = buildMs;
        state.counters["updateMeanMs"] = mean(updates);
        state.counters["updateP99Ms"] = percentile(updates, 0.99);
        state.counters["frameMeanMs"] = mean(drawn);
        state.counters["frameP95Ms"] = percentile(drawn, 0.95);
        state.counters["mostEntities"] = static_cast<double>(mostEntities);
        state.counters["residentMB"] = residentMegabytes();
        vorn::engine::InputSource::instance().useScript(nullptr);
    }
}
BENCHMARK(BM_AreaAlongItsSegment)
    ->DenseRange(0, 7)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
