#include "particles/AI_WanderPP.hpp"

#include "particles/ParticleRandom.hpp"
#include "particles/ParticleSystem.hpp"

namespace vorn::particles {

void AI_WanderPP::updateParticle(Particle& particle, float dt, const glm::vec3&) {
    particle.velocity += dt * randomVector(strength * 10.0f);
}

void AI_WanderPP::update(float dt) {
    beginUpdate(dt);
    if (!system)
        return;
    const glm::vec3 origin = system->origin;
    for (Particle& particle : system->particles())
        AI_WanderPP::updateParticle(particle, dt, origin);
}

} // namespace vorn::particles
