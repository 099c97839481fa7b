#pragma once

#include "engine/EntityHandle.hpp"

#include "engine/ScopedConnection.hpp"

#include <set>
#include <string>
#include <vector>

namespace vorn::engine {

class Component;
class World;

// The live set of the entities of one world that carry every one of a set of names (each name
// answered by at least one of the entity's components), iterated in ascending entity id. The
// world keeps it current through its added and removed signals: an entity joins the moment it
// gains its last missing name and leaves the moment it loses one. The world's own entity (id 0)
// is an entity like any other here: it is in the collection whenever it carries every name,
// whether the collection was made before or after its components joined.
class EntityCollection {
public:
    using Set = std::set<EntityHandle>;

    // Scans the live entities of `world` and follows its signals for every name from then on.
    EntityCollection(World& world, const std::set<std::string>& names);
    EntityCollection(const EntityCollection&) = delete;
    EntityCollection& operator=(const EntityCollection&) = delete;

    Set::const_iterator begin() const { return entities.begin(); }
    Set::const_iterator end() const { return entities.end(); }
    size_t size() const { return entities.size(); }
    bool empty() const { return entities.empty(); }
    bool contains(EntityHandle h) const { return entities.count(h) != 0; }
    // The first entity in id order; only valid when not empty.
    EntityHandle front() const { return *entities.begin(); }
    const std::set<std::string>& getNames() const { return names; }

private:
    bool hasAllNames(EntityHandle entity) const;
    void onAdded(Component* component);
    void onRemoved(Component* component);

    World& world;
    std::set<std::string> names;
    Set entities;
    std::vector<ScopedConnection> connections;
};

} // namespace vorn::engine
