#include "game/Game.hpp"

#include "audio/SoundManager.hpp"
#include "audio/SoundTable.hpp"
#include "engine/Application.hpp"
#include "engine/InputScript.hpp"
#include "engine/InputSource.hpp"
#include "engine/World.hpp"
#include "game/ClearScreenRenderer.hpp"
#include "game/EffectViewer.hpp"
#include "game/ModelViewer.hpp"
#include "rendering/GlewInitError.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/Screenshot.hpp"

#include <SFML/Window/Window.hpp>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <locale>
#include <memory>

namespace game {

std::string Game::locateAssetRoot() {
    std::error_code ignored;
    if (std::filesystem::is_directory("assets", ignored))
        return "assets/";
#ifdef MOSSFANG_SOURCE_DIR
    const std::string installed = std::string(MOSSFANG_SOURCE_DIR) + "/assets/";
    if (std::filesystem::is_directory(installed, ignored))
        return installed;
#endif
    return "assets/";
}

int Game::run(const GameOptions& options, const SceneBuilder& firstScene) {
    // The input script is read before the window opens, so a bad script stops nothing half-built.
    if (!options.inputFile.empty()) {
        try {
            vorn::engine::InputSource::instance().useScript(
                std::make_shared<vorn::engine::InputScript>(
                    vorn::engine::InputScript::load(options.inputFile)));
        } catch (const vorn::engine::InputScriptError& e) {
            std::cerr << "mossfang: " << e.what() << "\n";
            return 2;
        }
    }
    std::srand(options.seed);

    const sf::String windowTitle(title, std::locale());
    sf::ContextSettings settings(32, 0, 4, 3, 3, sf::ContextSettings::Core);
    sf::Window window(sf::VideoMode(width, height, 32), windowTitle,
                      sf::Style::Titlebar | sf::Style::Resize | sf::Style::Close, settings);
    vorn::rendering::initializeGlew();

    int status = 0;
    {
        vorn::rendering::RenderState renderState(&window);
        vorn::engine::Application application(&renderState, 20.0f, 60.0f, locateAssetRoot());
        application.setFrameLimit(options.frames);
        application.setFixedTimeStep(options.fixedDt);
        // The sound table is registered once the asset root is known; the manager's per-frame
        // update is the loop's audio step.
        vorn::audio::registerSoundTable();
        application.setAudioUpdate(&vorn::audio::SoundManager::frameUpdate);
        if (!options.screenshotFile.empty()) {
            application.setFrameEndCallback([&](uint64_t) {
                if (application.isRunning())
                    return;
                const sf::Vector2u size = window.getSize();
                if (vorn::rendering::saveScreenshot(options.screenshotFile, size.x, size.y)) {
                    std::cout << "Screenshot saved to " << options.screenshotFile << "\n";
                } else {
                    std::cerr << "mossfang: could not save the screenshot to "
                              << options.screenshotFile << "\n";
                    status = 1;
                }
            });
        }

        std::shared_ptr<vorn::engine::World> first;
        if (firstScene) {
            first = firstScene();
        } else if (!options.viewEffect.empty()) {
            first = EffectViewer::build(options.viewEffect,
                                        static_cast<float>(width) / static_cast<float>(height));
        } else if (!options.viewModel.empty()) {
            first = ModelViewer::build(options.viewModel, options.animation,
                                       static_cast<float>(width) / static_cast<float>(height));
        } else {
            // Until the menu scene exists the game opens on a cleared screen with the menu's music.
            first = std::make_shared<vorn::engine::World>();
            first->addComponent(new ClearScreenRenderer(0.12f, 0.075f, 0.03f));
            vorn::audio::SoundManager::instance().playMusic("monsterSong", 0.7f, 5.0f);
        }
        application.setWorld(first);
        application.run();
    }
    window.close();
    return status;
}

} // namespace game
