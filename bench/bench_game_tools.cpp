// What the level designer's tools cost: an area frame with the collider overlay off and on, and a
// reload of the area's level file under the running ninja (the new area's first frame included).
// Needs a display: run under xvfb-run, from the source tree, with ALSOFT_CONF set.
#include "audio/SoundManager.hpp"
#include "audio/SoundTable.hpp"
#include "engine/Application.hpp"
#include "engine/World.hpp"
#include "game/Game.hpp"
#include "game/Scenes.hpp"
#include "game/tools/DesignerSettings.hpp"
#include "game/tools/DesignerTools.hpp"
#include "rendering/GlewInitError.hpp"
#include "rendering/RenderState.hpp"

#include <GL/glew.h>
#include <SFML/Window/Window.hpp>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

const char* const area = "tests/game/levels/everyTemplate.txt";

struct Stage {
    sf::Window window{sf::VideoMode(game::Game::width, game::Game::height, 32), "bench",
                      sf::Style::Titlebar,
                      sf::ContextSettings(32, 0, 4, 3, 3, sf::ContextSettings::Core)};
    std::unique_ptr<vorn::rendering::RenderState> renderState;
    std::unique_ptr<vorn::engine::Application> application;
    std::shared_ptr<game::DesignerSettings> tools = std::make_shared<game::DesignerSettings>();

    Stage() {
        std::filesystem::current_path(MOSSFANG_SOURCE_DIR);
        vorn::rendering::initializeGlew();
        renderState = std::make_unique<vorn::rendering::RenderState>(&window);
        application =
            std::make_unique<vorn::engine::Application>(renderState.get(), 20.0f, 60.0f, "assets/");
        vorn::audio::registerSoundTable();
        application->setAudioUpdate(&vorn::audio::SoundManager::frameUpdate);
        game::Scenes::installSceneCallbacks(game::DesignerTools::areaExtras(tools));
        application->setWorld(
            game::Scenes::freshArea(area, "", game::DesignerTools::areaExtras(tools)));
        application->runFrame(1.0f / 60.0f);
    }
};

Stage& stage() {
    static Stage shared;
    return shared;
}

// One whole frame of the area (update, post-processing, HUD), overlay off (0) or on (1).
void BM_AreaFrameWithOverlay(benchmark::State& state) {
    Stage& s = stage();
    s.tools->debugDraw = state.range(0) != 0;
    s.application->runFrame(1.0f / 60.0f);
    for (auto _ : state) {
        s.application->runFrame(1.0f / 60.0f);
        glFinish();
    }
    s.tools->debugDraw = false;
}
BENCHMARK(BM_AreaFrameWithOverlay)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(60);

// F5: the level file read again into a new area, the ninja moved over, its first frame drawn.
void BM_ReloadArea(benchmark::State& state) {
    Stage& s = stage();
    for (auto _ : state) {
        game::Scenes::reloadArea(*s.application->currentWorld(), area, "",
                                 game::DesignerTools::areaExtras(s.tools));
        s.application->runFrame(1.0f / 60.0f);
        glFinish();
    }
}
BENCHMARK(BM_ReloadArea)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

BENCHMARK_MAIN();
