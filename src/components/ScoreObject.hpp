#pragma once

#include "engine/Behavior.hpp"
#include "engine/EntityHandle.hpp"

#include <glm/vec3.hpp>

#include <string>

namespace vorn::components {

// A collectible worth `points` (an ant egg, a shiny thing, the hat). The first touch by a player
// with a "score" adds the points, floats a green number up from the pickup, ends the pickup
// through its "deathAction" and, for an egg, counts the egg and floats a white "+1" as well. A
// pickup is collected once, even if its death action leaves it touchable; the player's run record
// notes it, so it stays taken for the rest of the run. Answers "scoreObject".
class ScoreObject : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "scoreObject";

    ScoreObject(int points, bool isEgg);

    // Gives the touching player the points (and the egg).
    void update(float dt) override;

    int points;
    bool isEgg;

    // Whether a player has collected it.
    bool isCollected() const { return collected; }

    // How a floating label looks and moves.
    struct FloatingLabel {
        std::string program;
        std::string text;
        float x;
        float size;
        glm::vec3 colour;
        float riseSpeed;
        float lifetime;
        bool overEverything;
    };
    // The green number for `points`: centred over the pickup, rising 3 units a second for 1.5 s.
    static FloatingLabel pointsLabel(int points);
    // The white "+1" of an egg, rising 5 units a second for 1 s.
    static FloatingLabel eggLabel();

private:
    // A new entity at the pickup's placement showing the label, moving and ending by itself.
    void spawn(const FloatingLabel& label);

    bool collected = false;
};

} // namespace vorn::components
