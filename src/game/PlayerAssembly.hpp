#pragma once

#include "engine/EntityHandle.hpp"

#include <glm/vec3.hpp>

namespace vorn::engine {
class World;
}

namespace game {

// Builds a fresh ninja in `world` at `position`, turned by `rotationDegrees` (applied z, then y,
// then x, as level entries are) and scaled by `scale`: his model, collider, movement, health,
// energy, score, rigid body, spawn point, punch, contact damage, death and hurt reactions, and the
// tags "hasGravity", "player" and "being". The components join in a fixed order so that each one
// initialised in an active world finds the ones before it. The caller adds the render-space label.
vorn::engine::EntityHandle assemblePlayer(vorn::engine::World& world, const glm::vec3& position,
                                          const glm::vec3& rotationDegrees, const glm::vec3& scale);

} // namespace game
