#pragma once

#include "components/Assists.hpp"
#include "game/Settings.hpp"

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace vorn::engine {
class World;
}

namespace game {

// The settings of one run of the game and how each takes effect. The run loads them from the
// player's file at start-up and installs a hook for each part of the game a setting reaches; the
// settings screen changes them through change(), which applies what changed at once and saves
// the file. A save that fails is reported once a run; the game goes on with the new settings.
class RunSettings {
public:
    using Quality = std::optional<vorn::rendering::QualityLevel>;

    // How the settings reach the game. A hook left empty keeps its setting stored and saved.
    struct Hooks {
        std::function<void(const Quality&)> quality;             // the renderer's quality choice
        std::function<void(float music, float effects)> volumes; // 0 to 1 each
        std::function<void(bool)> fullscreen;  // the window covers the desktop or not
        std::function<void(bool)> frameMeter;  // the frame meter shown or hidden
        std::function<bool()> frameMeterShown; // the meter's state, which F2 changes
        std::function<void(float)> gameSpeed;  // the world's speed, 1 normal
    };

    // Settings `saved`, kept in the file `path` (empty: not kept anywhere); `writable` false
    // keeps a damaged file that could not be moved aside from being written over. Failed saves
    // are reported on `report`.
    RunSettings(Settings saved, std::string path, bool writable, Hooks hooks, std::ostream& report);
    // The settings of the player's file at `path`, read as Settings::load reads it.
    static std::shared_ptr<RunSettings> load(const std::string& path, Hooks hooks,
                                             std::ostream& report);

    // The settings as the game runs with them: the saved ones, with this run's quality choice.
    Settings values() const;
    // Applies every setting; the run calls it once its hooks can act.
    void applyAll();
    // Makes `next` the settings: applies each one that differs and saves the file. A quality
    // chosen here replaces the run's own choice.
    void change(const Settings& next);
    // A quality for this run only (the command line's choice): applied, never saved.
    void overrideQuality(const Quality& quality);
    // F11: switches fullscreen and remembers it.
    void toggleFullscreen();
    // Takes in the frame meter's state, which the F2 key changes outside the settings.
    void refresh();

    // The assists as every area's AssistEffects reads them; changed with the settings.
    std::shared_ptr<const components::Assists> assists() const { return sharedAssists; }
    // Gives an area the assists: their effects on the ninja and the HUD's "assist" mark. Part of
    // the run's area extras.
    void addToArea(vorn::engine::World& area) const;

private:
    void apply(const Settings& next, const Settings& before, bool all);
    void save();

    Settings saved;
    std::optional<Quality> runQuality;
    std::string path;
    bool writable;
    Hooks hooks;
    std::ostream& report;
    bool saveFailureReported = false;
    std::shared_ptr<components::Assists> sharedAssists;
};

} // namespace game
