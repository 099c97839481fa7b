#pragma once

#include "particles/Particle.hpp"

#include <cstddef>

namespace vorn::particles {

class ParticleSystem;

// A pluggable piece of particle logic. A system calls, for each behaviour in its list order:
// attach() once when it starts, initParticle() on every particle it spawns, and update() once per
// frame after integrating; owners that draw call transformPoints() on the positions they are about
// to draw.
class ParticleBehavior {
public:
    virtual ~ParticleBehavior() = default;

    // Per-frame work before the particles are visited; nothing by default.
    virtual void beginUpdate(float dt) { (void)dt; }
    // Remembers the system the behaviour belongs to.
    virtual void attach(ParticleSystem& system) { this->system = &system; }
    // beginUpdate(dt), then updateParticle() on every particle of the system with its origin.
    virtual void update(float dt);
    // Per-particle work of one frame; nothing by default.
    virtual void updateParticle(Particle& particle, float dt, const glm::vec3& origin) {
        (void)particle, (void)dt, (void)origin;
    }
    // Shapes a freshly spawned particle; nothing by default.
    virtual void initParticle(Particle& particle) { (void)particle; }
    // Changes points about to be drawn; nothing by default.
    virtual void transformPoints(glm::vec3* points, std::size_t count) {
        (void)points, (void)count;
    }

    // The system attached to, or null before attach().
    ParticleSystem* getSystem() const { return system; }

protected:
    ParticleSystem* system = nullptr;
};

} // namespace vorn::particles
