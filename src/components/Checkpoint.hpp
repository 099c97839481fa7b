#pragma once

#include "components/SoundCue.hpp"
#include "engine/Behavior.hpp"

#include <glm/vec3.hpp>

#include <string>

namespace components {

// A place to come back to: the first time a living player touches it (through Touch, so the
// entity needs a "collisionTracker" for "player"), his "originalSpawnPoint" moves to the
// checkpoint's position, its model lights up (every part's emission becomes `glow`), its sound
// plays there and RunEvents hears of it. Later touches change nothing. Answers "checkpoint".
class Checkpoint : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "checkpoint";

    Checkpoint(const std::string& soundName, const glm::vec3& glow);

    // Lights the checkpoint when the player first touches it.
    void update(float dt) override;

    // Whether a player has reached it.
    bool isLit() const { return lit; }

    SoundCue sound;
    glm::vec3 glow;

private:
    void lightModel();

    bool lit = false;
};

} // namespace components
