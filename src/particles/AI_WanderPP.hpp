#pragma once

#include "particles/ParticleBehavior.hpp"

namespace vorn::particles {

// Makes particles wander: every frame each velocity gets a kick in a random direction.
class AI_WanderPP final : public ParticleBehavior {
public:
    explicit AI_WanderPP(float strength) : strength(strength) {}
    // velocity += dt * (a random vector of length strength * 10).
    void updateParticle(Particle& particle, float dt, const glm::vec3& origin) override;
    // The particle walk with the per-particle step called directly (no virtual call per
    // particle): the ambient cloud runs this over 1,000 particles every frame.
    void update(float dt) override;

    float strength;
};

} // namespace vorn::particles
