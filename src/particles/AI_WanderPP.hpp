#pragma once

#include "particles/ParticleBehavior.hpp"

namespace vorn::particles {

// Makes particles wander: every frame each velocity gets a kick in a random direction.
class AI_WanderPP : public ParticleBehavior {
public:
    explicit AI_WanderPP(float strength) : strength(strength) {}
    // velocity += dt * (a random vector of length strength * 10).
    void updateParticle(Particle& particle, float dt, const glm::vec3& origin) override;

    float strength;
};

} // namespace vorn::particles
