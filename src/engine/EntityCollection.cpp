#include "engine/EntityCollection.hpp"

#include "engine/World.hpp"

namespace vorn::engine {

EntityCollection::EntityCollection(World& world, const std::set<std::string>& names)
    : world(world), names(names) {
    // The world's own entity (id 0) is never created, so it is not among the live entities; it
    // carries components all the same, and the signals below admit it, so the scan does too.
    const EntityHandle worldEntity{0, &world};
    if (hasAllNames(worldEntity))
        entities.insert(worldEntity);
    for (const EntityHandle& entity : world.liveEntities())
        if (hasAllNames(entity))
            entities.insert(entity);
    for (const std::string& name : names) {
        connections.emplace_back(
            world.onComponentAdded(name, [this](Component* c) { onAdded(c); }));
        connections.emplace_back(
            world.onComponentRemoved(name, [this](Component* c) { onRemoved(c); }));
    }
}

bool EntityCollection::hasAllNames(EntityHandle entity) const {
    for (const std::string& name : names)
        if (world.getComponents(entity, name).empty())
            return false;
    return true;
}

void EntityCollection::onAdded(Component* component) {
    const EntityHandle entity = component->handle();
    if (entities.count(entity) || !hasAllNames(entity))
        return;
    entities.insert(entity);
}

void EntityCollection::onRemoved(Component* component) {
    const EntityHandle entity = component->handle();
    if (!entities.count(entity) || hasAllNames(entity))
        return;
    entities.erase(entity);
}

} // namespace vorn::engine
