#include "particles/ParticleBehavior.hpp"

#include "particles/ParticleSystem.hpp"

namespace vorn::particles {

void ParticleBehavior::update(float dt) {
    beginUpdate(dt);
    if (!system)
        return;
    const glm::vec3 origin = system->origin;
    for (Particle& particle : system->particles())
        updateParticle(particle, dt, origin);
}

} // namespace vorn::particles
