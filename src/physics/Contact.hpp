#pragma once

#include "engine/EntityHandle.hpp"

#include <glm/vec2.hpp>

namespace vorn::components {

// One entry of a contact list: the separation that moves the list's owner out of the other
// entity (its length is the penetration depth), and the other entity.
struct Contact {
    glm::vec2 separation{0.0f, 0.0f};
    vorn::engine::EntityHandle other;
};

} // namespace vorn::components
