#pragma once

#include "engine/Behavior.hpp"

#include <string>

namespace components {

// Holds its entity's body where it stands until the ninja enters a wake zone of the same name
// (WakeZone), which takes this component away: every frame, after gravity and the gameplay have
// pushed the body and before the rigid bodies move, its velocity and the frame's change of it are
// cleared. Contacts still count: what sleeps can be stood on and still breaks what it touches.
// A level entry ending in `asleep "NAME"` puts one on every body the entry builds, so a boulder
// waits on its ramp until the ninja is near enough to watch it roll. Answers "asleep"; update
// priority 50, between the gameplay (0, 10) and the rigid-body system (100).
class Asleep : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "asleep";

    explicit Asleep(const std::string& wakeName);

    // Keeps the body still.
    void update(float dt) override;

    // The name of the wake zones that end the sleep.
    std::string wakeName;
};

} // namespace components
