#pragma once

#include "engine/Component.hpp"

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <string>

namespace components {

// A place that has something to say: while the player stands in the rectangle of `size` centred
// on the entity's position, the HUD's prompt shows `text` (see Prompt). Hints and doors carry one.
// Answers "promptZone".
class PromptZone : public vorn::engine::Component {
public:
    inline static const std::string componentName = "promptZone";

    PromptZone(std::string text, const glm::vec2& size);

    // Whether `point` lies in the zone (borders included) when the zone is centred on `centre`.
    bool contains(const glm::vec3& centre, const glm::vec3& point) const;

    // The line shown.
    std::string text;
    // Width and height of the zone in world units.
    glm::vec2 size;
};

} // namespace components
