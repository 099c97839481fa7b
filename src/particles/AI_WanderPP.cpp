#include "particles/AI_WanderPP.hpp"

#include "particles/ParticleRandom.hpp"
#include "particles/ParticleSystem.hpp"

namespace vorn::particles {

void AI_WanderPP::updateParticle(Particle& particle, float dt, const glm::vec3&) {
    particle.velocity += dt * randomVector(strength * 10.0f);
}

} // namespace vorn::particles
