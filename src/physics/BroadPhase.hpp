#pragma once

#include "physics/Bounds.hpp"

#include <boost/signals2/connection.hpp>

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vorn::engine {
class EntityCollection;
class World;
} // namespace vorn::engine
namespace vorn::components {
class Collider;
class RigidBody;
class Transform;
} // namespace vorn::components

namespace vorn::systems {

// A uniform grid over the rigid bodies of one world (the entities of the world's collection for
// "transform", "collider" and "rigidBody"), used to skip the pairs whose shapes are too far apart
// to touch. For each entity it also keeps the first component under each of those names, as the
// world's lookups would give them, so that the bodies need not look them up frame after frame.
//
// Why it yields exactly the contacts of the full scan: every entry's box is its collider's bounds
// at its transform's current position, padded by a margin well above the rounding error of the
// separating-axis test. Two convex shapes whose padded boxes do not overlap are apart, and the
// test gives zero for them, which the full scan drops without side effects. That argument needs
// the test to see each shape as convex: for a concave or self-crossing point list it lacks some
// of the hull's edge normals and can report a contact with a shape far outside the list's box,
// so such lists (Collider::contactsStayWithinBounds is false) are always candidates, as are
// shapes with non-finite boxes and entities whose transform or collider is of a foreign type:
// the exact test decides for them. Enormous boxes are kept out of the grid and tested by box. A
// query returns the remaining candidates in ascending entity id, the order of the full scan.
//
// Freshness: membership and the kept components follow the world's added and removed signals at
// once (the world's own collection is made before this index connects, so it is always updated
// first and membership is read from it). Positions are re-read for every entry at the first query
// after markStale() (the rigid-body system calls it at the start of each physics step, so moves
// made between steps are seen), and for one entry by refresh(), which the bodies call whenever
// the step itself moves a transform.
class BroadPhase {
public:
    // An empty grid with square cells of the given edge length.
    explicit BroadPhase(float cellSize = 16.0f);
    BroadPhase(const BroadPhase&) = delete;
    BroadPhase& operator=(const BroadPhase&) = delete;
    ~BroadPhase();

    // Indexes every rigid body of `world` and follows its signals from now on.
    void attach(vorn::engine::World& world);
    // Forgets everything and disconnects from the world.
    void detach();
    // The world being indexed, or null.
    const vorn::engine::World* attachedWorld() const { return world; }

    // Changes the edge length of the grid cells (re-indexes every entry).
    void setCellSize(float size);
    // The edge length of the grid cells.
    float cellSize() const { return cell; }

    // Every entry is re-read from its transform before the next query.
    void markStale() { stale = true; }
    // Re-reads every entry's position and bounds now.
    void refreshAll();
    // Re-reads one entity's position and bounds (nothing if it is not indexed).
    void refresh(uint32_t entityId);

    // An indexed entity's components: its first "transform", "collider" and "rigidBody", each
    // null when that component is of another type.
    struct Members {
        vorn::components::Transform* transform = nullptr;
        const vorn::components::Collider* collider = nullptr;
        vorn::components::RigidBody* body = nullptr;
    };
    // A query result: the entity and where its entry sits.
    struct Candidate {
        uint32_t entityId;
        uint32_t slot;
        bool operator<(const Candidate& other) const { return entityId < other.entityId; }
    };

    // Whether the entity is indexed.
    bool tracks(uint32_t entityId) const { return slotOf.count(entityId) != 0; }
    // Number of indexed entities.
    size_t size() const { return slotOf.size(); }
    // The slot of an indexed entity, or -1.
    int64_t slotOfEntity(uint32_t entityId) const;
    // The components kept for the entity in `slot` (valid until the next signal of the world).
    const Members& members(uint32_t slot) const { return entries[slot].members; }
    // Re-reads the position and bounds of the entity in `slot`.
    void refreshSlot(uint32_t slot) { place(slot, false); }

    // Fills `out` with the indexed entities other than `entityId`, with an id above `after`
    // (-1: any), whose boxes overlap the entity's box, in ascending id. False (and `out` empty)
    // when the entity is not indexed.
    bool query(uint32_t entityId, int64_t after, std::vector<Candidate>& out);
    // The same, ids only.
    bool query(uint32_t entityId, int64_t after, std::vector<uint32_t>& out);

private:
    struct Entry {
        uint32_t id = 0;
        bool alive = false;
        Members members;
        // What the box was computed from, to skip unchanged entries cheaply.
        float x = 0.0f;
        float y = 0.0f;
        vorn::components::Bounds local;
        bool bounded = true;
        vorn::components::Bounds box;
        // In the grid, with this cell range; otherwise in `unbounded`.
        bool gridded = false;
        // The box is finite and may be tested (false: always a candidate).
        bool testable = false;
        int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        uint32_t unboundedIndex = UINT32_MAX;
        uint32_t stamp = 0;
    };
    struct CellHash {
        size_t operator()(uint64_t key) const noexcept {
            key ^= key >> 33;
            key *= 0xff51afd7ed558ccdULL;
            key ^= key >> 33;
            return static_cast<size_t>(key);
        }
    };

    void reevaluate(uint32_t entityId);
    void insertOrUpdate(uint32_t entityId, const Members& members);
    void remove(uint32_t entityId);
    // Recomputes the entry's box and moves it between cells as needed.
    void place(uint32_t slot, bool force);
    void unplace(uint32_t slot);
    void addToCells(uint32_t slot);
    void removeFromCells(uint32_t slot);
    uint32_t nextStamp();

    vorn::engine::World* world = nullptr;
    // The world's collection of rigid bodies; membership is read from it.
    const vorn::engine::EntityCollection* rigidBodies = nullptr;
    float cell;
    bool stale = true;
    uint32_t stampCounter = 0;
    std::vector<Entry> entries;
    std::vector<uint32_t> freeSlots;
    std::unordered_map<uint32_t, uint32_t> slotOf;
    std::unordered_map<uint64_t, std::vector<uint32_t>, CellHash> cells;
    std::vector<uint32_t> unbounded;
    std::vector<boost::signals2::scoped_connection> connections;
};

} // namespace vorn::systems
