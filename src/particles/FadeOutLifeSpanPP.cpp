#include "particles/FadeOutLifeSpanPP.hpp"

#include "particles/ParticleRandom.hpp"
#include "particles/ParticleSystem.hpp"

#include <algorithm>

namespace vorn::particles {

void FadeOutLifeSpanPP::updateParticle(Particle& particle, float, const glm::vec3&) {
    particle.colour.a = std::min(1.0f, particle.life * rate);
}

void FadeOutLifeSpanPP::update(float dt) {
    beginUpdate(dt);
    if (!system)
        return;
    const glm::vec3 origin = system->origin;
    for (Particle& particle : system->particles())
        FadeOutLifeSpanPP::updateParticle(particle, dt, origin);
}

} // namespace vorn::particles
