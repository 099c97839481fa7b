#include "game/RunSettings.hpp"

#include "components/AssistEffects.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/Text.hpp"

#include <glm/gtc/matrix_transform.hpp>

namespace game {

RunSettings::RunSettings(Settings saved, std::string path, bool writable, Hooks hooks,
                         std::ostream& report)
    : saved(saved), path(std::move(path)), writable(writable), hooks(std::move(hooks)),
      report(report), sharedAssists(std::make_shared<components::Assists>(saved.assists)) {}

std::shared_ptr<RunSettings> RunSettings::load(const std::string& path, Hooks hooks,
                                               std::ostream& report) {
    bool writable = true;
    const Settings loaded = Settings::load(path, report, writable);
    return std::make_shared<RunSettings>(loaded, path, writable, std::move(hooks), report);
}

Settings RunSettings::values() const {
    Settings shown = saved;
    if (runQuality)
        shown.quality = *runQuality;
    return shown;
}

void RunSettings::applyAll() {
    const Settings now = values();
    apply(now, now, true);
}

void RunSettings::apply(const Settings& next, const Settings& before, bool all) {
    *sharedAssists = next.assists;
    if (hooks.quality && (all || next.quality != before.quality))
        hooks.quality(next.quality);
    if (hooks.volumes && (all || next.musicVolume != before.musicVolume ||
                          next.effectsVolume != before.effectsVolume))
        hooks.volumes(static_cast<float>(next.musicVolume) / 100.0f,
                      static_cast<float>(next.effectsVolume) / 100.0f);
    if (hooks.fullscreen && (all || next.fullscreen != before.fullscreen))
        hooks.fullscreen(next.fullscreen);
    if (hooks.frameMeter && (all || next.frameMeter != before.frameMeter))
        hooks.frameMeter(next.frameMeter);
    if (hooks.gameSpeed && (all || next.assists.gameSpeed != before.assists.gameSpeed))
        hooks.gameSpeed(static_cast<float>(next.assists.gameSpeed) / 100.0f);
}

void RunSettings::change(const Settings& next) {
    const Settings before = values();
    if (next == before)
        return;
    const Quality savedQuality = saved.quality;
    saved = next;
    if (next.quality == before.quality) {
        // Quality untouched: the run's own choice stays and the file keeps the saved one.
        saved.quality = savedQuality;
    } else {
        runQuality.reset();
    }
    apply(next, before, false);
    save();
}

void RunSettings::overrideQuality(const Quality& quality) {
    const Settings before = values();
    runQuality = quality;
    apply(values(), before, false);
}

void RunSettings::toggleFullscreen() {
    // The file then keeps the frame meter as F2 left it.
    refresh();
    Settings next = values();
    next.fullscreen = !next.fullscreen;
    change(next);
}

void RunSettings::refresh() {
    if (hooks.frameMeterShown)
        saved.frameMeter = hooks.frameMeterShown();
}

void RunSettings::save() {
    std::string problem;
    if (!writable)
        problem = "the damaged file there could not be kept aside";
    else if (saved.save(path, problem))
        return;
    if (saveFailureReported)
        return;
    saveFailureReported = true;
    report << "mossfang: could not save the settings to "
           << (path.empty() ? std::string("a settings file") : path) << ": " << problem
           << "; they hold until the game ends\n";
}

void RunSettings::addToArea(vorn::engine::World& area) const {
    // Below the HUD frame, in the HUD's font.
    const vorn::engine::EntityHandle mark = area.createEntity();
    area.addComponent(mark, new vorn::components::Transform(
                                glm::translate(glm::mat4(1.0f), glm::vec3(14.0f, 398.0f, 0.0f))));
    area.addComponent(mark, new components::AssistEffects(sharedAssists));
    auto* text = new vorn::components::Text(
        vorn::rendering::shaderProgramCache().get("shaders/colorizedTextShader.txt"),
        vorn::rendering::textureCache().get("textFonts/HarringtonFont.png"), 0.0f, 0.0f, 0.0f, "",
        16.0f, 1.0f, 0.8f, 0.35f);
    text->advance = 0.7f;
    area.addComponent(mark, text);
    area.addComponent(mark, new vorn::components::Label("hudSpace"));
}

} // namespace game
