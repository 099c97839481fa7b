#pragma once

#include "engine/Behavior.hpp"

#include <glm/vec3.hpp>

#include <string>

namespace vorn::components {

// A skill pickup (the double jump, the sword): the first entity carrying `targetTag` whose collider
// touches the pickup's gets the tag `flagName`, and its original spawn point moves to the pickup,
// so the ninja now comes back to life there. The grasshopper presenting the pickup speaks
// `soundName` from `soundOffset` beside it, and the pickup leaves at the end of the frame (and
// stays taken: the receiver's run record notes it). Needs its own "transform" and "collider".
// Answers "upgrade".
class Upgrade : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "upgrade";

    Upgrade(const std::string& flagName, const std::string& targetTag, const std::string& soundName,
            const glm::vec3& soundOffset);

    // Gives the flag to the first touching target.
    void update(float dt) override;

    std::string flagName;
    std::string targetTag;
    std::string soundName;
    glm::vec3 soundOffset;

private:
    bool taken = false;
};

} // namespace vorn::components
