#pragma once

#include "particles/ParticleEmitter.hpp"
#include "particles/Rotator.hpp"

namespace vorn::components {

// The emitter of the drifting ambient cloud. Answers "particleChaos", "particleEmitter",
// "behavior", "renderable" and "additive". Like DustEmitter it keeps emitted particles in place in
// the world; in addition its own Rotator (not one of the system's behaviours) swirls the drawn
// cloud about the entity, and every 3 s the swirl gets a new random speed and axis.
class ParticleChaos : public ParticleEmitter {
public:
    inline static const std::string componentName = "particleChaos";

    explicit ParticleChaos(std::shared_ptr<vorn::rendering::Texture> texture);

    // Updates the system, moves its reference point to the entity's position, turns the rotator
    // and, once the timer passes 3 s, gives the rotator a speed in [-30, 20] degrees per second
    // and an axis with components in [0, 1].
    void update(float dt) override;

    vorn::particles::Rotator rotator;
    float timer = 0.0f;

protected:
    // The living particles, turned by the rotator's accumulated rotation.
    void preparePoints(vorn::particles::ParticleVertices& out) override;
};

} // namespace vorn::components
