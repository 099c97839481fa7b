#include "particles/ParticleSystem.hpp"

#include <algorithm>
#include <cassert>

namespace vorn::particles {

bool ParticleSystem::setParticleCount(int n) {
    if (initialized || n < 0)
        return false;
    pool.assign(static_cast<std::size_t>(n), Particle{});
    resetRespawns();
    return true;
}

void ParticleSystem::addBehavior(std::unique_ptr<ParticleBehavior> behavior) {
    if (initialized || !behavior)
        return;
    behaviorList.push_back(std::move(behavior));
}

void ParticleSystem::start() {
    if (initialized)
        return;
    for (const auto& behavior : behaviorList)
        behavior->attach(*this);
    initialized = true;
}

void ParticleSystem::resetRespawns() {
    if (respawnLimit <= 0)
        return;
    for (Particle& particle : pool)
        particle.respawnsLeft = respawnLimit;
}

int ParticleSystem::aliveCount() const {
    return static_cast<int>(
        std::count_if(pool.begin(), pool.end(), [](const Particle& p) { return p.life > 0.0f; }));
}

void ParticleSystem::spawn(Particle& particle) {
    assert(mass != 0.0f);
    particle.position = origin;
    particle.velocity = spawnVelocity;
    particle.size = 1.0f;
    particle.colour = spawnColour;
    particle.acceleration = force * (1.0f / mass);
    particle.life = lifespan;
    if (respawnLimit > 0)
        --particle.respawnsLeft;
}

void ParticleSystem::update(float dt, bool continuous) {
    if (pool.empty() || !initialized)
        return;
    if (followedPoint)
        origin = *followedPoint;

    // Nothing is spawned without the continuous flag; with a respawn limit each particle also
    // needs a spawn left.
    const bool unlimited = respawnLimit < 1;
    float timer = spawnInterval;
    for (Particle& p : pool) {
        timer -= dt;
        p.life -= dt;
        p.position += p.velocity * dt + (p.acceleration * dt) * dt;
        p.velocity += p.acceleration * dt;
        const bool mayRespawn = continuous && (unlimited || p.respawnsLeft > 0);
        if (mayRespawn && timer < 0.0f && lifespan > 0.0f && p.life <= 0.0f) {
            spawn(p);
            timer = spawnInterval;
            for (const auto& behavior : behaviorList)
                behavior->initParticle(p);
        }
    }
    for (const auto& behavior : behaviorList)
        behavior->update(dt);
}

void ParticleSystem::moveTo(const glm::vec3& point) {
    const glm::vec3 shift = point - referencePoint;
    referencePoint = point;
    for (Particle& p : pool)
        p.position -= shift;
}

} // namespace vorn::particles
