#pragma once

#include "engine/EntityHandle.hpp"

#include <glm/vec3.hpp>

namespace vorn::engine {
class World;
}

namespace game {

// Builds the ninja in `world` at position p, rotation r (degrees) and scale s, and returns his
// entity. The caller adds its space label.
vorn::engine::EntityHandle assemblePlayer(vorn::engine::World& world, const glm::vec3& p,
                                          const glm::vec3& r, const glm::vec3& s);

} // namespace game
