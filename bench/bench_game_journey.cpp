// The busiest spot of the journey: the bramble hollow from its left door, where the boulder rolls
// down through the crate onto the spikes while both ants patrol and the ninja's dust and ambient
// motes drift. Times the update pass alone, whole frames at 800 x 600 (update, the
// post-processing render, display), and the resident memory while it runs.
// Needs a display: run under xvfb-run, from the source tree, with ALSOFT_CONF set.
#include "audio/SoundManager.hpp"
#include "audio/SoundTable.hpp"
#include "engine/Application.hpp"
#include "engine/World.hpp"
#include "game/Game.hpp"
#include "game/Scenes.hpp"
#include "rendering/GlewInitError.hpp"
#include "rendering/RenderState.hpp"

#include <GL/glew.h>
#include <SFML/Window/Window.hpp>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

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

// One window and Application, as the game opens them.
struct Stage {
    sf::Window window{sf::VideoMode(game::Game::width, game::Game::height, 32), "bench",
                      sf::Style::Titlebar,
                      sf::ContextSettings(32, 0, 4, 3, 3, sf::ContextSettings::Core)};
    std::unique_ptr<vorn::rendering::RenderState> renderState;
    std::unique_ptr<vorn::engine::Application> application;

    Stage() {
        std::filesystem::current_path(MOSSFANG_SOURCE_DIR);
        vorn::rendering::initializeGlew();
        renderState = std::make_unique<vorn::rendering::RenderState>(&window);
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
// glFinish. Reports frames per second and the resident memory at the end.
void BM_BusiestSpotFrame(benchmark::State& state) {
    Stage& s = stage();
    s.enter();
    for (auto _ : state) {
        s.application->runFrame(step);
        glFinish();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["residentMB"] = residentMegabytes();
}
BENCHMARK(BM_BusiestSpotFrame)->Unit(benchmark::kMillisecond)->Iterations(60)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
