#include "particles/ParticleRandom.hpp"

#include <cmath>
#include <cstdlib>

namespace vorn::particles {

float randomUnit() {
    // RAND_MAX varies between runtimes (32767 on some, 2^31 - 1 here); dividing by it keeps the
    // result in [0, 1] on all of them.
    return static_cast<float>(std::rand()) / static_cast<float>(RAND_MAX);
}

float randomBetween(float lo, float hi) {
    return lo + randomUnit() * (hi - lo);
}

glm::vec3 randomVector(float length) {
    constexpr float twoPi = 6.28318530718f;
    const float u = 2.0f * randomUnit() - 1.0f;
    const float t = twoPi * randomUnit();
    // u is in [-1, 1], so 1 - u^2 >= 0 up to rounding; clamp so sqrt never sees a tiny negative.
    const float ring = length * std::sqrt(std::fmax(0.0f, 1.0f - u * u));
    return glm::vec3(ring * std::cos(t), ring * std::sin(t), length * u);
}

} // namespace vorn::particles
