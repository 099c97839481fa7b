#pragma once

#include "engine/Behavior.hpp"
#include "engine/EntityHandle.hpp"

#include <string>

namespace components {

// A hazard that kills outright (spikes, the fall-out zone below an area): every player among its
// rigid body's contacts that is still there has his "deathAction" invoked, whatever his health.
// The contacts are those of the last physics step; a ninja brought back to life elsewhere since
// then is no longer near the hazard and does not die again. The death action guards itself, so
// touching a dead ninja starts nothing new. Answers "killer".
class Killer : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "killer";

    Killer();

    // Invokes the death action of every touching player.
    void update(float dt) override;

private:
    // Whether the player's collider is still within a frame's travel of the own one.
    bool stillNear(vorn::engine::EntityHandle player) const;
};

} // namespace components
