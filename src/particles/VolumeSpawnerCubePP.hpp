#pragma once

#include "particles/ParticleBehavior.hpp"

namespace vorn::particles {

// Spreads spawned particles through a box centred on the spawn point.
class VolumeSpawnerCubePP : public ParticleBehavior {
public:
    // `halfExtents`: half the box's size along x, y and z.
    explicit VolumeSpawnerCubePP(const glm::vec3& halfExtents) : halfExtents(halfExtents) {}
    // Moves the particle by a random offset, each component uniform in [-half, +half].
    void initParticle(Particle& particle) override;

    glm::vec3 halfExtents;
};

} // namespace vorn::particles
