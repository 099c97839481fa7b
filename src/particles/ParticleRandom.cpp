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
    // The two draws are 15-bit values, 0 to 32767 each. Where rand() gives at least 30 bits (as
    // here) one call carries both, which halves the calls: rand() takes a lock every call, and
    // wandering particles ask for a vector each every frame.
    int first;
    int second;
    if (RAND_MAX >= 0x3fffffff) {
        const int bits = std::rand();
        first = bits & 0x7fff;
        second = (bits >> 15) & 0x7fff;
    } else {
        first = std::rand() & 0x7fff;
        second = std::rand() & 0x7fff;
    }
    const float u = 2.0f * (static_cast<float>(first) / 32767.0f) - 1.0f;
    const float t = twoPi * (static_cast<float>(second) / 32767.0f);
    // u is in [-1, 1], so 1 - u^2 >= 0 up to rounding; clamp so sqrt never sees a tiny negative.
    const float ring = length * std::sqrt(std::fmax(0.0f, 1.0f - u * u));
    return glm::vec3(ring * std::cos(t), ring * std::sin(t), length * u);
}

} // namespace vorn::particles
