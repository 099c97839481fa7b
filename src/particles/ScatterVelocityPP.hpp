#pragma once

#include "particles/ParticleBehavior.hpp"

namespace vorn::particles {

// Throws spawned particles apart: each one's velocity gains a random vector of length between 0
// and `speed` in a random direction, its depth (z) part scaled by `depth`, so a burst spreads
// mostly across the play plane.
class ScatterVelocityPP final : public ParticleBehavior {
public:
    ScatterVelocityPP(float speed, float depth) : speed(speed), depth(depth) {}
    // velocity += randomVector(r * speed) * (1, 1, depth).
    void initParticle(Particle& particle) override;
    // Nothing happens per particle after spawning, so the update skips the particle walk.
    void update(float dt) override { beginUpdate(dt); }

    float speed;
    float depth;
};

} // namespace vorn::particles
