#pragma once

#include "engine/EntityHandle.hpp"
#include "game/SavedRun.hpp"

#include <glm/vec3.hpp>

#include <optional>
#include <string>

namespace vorn::engine {
class World;
}

namespace game {

// The saved run and the best time, kept in the player's data folder ($XDG_DATA_HOME/mossfang/,
// else ~/.local/share/mossfang/) as save.txt and best.txt: plain `name = value` lines, each
// written to a temporary file beside it and renamed into place, so that a crash never leaves half
// a file. A file that cannot be understood costs one diagnostics line and is kept as NAME.bak; the
// game then goes on as if there were none (the menu offers a new run).
//
// The run is saved when the ninja arrives through a door, when he touches a checkpoint and when
// the player leaves an area for the menu; finishing the journey removes it. Between saves the run
// lives on the ninja, in his "runRecord" and his other components.
class SaveGame {
public:
    // The folder of the files; empty when neither XDG_DATA_HOME nor HOME names one.
    static std::string folder();

    // The saved run, if there is one that can be read.
    static std::optional<SavedRun> load();
    // Saves the run; false, with one diagnostics line, when it cannot be written.
    static bool store(const SavedRun& run);
    // Removes the saved run (the journey is over, or a new one begins).
    static void clear();

    // The best time of a finished journey, in seconds.
    static std::optional<float> bestTime();
    // Keeps `seconds` as the best time when there is none or it is shorter; whether it was kept.
    static bool offerTime(float seconds);

    // The run as it stands in `area`, from `player`'s components; nothing when he has no record.
    static std::optional<SavedRun> capture(vorn::engine::World& area,
                                           vorn::engine::EntityHandle player);
    // Saves the run of the first player of `area` who has a record; whether it was written.
    static bool saveArea(vorn::engine::World& area);
    // The ninja of `area` has touched the checkpoint at `position`: his run goes on from there,
    // and is saved.
    static void checkpointReached(vorn::engine::World& area, const glm::vec3& position);
    // Gives `player` of `area` the saved run: score, health, energy, upgrades, his record, and,
    // when the run was saved at a checkpoint, his place and spawn point there.
    static void apply(const SavedRun& run, vorn::engine::World& area,
                      vorn::engine::EntityHandle player);
};

} // namespace game
