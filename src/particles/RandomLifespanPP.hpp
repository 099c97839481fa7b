#pragma once

#include "particles/ParticleBehavior.hpp"

namespace vorn::particles {

// Gives spawned particles a random life. A negative minimum is stored as 0, so no particle is
// born dead.
class RandomLifespanPP : public ParticleBehavior {
public:
    RandomLifespanPP(float min, float max);
    // life = min + r * (max - min).
    void initParticle(Particle& particle) override;

    float min;
    float max;
};

} // namespace vorn::particles
