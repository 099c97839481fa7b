#pragma once

#include "engine/Behavior.hpp"
#include "engine/EntityHandle.hpp"

#include <glm/vec3.hpp>

#include <map>
#include <set>
#include <string>

namespace components {

// What one run of the journey has done so far, carried by the ninja from area to area (a door
// carries all his components): the game time played, his deaths, the shiny things found, the
// pickups taken in each area, and where the run resumes: the area, the entrance he came in by and
// the last checkpoint touched there. The saved run is written from it and read back into it.
// A behaviour, so its clock stands still whenever the world does (paused, or without the focus).
// Answers "runRecord".
class RunRecord : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "runRecord";

    RunRecord();

    // Counts the time and each new death (the "dead" tag arriving on its entity).
    void update(float dt) override;

    // Notes on `taker`'s record, if he has one, that he took `pickup`: its number under the
    // record's current area, and one more shiny when it is a shiny thing. Pickups without a
    // "pickupId" are not remembered.
    static void noteTaken(vorn::engine::World& world, vorn::engine::EntityHandle pickup,
                          vorn::engine::EntityHandle taker);
    // Whether the pickup numbered `number` of `levelFile` has been taken in this run.
    bool isTaken(const std::string& levelFile, int number) const;

    // Seconds of play, counted only while the world runs.
    float time = 0.0f;
    int deaths = 0;
    int shinies = 0;
    // Level file -> the numbers of its pickups taken.
    std::map<std::string, std::set<int>> taken;
    // The level file of the area the run began in: only a run begun where the journey begins
    // can set the best time.
    std::string startArea;
    // The level file of the area he is in and the entrance he came in by.
    std::string area;
    std::string entrance;
    // The last checkpoint touched in this area, where a continued run starts instead of the
    // entrance.
    bool atCheckpoint = false;
    glm::vec3 checkpoint{0.0f};

private:
    bool wasDead = false;
};

} // namespace components
