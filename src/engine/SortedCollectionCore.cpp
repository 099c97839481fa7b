#include "engine/SortedCollectionCore.hpp"

#include "engine/Component.hpp"
#include "engine/World.hpp"

#include <cassert>

namespace vorn::engine {

bool SortedCollectionCore::Entry::operator<(const Entry& other) const {
    if (priority != other.priority)
        return priority < other.priority;
    if (entityId != other.entityId)
        return entityId < other.entityId;
    return arrival < other.arrival;
}

SortedCollectionCore::SortedCollectionCore(World& world, const std::string& name,
                                           PriorityOf priorityOf)
    : priorityOf(priorityOf) {
    world.forEachComponentNamed(name, [this](Component* c) { add(c); });
    addedConnection = world.onComponentAdded(name, [this](Component* c) { add(c); });
    removedConnection = world.onComponentRemoved(name, [this](Component* c) { remove(c); });
}

SortedCollectionCore::~SortedCollectionCore() {
    // A collection destroyed from inside its own walk would leave the walk reading freed entries.
    assert(walks.empty());
}

void SortedCollectionCore::add(Component* component) {
    if (positions.count(component))
        return;
    const auto inserted = entries.insert(
        Entry{priorityOf(*component), component->getEntityId(), nextArrival++, component});
    positions.emplace(component, inserted.first);
}

void SortedCollectionCore::remove(Component* component) {
    const auto found = positions.find(component);
    if (found == positions.end())
        return;
    const EntrySet::iterator position = found->second;
    // A walk about to visit this entry moves on to the one after it.
    for (Walk* walk : walks)
        if (walk->next == position)
            ++walk->next;
    entries.erase(position);
    positions.erase(found);
}

bool SortedCollectionCore::contains(const Component* component) const {
    return positions.count(component) != 0;
}

std::vector<Component*> SortedCollectionCore::toVector() const {
    std::vector<Component*> result;
    result.reserve(entries.size());
    for (const Entry& e : entries)
        result.push_back(e.component);
    return result;
}

} // namespace vorn::engine
