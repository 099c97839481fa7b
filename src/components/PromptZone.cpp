#include "components/PromptZone.hpp"

#include <cmath>

namespace components {

PromptZone::PromptZone(std::string text, const glm::vec2& size)
    : text(std::move(text)), size(size) {
    addName(componentName);
}

bool PromptZone::contains(const glm::vec3& centre, const glm::vec3& point) const {
    return std::abs(point.x - centre.x) <= 0.5f * size.x &&
           std::abs(point.y - centre.y) <= 0.5f * size.y;
}

} // namespace components
