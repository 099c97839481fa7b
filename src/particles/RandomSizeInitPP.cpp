#include "particles/RandomSizeInitPP.hpp"

#include "particles/ParticleRandom.hpp"
#include "particles/ParticleSystem.hpp"

namespace vorn::particles {

void RandomSizeInitPP::initParticle(Particle& particle) {
    particle.size = randomBetween(min, max);
}

} // namespace vorn::particles
