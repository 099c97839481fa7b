#include "engine/ComponentCollection.hpp"

#include "engine/World.hpp"

namespace vorn::engine {

ComponentCollection::ComponentCollection(World& world, const std::string& name) {
    world.forEachComponentNamed(name, [this](Component* c) { components.insert(c); });
    addedConnection = world.onComponentAdded(name, [this](Component* c) { components.insert(c); });
    removedConnection =
        world.onComponentRemoved(name, [this](Component* c) { components.erase(c); });
}

} // namespace vorn::engine
