#pragma once

#include "components/SoundCue.hpp"
#include "engine/Behavior.hpp"

#include <glm/vec2.hpp>

#include <string>

namespace components {

// A secret place, found by a hidden route: the first time a living player touches it (through
// Touch, so the entity needs a "collisionTracker" for "player"), his "score" counts one more
// secret, its sound plays there, and from then on the HUD's prompt tells him so while he stands in
// its zone of `size` (a PromptZone the secret adds to its entity), and his run record notes it.
// Later touches count nothing.
// Answers "secret".
class Secret : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "secret";

    Secret(const std::string& soundName, const glm::vec2& size);

    // Counts the secret when the player first touches it.
    void update(float dt) override;

    // Whether the player has found it.
    bool isFound() const { return found; }
    // Marks it found without counting it again: a secret found earlier in the run, in an area the
    // player comes back to.
    void markFound();

    SoundCue sound;
    glm::vec2 size;

private:
    // The line the prompt shows once the secret is found, with the run's count so far.
    void announce(int secretsSoFar);

    bool found = false;
};

} // namespace components
