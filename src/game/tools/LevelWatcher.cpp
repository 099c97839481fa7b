#include "game/tools/LevelWatcher.hpp"

#include "engine/World.hpp"
#include "game/Scenes.hpp"
#include "game/tools/DesignerSettings.hpp"
#include "game/tools/DesignerTools.hpp"

#include <chrono>

namespace game {

namespace {

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

LevelWatcher::LevelWatcher(std::string levelFile, std::string entrance,
                           std::shared_ptr<DesignerSettings> settings)
    : levelFile(std::move(levelFile)), entrance(std::move(entrance)), settings(std::move(settings)),
      path(Scenes::levelPath(this->levelFile)) {
    addName(componentName);
    updatePriority = 20000.0f;
    // The file as it was loaded: only later changes count.
    seen = stampNow();
    lastPoll = now();
}

LevelWatcher::Stamp LevelWatcher::stampNow() const {
    Stamp stamp;
    std::error_code error;
    stamp.time = std::filesystem::last_write_time(path, error);
    if (error)
        return stamp;
    stamp.size = std::filesystem::file_size(path, error);
    stamp.exists = !error;
    return stamp;
}

void LevelWatcher::update(float) {
    if (settings && settings->watch) {
        const double t = now();
        if (t - lastPoll >= pollInterval) {
            lastPoll = t;
            const Stamp stamp = stampNow();
            // A file caught in the middle of being replaced (gone for a moment) is not reloaded;
            // its reappearance is.
            if (stamp != seen && stamp.exists)
                requested = true;
            seen = stamp;
        }
    }
    if (!requested || !getWorld())
        return;
    requested = false;
    // A failed reload leaves this world running; the watcher then waits for the next change.
    Scenes::reloadArea(*getWorld(), levelFile, entrance, DesignerTools::areaExtras(settings));
}

} // namespace game
