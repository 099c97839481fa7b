#pragma once

#include "engine/EntityHandle.hpp"

#include <glm/vec3.hpp>

namespace vorn::engine {
class Component;
}

namespace components {

// What the components that own a particle-effect entity share: finding the owner's position,
// telling whether their effect entity is live in the owner's world, and ending it.
class EffectOwnership {
public:
    // The position of `owner`'s entity, or (0, 0, 0) without a "transform".
    static glm::vec3 ownerPosition(const vorn::engine::Component& owner);
    // Whether `effect` is a live entity of `owner`'s current world.
    static bool isLive(const vorn::engine::Component& owner,
                       const vorn::engine::EntityHandle& effect);
    // Adds a LifeSpan of 0 to `effect` (when live in `owner`'s world), so it is destroyed on the
    // next update, and forgets the handle.
    static void end(const vorn::engine::Component& owner, vorn::engine::EntityHandle& effect);
    // Places `effect`'s transform at the owner's position minus the owner's rotation applied to
    // (0, 3, 0): three units below the owner's feet in its own frame.
    static void placeBelowFeet(const vorn::engine::Component& owner,
                               const vorn::engine::EntityHandle& effect);
};

} // namespace components
