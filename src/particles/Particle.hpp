#pragma once

#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

#include <cstdint>

namespace vorn::particles {

// One particle: plain data, kept by value in its system's single contiguous array.
struct Particle {
    glm::vec3 position{0.0f};
    glm::vec3 velocity{0.0f};
    glm::vec3 acceleration{0.0f};
    glm::vec4 colour{0.0f}; // r, g, b, a
    float life = 0.0f;      // seconds left; dead at 0 or below
    int32_t respawnsLeft = 0;
    float size = 0.0f;
};

} // namespace vorn::particles
