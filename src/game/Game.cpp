#include "game/Game.hpp"

#include "audio/SoundManager.hpp"
#include "audio/SoundTable.hpp"
#include "engine/Application.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/Diagnostics.hpp"
#include "engine/InputScript.hpp"
#include "engine/InputSource.hpp"
#include "engine/World.hpp"
#include "game/FrameProfile.hpp"
#include "game/LevelCheck.hpp"
#include "game/ModelViewer.hpp"
#include "game/Overview.hpp"
#include "game/ResourceLog.hpp"
#include "game/Scenes.hpp"
#include "game/StateDump.hpp"
#include "rendering/GlewInitError.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/Screenshot.hpp"

#include <SFML/Window/Window.hpp>

#include <cstdlib>
#include <filesystem>
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
    // A level check needs no window: it reads level files only.
    if (!options.checkLevel.empty()) {
        vorn::engine::setAssetRoot(locateAssetRoot());
        return LevelCheck::run(options.checkLevel, vorn::engine::Diagnostics::out());
    }
    // The input script is read before the window opens, so a bad script stops nothing half-built.
    if (!options.inputFile.empty()) {
        try {
            vorn::engine::InputSource::instance().useScript(
                std::make_shared<vorn::engine::InputScript>(
                    vorn::engine::InputScript::load(options.inputFile)));
        } catch (const vorn::engine::InputScriptError& e) {
            vorn::engine::Diagnostics::err() << "mossfang: " << e.what() << "\n";
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
        // The overview is one picture: a couple of frames are enough to draw it.
        const std::string screenshotFile =
            options.overviewFile.empty() ? options.screenshotFile : options.overviewFile;
        if (!options.overviewFile.empty() && options.frames == 0)
            application.setFrameLimit(2);
        FrameProfile profile(options.profileFrames);
        std::unique_ptr<ResourceLog> resourceLog;
        if (!options.resourceLogFile.empty()) {
            resourceLog = std::make_unique<ResourceLog>(options.resourceLogFile);
            if (!resourceLog->ok()) {
                vorn::engine::Diagnostics::err() << "mossfang: could not write the resource log "
                                                 << options.resourceLogFile << "\n";
                resourceLog.reset();
                status = 1;
            }
        }
        application.setFrameEndCallback([&](uint64_t frame) {
            if (options.profileFrames > 0)
                profile.frameEnded(application, frame);
            if (resourceLog)
                resourceLog->frameEnded(application, frame);
            if (application.isRunning())
                return;
            if (!options.dumpStateFile.empty() && application.currentWorld()) {
                if (StateDump::write(options.dumpStateFile, *application.currentWorld(), frame)) {
                    vorn::engine::Diagnostics::out()
                        << "State written to " << options.dumpStateFile << "\n";
                } else {
                    vorn::engine::Diagnostics::err() << "mossfang: could not write the state to "
                                                     << options.dumpStateFile << "\n";
                    status = 1;
                }
            }
            if (screenshotFile.empty())
                return;
            const sf::Vector2u size = window.getSize();
            if (vorn::rendering::saveScreenshot(screenshotFile, size.x, size.y)) {
                vorn::engine::Diagnostics::out()
                    << "Screenshot saved to " << screenshotFile << "\n";
            } else {
                vorn::engine::Diagnostics::err()
                    << "mossfang: could not save the screenshot to " << screenshotFile << "\n";
                status = 1;
            }
        });

        // Doors and the hat build their next scenes through the game's scene builders.
        Scenes::installSceneCallbacks();
        std::shared_ptr<vorn::engine::World> first;
        if (firstScene) {
            first = firstScene();
        } else if (!options.viewModel.empty()) {
            first = ModelViewer::build(options.viewModel, options.animation,
                                       static_cast<float>(width) / static_cast<float>(height),
                                       options.post);
        } else if (!options.overviewFile.empty()) {
            first = Overview::build(options.area,
                                    static_cast<float>(width) / static_cast<float>(height));
        } else if (!options.area.empty()) {
            first = Scenes::freshArea(options.area, options.entrance);
        } else {
            first = Scenes::menu();
        }
        application.setWorld(first);
        application.run();
    }
    window.close();
    return status;
}

} // namespace game
