#pragma once

#include "particles/ParticleBehavior.hpp"

namespace vorn::particles {

// Gives spawned particles a random size.
class RandomSizeInitPP final : public ParticleBehavior {
public:
    RandomSizeInitPP(float min, float max) : min(min), max(max) {}
    // size = min + r * (max - min).
    void initParticle(Particle& particle) override;
    // Nothing happens per particle after spawning, so the update skips the particle walk.
    void update(float dt) override { beginUpdate(dt); }

    float min;
    float max;
};

} // namespace vorn::particles
