#pragma once

#include "particles/ParticleBehavior.hpp"

namespace vorn::particles {

// Random colours that keep drifting: every particle starts with a random colour, and each
// frame its green, blue and alpha take a small random step.
class RandomColourPP : public ParticleBehavior {
public:
    // Stores the system and gives every particle a random r, g, b and a in [0, 1].
    void attach(ParticleSystem& system) override;
    // A fresh random colour.
    void initParticle(Particle& particle) override;
    // Adds the x, y and z of a random vector of length 0.02 to g, b and a.
    void updateParticle(Particle& particle, float dt, const glm::vec3& origin) override;
};

} // namespace vorn::particles
