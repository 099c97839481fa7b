#include "particles/VolumeSpawnerCubePP.hpp"

#include "particles/ParticleRandom.hpp"
#include "particles/ParticleSystem.hpp"

namespace vorn::particles {

void VolumeSpawnerCubePP::initParticle(Particle& particle) {
    particle.position += glm::vec3(randomBetween(-halfExtents.x, halfExtents.x),
                                   randomBetween(-halfExtents.y, halfExtents.y),
                                   randomBetween(-halfExtents.z, halfExtents.z));
}

} // namespace vorn::particles
