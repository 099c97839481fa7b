#pragma once

#include "engine/ScopedConnection.hpp"

#include <set>
#include <string>

namespace vorn::engine {

class Component;
class World;

// The live set of the components of one world that answer one name, in no particular order
// (identity order), kept current through the world's added and removed signals for that name.
class ComponentCollection {
public:
    using Set = std::set<Component*>;

    // Scans `world` for components answering `name` and follows its signals from then on.
    ComponentCollection(World& world, const std::string& name);
    ComponentCollection(const ComponentCollection&) = delete;
    ComponentCollection& operator=(const ComponentCollection&) = delete;

    Set::const_iterator begin() const { return components.begin(); }
    Set::const_iterator end() const { return components.end(); }
    size_t size() const { return components.size(); }
    bool empty() const { return components.empty(); }
    bool contains(Component* c) const { return components.count(c) != 0; }

private:
    Set components;
    ScopedConnection addedConnection;
    ScopedConnection removedConnection;
};

} // namespace vorn::engine
