#pragma once

#include <cstdint>
#include <functional>

namespace vorn::engine {

class World;

// Names one entity: its id within a world, and that world. Entities have no object of their own;
// an entity is the set of components that carry its id. Handles order and compare by id alone,
// so code that must tell worlds apart compares `world` as well.
struct EntityHandle {
    uint32_t entityId = 0;
    World* world = nullptr;

    bool operator<(const EntityHandle& other) const { return entityId < other.entityId; }
    bool operator==(const EntityHandle& other) const { return entityId == other.entityId; }
    bool operator!=(const EntityHandle& other) const { return entityId != other.entityId; }

    // Same id in the same world.
    bool sameEntity(const EntityHandle& other) const {
        return entityId == other.entityId && world == other.world;
    }
};

} // namespace vorn::engine

template <> struct std::hash<vorn::engine::EntityHandle> {
    size_t operator()(const vorn::engine::EntityHandle& h) const noexcept {
        return std::hash<uint32_t>()(h.entityId);
    }
};
