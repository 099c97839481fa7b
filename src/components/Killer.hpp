#pragma once

#include "engine/Behavior.hpp"

#include <string>

namespace components {

// A hazard that kills outright (spikes, the fall-out zone below an area): every player among its
// rigid body's contacts has his "deathAction" invoked, whatever his health. The death action
// guards itself, so touching a dead ninja starts nothing new. Answers "killer".
class Killer : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "killer";

    Killer();

    // Invokes the death action of every touching player.
    void update(float dt) override;
};

} // namespace components
