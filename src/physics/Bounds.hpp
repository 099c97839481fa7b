#pragma once

#include <glm/vec2.hpp>

namespace vorn::components {

// An axis-aligned rectangle in the x-y plane, min corner and max corner.
struct Bounds {
    glm::vec2 min{0.0f, 0.0f};
    glm::vec2 max{0.0f, 0.0f};

    bool operator==(const Bounds& other) const { return min == other.min && max == other.max; }
    bool operator!=(const Bounds& other) const { return !(*this == other); }
};

} // namespace vorn::components
