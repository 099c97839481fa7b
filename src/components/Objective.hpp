#pragma once

#include "engine/Behavior.hpp"

#include <string>

namespace components {

// The goal of the game (the hat): when an entity carrying "player" touches it, the first credits
// page, built by the installed credits builder, becomes the next world. It does so once.
class Objective : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "objective";

    Objective();

    // Switches to the credits when the player touches the objective.
    void update(float dt) override;

    // Whether the credits have been handed to the Application.
    bool isReached() const { return reached; }

private:
    bool reached = false;
    bool reported = false;
};

} // namespace components
