#include "particles/RandomLifespanPP.hpp"

#include "particles/ParticleRandom.hpp"
#include "particles/ParticleSystem.hpp"

namespace vorn::particles {

RandomLifespanPP::RandomLifespanPP(float min, float max) : min(min < 0.0f ? 0.0f : min), max(max) {}

void RandomLifespanPP::initParticle(Particle& particle) {
    particle.life = randomBetween(min, max);
}

} // namespace vorn::particles
