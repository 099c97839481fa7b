#pragma once

#include "engine/ScopedConnection.hpp"

#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace vorn::engine {

class Component;
class World;

// The untyped heart of SortedComponentCollection: the components of one world that answer one
// name, ordered by a priority read once, when each component enters (changing a priority later
// does not move the component), then by entity id, then by address.
//
// Walking is safe against changes made by the components being visited: a component removed
// (or deleted) before the walk reaches it is simply not visited, and one added behind the walk's
// next position is visited in the same walk.
class SortedCollectionCore {
public:
    using PriorityOf = float (*)(const Component&);

    SortedCollectionCore(World& world, const std::string& name, PriorityOf priorityOf);
    SortedCollectionCore(const SortedCollectionCore&) = delete;
    SortedCollectionCore& operator=(const SortedCollectionCore&) = delete;
    ~SortedCollectionCore();

    // Inserts a component (nothing if it is already in).
    void add(Component* component);
    // Erases a component (nothing if it is not in).
    void remove(Component* component);
    // Whether the component is in the collection.
    bool contains(const Component* component) const;
    size_t size() const { return entries.size(); }
    bool empty() const { return entries.empty(); }

    // Calls f(component) for each component in order; the successor is fetched before each call.
    // A walk stays registered only while it runs: when f throws, it is unregistered on the way
    // out, so later removals never touch it.
    template <class F> void forEach(F&& f) {
        Walk walk{entries.begin()};
        const WalkRegistration registration(walks, walk);
        while (walk.next != entries.end()) {
            Component* current = walk.next->component;
            ++walk.next;
            f(current);
        }
    }

    // Number of walks in progress (nested walks count once each).
    size_t activeWalks() const { return walks.size(); }

    // The components in order, as a snapshot.
    std::vector<Component*> toVector() const;

private:
    // Ties of priority and entity are broken by the order in which components entered the
    // collection, which follows the world's join order: never by address, which changes from
    // run to run and would make runs at a fixed time step differ.
    struct Entry {
        float priority;
        uint32_t entityId;
        uint64_t arrival;
        Component* component;
        bool operator<(const Entry& other) const;
    };
    using EntrySet = std::set<Entry>;
    struct Walk {
        EntrySet::iterator next;
    };
    // Registers a walk for as long as it lives. Walks nest, so the innermost is always last.
    class WalkRegistration {
    public:
        WalkRegistration(std::vector<Walk*>& walks, Walk& walk) : walks(walks) {
            walks.push_back(&walk);
        }
        WalkRegistration(const WalkRegistration&) = delete;
        WalkRegistration& operator=(const WalkRegistration&) = delete;
        ~WalkRegistration() { walks.pop_back(); }

    private:
        std::vector<Walk*>& walks;
    };

    PriorityOf priorityOf;
    uint64_t nextArrival = 0;
    EntrySet entries;
    std::unordered_map<const Component*, EntrySet::iterator> positions;
    std::vector<Walk*> walks;
    ScopedConnection addedConnection;
    ScopedConnection removedConnection;
};

} // namespace vorn::engine
