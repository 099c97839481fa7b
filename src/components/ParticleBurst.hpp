#pragma once

#include "engine/EntityHandle.hpp"

#include <glm/vec3.hpp>

#include <string>

namespace vorn::engine {
class World;
}

namespace components {

// One-off particle bursts of gameplay (a wasp's last puff, a cut thread, a stepped-on leaf): the
// named burst effect is built at a point and ends itself, a LifeSpan on its entity taking it away
// once its particles are spent. Nobody needs to own it.
class ParticleBurst {
public:
    // Builds the burst `name` ("waspPuff", "silkSnap" or "leafFlutter") at `position`; returns its
    // entity (id 0 for an unknown name).
    static vorn::engine::EntityHandle at(vorn::engine::World& world, const std::string& name,
                                         const glm::vec3& position);
};

} // namespace components
