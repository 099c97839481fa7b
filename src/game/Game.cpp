#include "game/Game.hpp"

#include "audio/SoundManager.hpp"
#include "audio/SoundTable.hpp"
#include "engine/Application.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/Diagnostics.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/InputScript.hpp"
#include "engine/InputSource.hpp"
#include "engine/Label.hpp"
#include "engine/World.hpp"
#include "game/RunSettings.hpp"
#include "game/Scenes.hpp"
#include "game/SettingsScreen.hpp"
#include "game/tools/DesignerSettings.hpp"
#include "game/tools/DesignerTools.hpp"
#include "game/tools/EffectViewer.hpp"
#include "game/tools/FrameProfile.hpp"
#include "game/tools/LevelCheck.hpp"
#include "game/tools/ModelViewer.hpp"
#include "game/tools/Overview.hpp"
#include "game/tools/ResourceLog.hpp"
#include "game/tools/StateDump.hpp"
#include "rendering/GlewInitError.hpp"
#include "rendering/RenderQuality.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/Screenshot.hpp"

#include <SFML/OpenGL.hpp>
#include <SFML/Window/Window.hpp>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <locale>
#include <memory>
#include <utility>

namespace game {

namespace {

// The name of a dump taken at `frame`: "state.json" becomes "state-120.json".
std::string numberedFile(const std::string& file, uint64_t frame) {
    const std::filesystem::path path(file);
    std::filesystem::path numbered = path.parent_path() / path.stem();
    numbered += "-" + std::to_string(frame) + path.extension().string();
    return numbered.string();
}

} // namespace

std::string Game::locateAssetRoot(const std::string& executableDir) {
    std::error_code ignored;
    if (!executableDir.empty()) {
        const std::filesystem::path dir(executableDir);
        for (const std::filesystem::path& candidate :
             {dir / "assets", dir / ".." / "share" / "mossfang" / "assets"}) {
            if (std::filesystem::is_directory(candidate, ignored))
                return candidate.lexically_normal().string() + "/";
        }
    }
    return "assets/";
}

void Game::tuneAllocator() {
#ifdef __GLIBC__
    // Large blocks (decoded pictures, model data being read, the driver's texture storage) get
    // their own mappings, returned to the system when freed. By default the allocator raises this
    // threshold each time such a block is freed, after which large blocks come from the heap and
    // leave it fragmented: 20 doors grew the process by about 40 MB that way.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

std::string Game::locateAssetRoot() {
    // The kernel's link to the running program: no path is compiled in.
    std::error_code failed;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failed);
    return locateAssetRoot(failed ? std::string() : self.parent_path().string());
}

namespace {

// Reads the player's key file into the input bindings; bad lines are reported and skipped.
void loadKeyBindings() {
    vorn::engine::InputSource::instance().bindings().loadKeys(
        vorn::engine::InputBindings::keyFilePath(), vorn::engine::Diagnostics::err());
}

// The name of the OpenGL renderer of the current context ("" when there is none).
std::string rendererName() {
    const GLubyte* name = glGetString(GL_RENDERER);
    return name ? reinterpret_cast<const char*>(name) : "";
}

// F11: the window grows to cover the desktop and shrinks back. The window is resized rather
// than recreated, so the OpenGL context and every object in it survive; the picture is
// stretched over the new size as for any resize.
class FullscreenToggle {
public:
    FullscreenToggle(sf::Window& window, unsigned width, unsigned height)
        : window(window), width(width), height(height) {}
    void operator()() {
        if (!fullscreen) {
            windowedPosition = window.getPosition();
            const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
            window.setPosition({0, 0});
            window.setSize({desktop.width, desktop.height});
        } else {
            window.setSize({width, height});
            window.setPosition(windowedPosition);
        }
        fullscreen = !fullscreen;
    }
    bool isFullscreen() const { return fullscreen; }

private:
    sf::Window& window;
    unsigned width;
    unsigned height;
    bool fullscreen = false;
    sf::Vector2i windowedPosition;
};

// The upgrades `--upgrades` names, given to the area's ninja as if he had earned them.
void grantUpgrades(vorn::engine::World& area, const std::vector<std::string>& upgrades) {
    for (const vorn::engine::EntityHandle& player : area.getEntities("player")) {
        for (const std::string& upgrade : upgrades)
            area.addComponent(player, new vorn::components::Label(upgrade + "Enabled"));
        break;
    }
}

// The player's settings file, read and applied: the picture quality to the renderers, volumes to
// the sound manager's groups, the world's speed to the main loop, the frame meter to the
// designer's switch, fullscreen to the window (also F11's). Runs with a frame limit or an input
// script keep the 800 x 600 window whatever the file says, so that their pictures do not depend on
// the player's settings; `runQuality`, when set, is this run's own quality (the command line's, or
// full for a run at a fixed time step) and is never saved.
std::shared_ptr<RunSettings>
loadSettings(const GameOptions& options, vorn::engine::Application& application, sf::Window& window,
             vorn::rendering::RenderQuality& quality, const std::optional<std::string>& runQuality,
             const std::shared_ptr<DesignerSettings>& tools) {
    auto toggle = std::make_shared<FullscreenToggle>(window, Game::width, Game::height);
    const bool automated = options.frames != 0 || !options.inputFile.empty();
    RunSettings::Hooks hooks;
    hooks.volumes = [](float music, float effects) {
        vorn::audio::SoundManager& sound = vorn::audio::SoundManager::instance();
        sound.setPlayerVolume(vorn::audio::SoundManager::musicGroup, music);
        sound.setPlayerVolume(vorn::audio::SoundManager::effectsGroup, effects);
    };
    hooks.fullscreen = [toggle, automated, first = true](bool on) mutable {
        const bool startUp = std::exchange(first, false);
        if (toggle->isFullscreen() != on && !(startUp && automated))
            (*toggle)();
    };
    hooks.frameMeter = [tools](bool on) { tools->frameMeter = on; };
    hooks.frameMeterShown = [tools] { return tools->frameMeter; };
    hooks.gameSpeed = [&application](float speed) { application.setGameSpeed(speed); };
    hooks.quality = [&quality](const RunSettings::Quality& level) { quality.choose(level); };
    auto settings =
        RunSettings::load(Settings::filePath(), std::move(hooks), vorn::engine::Diagnostics::err());
    if (runQuality)
        settings->overrideQuality(vorn::rendering::parseQualityLevel(*runQuality));
    settings->applyAll();
    application.setFullscreenCallback([settings] { settings->toggleFullscreen(); });
    return settings;
}

// The quality the player's settings file chooses ("auto" when it has none or cannot be read), read
// before the window opens, which it decides; the file's problems are reported when it is loaded.
std::string savedQuality() {
    std::ifstream in(Settings::filePath(), std::ios::binary);
    int badLine = 0;
    const std::optional<Settings> saved = in ? Settings::parse(in, badLine) : std::nullopt;
    return Settings::qualityName(saved ? saved->quality : std::nullopt);
}

} // namespace

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
    loadKeyBindings();

    // The picture quality: the command line's, else full for runs at a fixed time step (whose
    // pictures must repeat), else the player's saved choice (auto when none). Only the full
    // picture draws into a multisampled window; auto opens one without and reads the renderer's
    // name from it, and only a graphics card, where auto starts at full, gets the window again
    // with multisampling.
    const std::optional<std::string> runQuality =
        !options.quality.empty() ? std::optional<std::string>(options.quality)
        : options.fixedDt > 0.0f ? std::optional<std::string>("full")
                                 : std::nullopt;
    const std::string quality = runQuality ? *runQuality : savedQuality();
    const std::optional<vorn::rendering::QualityLevel> chosen =
        vorn::rendering::parseQualityLevel(quality);
    const auto multisampled = [&](bool software) {
        return vorn::rendering::RenderQuality::featuresOf(
                   vorn::rendering::RenderQuality::startLevel(chosen, software))
            .multisampledWindow;
    };
    const sf::String windowTitle(title, std::locale());
    const auto open = [&](sf::Window& window, bool antialiased) {
        window.create(
            sf::VideoMode(width, height, 32), windowTitle,
            sf::Style::Titlebar | sf::Style::Resize | sf::Style::Close,
            sf::ContextSettings(32, 0, antialiased ? 4 : 0, 3, 3, sf::ContextSettings::Core));
    };
    sf::Window window;
    open(window, chosen && multisampled(false));
    const bool software = vorn::rendering::RenderQuality::isSoftwareRenderer(rendererName());
    if (!chosen && multisampled(software))
        open(window, true);
    vorn::rendering::initializeGlew();
    vorn::rendering::RenderQuality::startRunAt(
        vorn::rendering::RenderQuality::startLevel(chosen, software));

    int status = 0;
    {
        vorn::rendering::RenderState renderState(&window);
        renderState.quality.setSoftwareRenderer(software);
        renderState.quality.setGoverned(options.fixedDt <= 0.0f);
        renderState.quality.choose(quality);
        vorn::engine::Application application(&renderState, 20.0f, 60.0f, locateAssetRoot());
        application.setFrameSize(width, height);
        application.setFrameLimit(options.frames);
        // Without the focus the world stands still and the sound manager falls silent.
        application.setFocusCallback(
            [](bool focused) { vorn::audio::SoundManager::instance().setMuted(!focused); });
        application.setFixedTimeStep(options.fixedDt);
        application.setDrawLastFrameOnly(options.updateOnly);
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
            if (!options.dumpStateFile.empty() && application.currentWorld() &&
                std::find(options.dumpFrames.begin(), options.dumpFrames.end(), frame) !=
                    options.dumpFrames.end()) {
                const std::string file = numberedFile(options.dumpStateFile, frame);
                if (!StateDump::write(file, *application.currentWorld(), frame)) {
                    vorn::engine::Diagnostics::err()
                        << "mossfang: could not write the state to " << file << "\n";
                    status = 1;
                }
            }
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
        // The designer's switches start as the command line set them and are shared by every
        // area of the run, so a switch stays on through doors and reloads.
        auto tools = std::make_shared<DesignerSettings>();
        tools->debugDraw = options.debugDraw;
        tools->watch = options.watch;
        const std::shared_ptr<RunSettings> settings =
            loadSettings(options, application, window, renderState.quality, runQuality, tools);
        const Scenes::AreaExtras toolExtras = DesignerTools::areaExtras(tools);
        const Scenes::AreaExtras extras = [toolExtras, settings](vorn::engine::World& area,
                                                                 const std::string& levelFile,
                                                                 const std::string& entrance) {
            toolExtras(area, levelFile, entrance);
            settings->addToArea(area);
        };
        Scenes::installSceneCallbacks(extras);
        Scenes::installSettingsScreen([settings](SettingsScreen::Back back) {
            return SettingsScreen::build(settings, std::move(back));
        });
        std::shared_ptr<vorn::engine::World> first;
        if (firstScene) {
            first = firstScene();
        } else if (!options.viewEffect.empty()) {
            first = EffectViewer::build(options.viewEffect,
                                        static_cast<float>(width) / static_cast<float>(height));
        } else if (!options.viewModel.empty()) {
            // The viewer still runs, so a screenshot shows what there is; scripts see the status.
            bool nothingToDraw = false;
            first = ModelViewer::build(options.viewModel, options.animation,
                                       static_cast<float>(width) / static_cast<float>(height),
                                       options.post, &nothingToDraw);
            if (nothingToDraw)
                status = 1;
        } else if (!options.overviewFile.empty()) {
            first = Overview::build(options.area,
                                    static_cast<float>(width) / static_cast<float>(height));
        } else if (!options.area.empty()) {
            const std::string entrance =
                options.entranceGiven
                    ? options.entrance
                    : Scenes::chooseEntrance(options.area, vorn::engine::Diagnostics::out());
            first = Scenes::freshArea(options.area, entrance, extras);
            grantUpgrades(*first, options.upgrades);
        } else {
            first = Scenes::menu();
        }
        // The Application alone holds the first scene, so it goes as soon as it is replaced.
        application.setWorld(std::move(first));
        application.run();
    }
    window.close();
    return status;
}

} // namespace game
