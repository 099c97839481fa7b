#include "particles/FadeOutLifeSpanPP.hpp"

#include "particles/ParticleRandom.hpp"
#include "particles/ParticleSystem.hpp"

#include <algorithm>

namespace vorn::particles {

void FadeOutLifeSpanPP::updateParticle(Particle& particle, float, const glm::vec3&) {
    particle.colour.a = std::min(1.0f, particle.life * rate);
}

} // namespace vorn::particles
