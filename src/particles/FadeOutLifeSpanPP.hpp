#pragma once

#include "particles/ParticleBehavior.hpp"

namespace vorn::particles {

// Fades particles out at the end of their life: alpha stays 1 until the last 1 / rate seconds,
// then falls linearly to 0.
class FadeOutLifeSpanPP : public ParticleBehavior {
public:
    explicit FadeOutLifeSpanPP(float rate) : rate(rate) {}
    // a = min(1, life * rate).
    void updateParticle(Particle& particle, float dt, const glm::vec3& origin) override;

    float rate;
};

} // namespace vorn::particles
