#include "physics/BroadPhase.hpp"

#include "engine/EntityCollection.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/Collider.hpp"
#include "physics/RigidBody.hpp"

#include <algorithm>
#include <cmath>

namespace vorn::systems {

using vorn::components::Bounds;
using vorn::components::Collider;
using vorn::components::RigidBody;
using vorn::components::Transform;
using vorn::engine::EntityHandle;

namespace {
const std::string transformName = "transform";
const std::string colliderName = "collider";
const std::string rigidBodyName = "rigidBody";

// An entry covering more cells than this lives in the unbounded list instead.
constexpr int64_t maxCellsPerEntry = 1024;
// Cell coordinates beyond this are out of the grid's integer range.
constexpr double maxCellCoordinate = 1.0e9;

inline uint64_t cellKey(int32_t x, int32_t y) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(x)) << 32) | static_cast<uint32_t>(y);
}

inline bool overlaps(const Bounds& a, const Bounds& b) {
    return a.min.x <= b.max.x && b.min.x <= a.max.x && a.min.y <= b.max.y && b.min.y <= a.max.y;
}

inline bool finite(const Bounds& b) {
    return std::isfinite(b.min.x) && std::isfinite(b.min.y) && std::isfinite(b.max.x) &&
           std::isfinite(b.max.y);
}
} // namespace

BroadPhase::BroadPhase(float cellSize) : cell(cellSize > 0.0f ? cellSize : 16.0f) {}

BroadPhase::~BroadPhase() {
    detach();
}

void BroadPhase::attach(vorn::engine::World& target) {
    detach();
    world = &target;
    // The collection first: its slots then run before ours on every signal.
    rigidBodies = &world->getEntities(transformName, colliderName, rigidBodyName);
    for (const std::string* name : {&transformName, &colliderName, &rigidBodyName}) {
        connections.emplace_back(world->onComponentAdded(
            *name, [this](vorn::engine::Component* c) { reevaluate(c->entityId); }));
        connections.emplace_back(world->onComponentRemoved(
            *name, [this](vorn::engine::Component* c) { reevaluate(c->entityId); }));
    }
    for (const EntityHandle& entity : *rigidBodies)
        reevaluate(entity.entityId);
    stale = false;
}

void BroadPhase::detach() {
    connections.clear();
    world = nullptr;
    rigidBodies = nullptr;
    entries.clear();
    freeSlots.clear();
    slotOf.clear();
    cells.clear();
    unbounded.clear();
    stale = true;
}

void BroadPhase::setCellSize(float size) {
    if (!(size > 0.0f) || !std::isfinite(size) || size == cell)
        return;
    cell = size;
    for (uint32_t slot = 0; slot < entries.size(); ++slot)
        if (entries[slot].alive)
            unplace(slot);
    cells.clear();
    for (uint32_t slot = 0; slot < entries.size(); ++slot)
        if (entries[slot].alive)
            place(slot, true);
}

void BroadPhase::reevaluate(uint32_t entityId) {
    if (!world)
        return;
    const EntityHandle entity{entityId, world};
    if (!rigidBodies->contains(entity)) {
        remove(entityId);
        return;
    }
    Members found;
    found.transform = world->getComponentAs<Transform>(entity, transformName);
    found.collider = world->getComponentAs<Collider>(entity, colliderName);
    found.body = world->getComponentAs<RigidBody>(entity, rigidBodyName);
    insertOrUpdate(entityId, found);
}

void BroadPhase::insertOrUpdate(uint32_t entityId, const Members& members) {
    uint32_t slot;
    const auto found = slotOf.find(entityId);
    if (found != slotOf.end()) {
        slot = found->second;
    } else {
        if (!freeSlots.empty()) {
            slot = freeSlots.back();
            freeSlots.pop_back();
        } else {
            slot = static_cast<uint32_t>(entries.size());
            entries.emplace_back();
        }
        entries[slot] = Entry{};
        entries[slot].id = entityId;
        entries[slot].alive = true;
        slotOf.emplace(entityId, slot);
    }
    entries[slot].members = members;
    place(slot, true);
}

int64_t BroadPhase::slotOfEntity(uint32_t entityId) const {
    const auto found = slotOf.find(entityId);
    return found == slotOf.end() ? -1 : static_cast<int64_t>(found->second);
}

void BroadPhase::remove(uint32_t entityId) {
    const auto found = slotOf.find(entityId);
    if (found == slotOf.end())
        return;
    const uint32_t slot = found->second;
    unplace(slot);
    entries[slot] = Entry{};
    freeSlots.push_back(slot);
    slotOf.erase(found);
}

void BroadPhase::refresh(uint32_t entityId) {
    const auto found = slotOf.find(entityId);
    if (found != slotOf.end())
        place(found->second, false);
}

void BroadPhase::refreshAll() {
    for (uint32_t slot = 0; slot < entries.size(); ++slot)
        if (entries[slot].alive)
            place(slot, false);
    stale = false;
}

void BroadPhase::unplace(uint32_t slot) {
    Entry& entry = entries[slot];
    if (entry.gridded) {
        removeFromCells(slot);
    } else if (entry.unboundedIndex < unbounded.size() && unbounded[entry.unboundedIndex] == slot) {
        const uint32_t last = unbounded.back();
        unbounded[entry.unboundedIndex] = last;
        entries[last].unboundedIndex = entry.unboundedIndex;
        unbounded.pop_back();
    }
    entry.gridded = false;
    entry.unboundedIndex = UINT32_MAX;
}

void BroadPhase::place(uint32_t slot, bool force) {
    Entry& entry = entries[slot];
    if (!entry.members.transform || !entry.members.collider) {
        // Foreign component types: never skipped, the exact test decides.
        if (force) {
            unplace(slot);
            entry.testable = false;
            entry.unboundedIndex = static_cast<uint32_t>(unbounded.size());
            unbounded.push_back(slot);
        }
        return;
    }
    const float x = entry.members.transform->matrix[3].x;
    const float y = entry.members.transform->matrix[3].y;
    const Bounds& local = entry.members.collider->localBounds();
    const bool bounded = entry.members.collider->contactsStayWithinBounds();
    if (!force && x == entry.x && y == entry.y && local == entry.local && bounded == entry.bounded)
        return;
    entry.x = x;
    entry.y = y;
    entry.local = local;
    entry.bounded = bounded;

    Bounds box{local.min + glm::vec2(x, y), local.max + glm::vec2(x, y)};
    bool gridded = false;
    int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    // A shape whose contacts may reach beyond its box (a concave or self-crossing point list) is
    // never skipped: the exact test decides every pair with it.
    entry.testable = bounded && finite(box);
    if (entry.testable) {
        // The margin covers the rounding of the exact test, which works on coordinates of this
        // magnitude.
        const float magnitude = std::max(std::max(std::fabs(box.min.x), std::fabs(box.min.y)),
                                         std::max(std::fabs(box.max.x), std::fabs(box.max.y)));
        const float pad = 1.0e-3f + 1.0e-5f * magnitude;
        box.min -= glm::vec2(pad, pad);
        box.max += glm::vec2(pad, pad);
        const double cx0 = std::floor(static_cast<double>(box.min.x) / cell);
        const double cy0 = std::floor(static_cast<double>(box.min.y) / cell);
        const double cx1 = std::floor(static_cast<double>(box.max.x) / cell);
        const double cy1 = std::floor(static_cast<double>(box.max.y) / cell);
        if (std::fabs(cx0) < maxCellCoordinate && std::fabs(cy0) < maxCellCoordinate &&
            std::fabs(cx1) < maxCellCoordinate && std::fabs(cy1) < maxCellCoordinate &&
            (cx1 - cx0 + 1.0) * (cy1 - cy0 + 1.0) <= static_cast<double>(maxCellsPerEntry)) {
            gridded = true;
            x0 = static_cast<int32_t>(cx0);
            y0 = static_cast<int32_t>(cy0);
            x1 = static_cast<int32_t>(cx1);
            y1 = static_cast<int32_t>(cy1);
        }
    }
    entry.box = box;
    if (!force && gridded && entry.gridded && x0 == entry.x0 && y0 == entry.y0 && x1 == entry.x1 &&
        y1 == entry.y1)
        return; // same cells: only the box changed
    unplace(slot);
    if (gridded) {
        entry.gridded = true;
        entry.x0 = x0;
        entry.y0 = y0;
        entry.x1 = x1;
        entry.y1 = y1;
        addToCells(slot);
    } else {
        entry.unboundedIndex = static_cast<uint32_t>(unbounded.size());
        unbounded.push_back(slot);
    }
}

void BroadPhase::addToCells(uint32_t slot) {
    const Entry& entry = entries[slot];
    for (int32_t cy = entry.y0; cy <= entry.y1; ++cy)
        for (int32_t cx = entry.x0; cx <= entry.x1; ++cx)
            cells[cellKey(cx, cy)].push_back(slot);
}

void BroadPhase::removeFromCells(uint32_t slot) {
    const Entry& entry = entries[slot];
    for (int32_t cy = entry.y0; cy <= entry.y1; ++cy) {
        for (int32_t cx = entry.x0; cx <= entry.x1; ++cx) {
            const auto found = cells.find(cellKey(cx, cy));
            if (found == cells.end())
                continue;
            std::vector<uint32_t>& list = found->second;
            const auto at = std::find(list.begin(), list.end(), slot);
            if (at != list.end()) {
                *at = list.back();
                list.pop_back();
            }
            // Empty cells stay allocated: bodies come back to the same places frame after frame.
        }
    }
}

uint32_t BroadPhase::nextStamp() {
    if (++stampCounter == 0) {
        for (Entry& entry : entries)
            entry.stamp = 0;
        stampCounter = 1;
    }
    return stampCounter;
}

bool BroadPhase::query(uint32_t entityId, int64_t after, std::vector<Candidate>& out) {
    out.clear();
    if (stale)
        refreshAll();
    const auto found = slotOf.find(entityId);
    if (found == slotOf.end())
        return false;
    const Entry& self = entries[found->second];
    const auto wanted = [&](const Entry& other) {
        return other.alive && other.id != entityId && static_cast<int64_t>(other.id) > after;
    };
    if (!self.gridded) {
        // An unbounded entity meets everything: let the exact test decide.
        for (uint32_t slot = 0; slot < entries.size(); ++slot)
            if (wanted(entries[slot]))
                out.push_back(Candidate{entries[slot].id, slot});
    } else {
        const uint32_t stamp = nextStamp();
        for (int32_t cy = self.y0; cy <= self.y1; ++cy) {
            for (int32_t cx = self.x0; cx <= self.x1; ++cx) {
                const auto cellFound = cells.find(cellKey(cx, cy));
                if (cellFound == cells.end())
                    continue;
                for (const uint32_t slot : cellFound->second) {
                    Entry& other = entries[slot];
                    if (other.stamp == stamp)
                        continue;
                    other.stamp = stamp;
                    if (wanted(other) && overlaps(other.box, self.box))
                        out.push_back(Candidate{other.id, slot});
                }
            }
        }
        for (const uint32_t slot : unbounded) {
            const Entry& other = entries[slot];
            if (wanted(other) && (!other.testable || overlaps(other.box, self.box)))
                out.push_back(Candidate{other.id, slot});
        }
    }
    std::sort(out.begin(), out.end());
    return true;
}

bool BroadPhase::query(uint32_t entityId, int64_t after, std::vector<uint32_t>& out) {
    std::vector<Candidate> found;
    const bool indexed = query(entityId, after, found);
    out.clear();
    for (const Candidate& c : found)
        out.push_back(c.entityId);
    return indexed;
}

} // namespace vorn::systems
