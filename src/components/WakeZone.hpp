#pragma once

#include "engine/Behavior.hpp"

#include <string>

namespace components {

// A place whose events wait for the ninja: the first time a "player" touches its entity (through
// its collision tracker or rigid body, see Touch), every Asleep of its name in the world is taken
// away, and the zone leaves with its entity after the pass. A level's `wake` entry builds one with
// a box collider and a tracker for "player". Answers "wakeZone"; update priority 0.
class WakeZone : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "wakeZone";

    explicit WakeZone(const std::string& name);

    // Wakes the sleepers of its name at the ninja's first touch.
    void update(float dt) override;

    std::string name;

private:
    bool woken = false;
};

} // namespace components
