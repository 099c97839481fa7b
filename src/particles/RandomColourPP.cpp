#include "particles/RandomColourPP.hpp"

#include "particles/ParticleRandom.hpp"
#include "particles/ParticleSystem.hpp"

namespace vorn::particles {

namespace {
glm::vec4 randomColour() {
    const float r = randomUnit();
    const float g = randomUnit();
    const float b = randomUnit();
    return glm::vec4(r, g, b, randomUnit());
}
} // namespace

void RandomColourPP::attach(ParticleSystem& system) {
    ParticleBehavior::attach(system);
    for (Particle& particle : system.particles())
        particle.colour = randomColour();
}

void RandomColourPP::initParticle(Particle& particle) {
    particle.colour = randomColour();
}

void RandomColourPP::updateParticle(Particle& particle, float, const glm::vec3&) {
    const glm::vec3 step = randomVector(0.02f);
    particle.colour.g += step.x;
    particle.colour.b += step.y;
    particle.colour.a += step.z;
}

} // namespace vorn::particles
