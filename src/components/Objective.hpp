#pragma once

#include "engine/Behavior.hpp"

#include <string>

namespace components {

// The goal of the game (the hat): when an entity carrying "player" touches it, the end of the
// journey (the installed finish builder's summary, or else the first credits page) becomes the next
// world. It does so once. Update priority 1, after the pickups of the frame, so the hat's own
// points are in the score the summary shows.
class Objective : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "objective";

    Objective();

    // Switches to the end of the journey when the player touches the objective.
    void update(float dt) override;

    // Whether the end of the journey has been handed to the Application.
    bool isReached() const { return reached; }

private:
    bool reached = false;
    bool reported = false;
};

} // namespace components
