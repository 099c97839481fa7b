#pragma once

#include "particles/ParticleBehavior.hpp"

namespace vorn::particles {

// Gives spawned particles a random size.
class RandomSizeInitPP : public ParticleBehavior {
public:
    RandomSizeInitPP(float min, float max) : min(min), max(max) {}
    // size = min + r * (max - min).
    void initParticle(Particle& particle) override;

    float min;
    float max;
};

} // namespace vorn::particles
