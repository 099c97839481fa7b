#include "particles/ScatterVelocityPP.hpp"

#include "particles/Particle.hpp"
#include "particles/ParticleRandom.hpp"

namespace vorn::particles {

void ScatterVelocityPP::initParticle(Particle& particle) {
    const glm::vec3 push = randomVector(randomBetween(0.0f, speed));
    particle.velocity += glm::vec3(push.x, push.y, push.z * depth);
}

} // namespace vorn::particles
