#pragma once

#include "particles/Particle.hpp"
#include "particles/ParticleBehavior.hpp"

#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

#include <array>
#include <memory>
#include <vector>

namespace vorn::particles {

// A fixed pool of particles integrated every frame, re-spawned at the origin when they die, and
// shaped by an ordered list of behaviours.
//
// Lifecycle: created empty; configured by its owner (particle count, parameters, behaviours);
// started (behaviours attached in list order); updated once per frame; destroyed with its owner.
// The particle array is allocated once, by setParticleCount(), and never per frame.
//
// Spawning: one spawn timer runs per update and is counted down by dt for every particle visited,
// so at most one dead particle is re-spawned per (spawn interval / dt) particles visited. Spawning
// needs the continuous flag; a respawn limit above 0 also caps how often each particle may be
// spawned (see setParticleCount() and resetRespawns()).
class ParticleSystem {
public:
    ParticleSystem() = default;
    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;

    // Replaces the particles by n zeroed ones, each with the respawn limit as its respawns left
    // when the limit is above 0. Fails (false, nothing changed) once the system is started.
    bool setParticleCount(int n);
    // Appends a behaviour (owned by the system) to the list; ignored once started.
    void addBehavior(std::unique_ptr<ParticleBehavior> behavior);
    // Attaches every behaviour in list order and marks the system started.
    void start();
    // Integrates, re-spawns and runs the behaviours; nothing before start() or without particles.
    void update(float dt, bool continuous);
    // Records `point` as the reference point and shifts every particle by the opposite of its
    // change, so particles stay put in the world while an owner drawing them with its own model
    // matrix moves. Velocities are untouched.
    void moveTo(const glm::vec3& point);
    // Gives every particle the respawn limit as its respawns left again (when the limit is > 0).
    void resetRespawns();

    // The particle array.
    std::vector<Particle>& particles() { return pool; }
    const std::vector<Particle>& particles() const { return pool; }
    // Number of particles.
    int count() const { return static_cast<int>(pool.size()); }
    // Number of particles alive (life above 0).
    int aliveCount() const;
    // The behaviours in list order.
    const std::vector<std::unique_ptr<ParticleBehavior>>& behaviors() const { return behaviorList; }
    // Whether start() has run.
    bool isStarted() const { return initialized; }

    glm::vec3 origin{0.0f};
    // When set, copied into the origin at the start of every update.
    const glm::vec3* followedPoint = nullptr;
    glm::vec3 referencePoint{0.0f};
    glm::vec4 spawnColour{1.0f, 1.0f, 1.0f, 1.0f};
    float spawnInterval = 0.5f;
    glm::vec3 spawnVelocity{0.0f};
    glm::vec3 force{0.0f};
    float mass = 1.0f;
    float lifespan = 1.0f;
    // Spawns allowed per particle; 0 or below means unlimited.
    int respawnLimit = 2;
    // Kept for the renderers; the first one multiplies the drawn particle size.
    std::array<float, 3> rendererScale{1.0f, 1.0f, 1.0f};

private:
    // Places a particle at the origin with the spawn parameters and a full lifespan.
    void spawn(Particle& particle);

    std::vector<Particle> pool;
    std::vector<std::unique_ptr<ParticleBehavior>> behaviorList;
    bool initialized = false;
};

} // namespace vorn::particles
