#pragma once

#include <glm/vec3.hpp>

#include <string>

namespace vorn::components {

// One-shot positioned sounds of gameplay: the current scene slot's instance of a named sound is
// played once more at a point, at full volume, with the given roll-off distances. A name that is
// not in the sound table was reported by the sound manager and plays nothing.
class PositionalSound {
public:
    // Plays the named sound at `position`.
    static void play(const std::string& name, const glm::vec3& position, float minDistance = 1.0f,
                     float maxDistance = 10000.0f);
};

} // namespace vorn::components
