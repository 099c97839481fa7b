#pragma once

#include "engine/Behavior.hpp"

#include <string>

namespace components {

// Brings the picture back from black after a door: the owner's picture (a dark Sprite over the
// whole screen, drawn after the rest of the HUD) covers everything at first and clears evenly
// over `duration` seconds; then the entity goes. The time is counted in updates, not in drawn
// frames, so a fixed time step replays it frame for frame, a run that skips drawing ends it at the
// same frame, and play itself never waits for it. Answers "screenFade".
class ScreenFade : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "screenFade";

    explicit ScreenFade(float duration);

    // Moves the fade on by dt and sets the picture's transparency; removes the entity when done.
    void update(float dt) override;

    // How dark the picture is: 1 black .. 0 clear.
    float darkness() const;

    float duration;
    float elapsed = 0.0f;
};

} // namespace components
