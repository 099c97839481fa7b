#pragma once

#include "engine/Behavior.hpp"

namespace components {

// Ends its entity after a number of seconds: once `remaining` falls below 0 the entity is queued
// for destruction after the current update pass. A life span of 0 therefore ends the entity on
// its next update. Has no name of its own beyond "behavior".
class LifeSpan : public vorn::engine::Behavior {
public:
    explicit LifeSpan(float seconds);

    // Counts down and queues the entity's destruction once the time is up (only once).
    void update(float dt) override;

    float lifetime;
    float remaining;

private:
    bool queued = false;
};

} // namespace components
