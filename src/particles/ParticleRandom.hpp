#pragma once

#include <glm/vec3.hpp>

namespace vorn::particles {

// The particle layer's random numbers. Every draw comes from the runtime's rand(), which the game
// seeds from --seed, so a run with the same seed repeats particle for particle.

// A uniform value in [0, 1].
float randomUnit();
// A uniform value in [lo, hi].
float randomBetween(float lo, float hi);
// A vector of length exactly `length` in a uniformly random direction: z = length * u with
// u = 2r - 1, and (x, y) = length * sqrt(1 - u^2) * (cos t, sin t) with t = 2 pi r (a second
// draw). Points spread evenly over the sphere because z is uniform (Archimedes' hat-box theorem).
glm::vec3 randomVector(float length);

} // namespace vorn::particles
