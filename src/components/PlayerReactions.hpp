#pragma once

#include "engine/EntityHandle.hpp"

namespace components {

// The ninja's hurt reaction: shows the hurt animation for a quarter of a second, holding off the
// movement's own choice of animation meanwhile. A hurt animation already playing is not restarted.
void hurt(vorn::engine::EntityHandle entity);

// Brings the ninja back after death: at his original spawn point, at rest, with full health and
// energy, no longer "dead". Does nothing to an entity without an original spawn point.
void respawn(vorn::engine::EntityHandle entity);

} // namespace components
