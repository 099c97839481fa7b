#include "engine/World.hpp"

#include "engine/ComponentCollection.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/SortedComponentCollection.hpp"

#include <algorithm>
#include <cassert>

namespace vorn::engine {

namespace {
const World::ComponentList emptyList;

void eraseFrom(World::ComponentList& list, Component* component) {
    const auto found = std::find(list.begin(), list.end(), component);
    if (found != list.end())
        list.erase(found);
}
} // namespace

World::World() {
    updateOrder = std::make_unique<SortedComponentCollection<Component::CompareByUpdatePriority>>(
        *this, Component::updatePassName);
    renderOrder = std::make_unique<SortedComponentCollection<Component::CompareByRenderPriority>>(
        *this, Component::renderPassName);
}

World::~World() {
    // Collections first, so that deleting components emits into no one; then the passes; then the
    // components themselves, without onRemoved(); the indexes and signals go last.
    entityCollections.clear();
    componentCollections.clear();
    updateOrder.reset();
    renderOrder.reset();
    std::map<uint64_t, Component*> owned;
    owned.swap(components);
    for (auto& entry : owned) {
        entry.second->world = nullptr;
        delete entry.second;
    }
}

EntityHandle World::createEntity() {
    const EntityHandle entity{nextId++, this};
    live.insert(entity);
    return entity;
}

void World::addComponent(EntityHandle entity, Component* component) {
    if (!component)
        return;
    if (component->world)
        component->world->removeComponent(component);
    // Out of every world now: not indexed anywhere, so it holds no join number.
    assert(component->world == nullptr && component->joinSequence == 0);
    component->entityId = entity.entityId;
    component->world = this;
    if (app) {
        if (!component->initialized) {
            component->initialized = true;
            component->initialize();
        }
        component->onActivated();
    }
    // initialize() or onActivated() may have moved the component elsewhere, removed it, or removed
    // and re-added it (then it is indexed already); only index it if it is still ours and
    // unindexed.
    if (component->world != this || component->joinSequence != 0)
        return;
    component->joinSequence = nextJoinSequence++;
    components.emplace(component->joinSequence, component);
    entityIndex[component->entityId].push_back(component);
    for (const std::string& name : component->names) {
        nameIndex[name][component->entityId].push_back(component);
        emitIfPresent(addedSignals, name, component);
    }
}

void World::addComponent(Component* component) {
    addComponent(EntityHandle{0, this}, component);
}

Component* World::removeComponent(Component* component) {
    if (!component || component->world != this)
        return component;
    component->onRemoved();
    const auto entityEntry = entityIndex.find(component->entityId);
    if (entityEntry != entityIndex.end()) {
        eraseFrom(entityEntry->second, component);
        if (entityEntry->second.empty())
            entityIndex.erase(entityEntry);
    }
    for (const std::string& name : component->names) {
        const auto byName = nameIndex.find(name);
        if (byName != nameIndex.end()) {
            const auto byEntity = byName->second.find(component->entityId);
            if (byEntity != byName->second.end()) {
                eraseFrom(byEntity->second, component);
                if (byEntity->second.empty())
                    byName->second.erase(byEntity);
            }
        }
        emitIfPresent(removedSignals, name, component);
    }
    // Only the entry that holds this component: one removed before it was indexed (from inside its
    // initialize() or onActivated()) has no entry of its own.
    const auto joined = components.find(component->joinSequence);
    if (joined != components.end() && joined->second == component)
        components.erase(joined);
    component->joinSequence = 0;
    component->world = nullptr;
    return component;
}

bool World::deleteComponent(EntityHandle entity, const std::string& name) {
    Component* component = getComponent(entity, name);
    if (!component)
        return false;
    delete removeComponent(component);
    return true;
}

const World::ComponentList& World::getComponents(EntityHandle entity,
                                                 const std::string& name) const {
    const auto byName = nameIndex.find(name);
    if (byName == nameIndex.end())
        return emptyList;
    const auto byEntity = byName->second.find(entity.entityId);
    if (byEntity == byName->second.end())
        return emptyList;
    return byEntity->second;
}

Component* World::getComponent(EntityHandle entity, const std::string& name) const {
    const ComponentList& list = getComponents(entity, name);
    return list.empty() ? nullptr : list.front();
}

const World::ComponentList& World::getEntityComponents(EntityHandle entity) const {
    const auto found = entityIndex.find(entity.entityId);
    return found == entityIndex.end() ? emptyList : found->second;
}

void World::destroyEntity(EntityHandle entity) {
    for (;;) {
        const auto found = entityIndex.find(entity.entityId);
        if (found == entityIndex.end() || found->second.empty())
            break;
        Component* component = found->second.back();
        delete removeComponent(component);
    }
    if (entity.entityId != 0)
        live.erase(entity);
}

void World::destroyEntityLater(EntityHandle entity) {
    pending.push_back(entity);
}

EntityCollection& World::getEntities(const std::string& name1, const std::string& name2,
                                     const std::string& name3, const std::string& name4,
                                     const std::string& name5) {
    std::set<std::string> names{name1};
    for (const std::string* name : {&name2, &name3, &name4, &name5}) {
        if (name->empty())
            break;
        names.insert(*name);
    }
    return getEntities(names);
}

EntityCollection& World::getEntities(const std::set<std::string>& names) {
    auto& slot = entityCollections[names];
    if (!slot)
        slot = std::make_unique<EntityCollection>(*this, names);
    return *slot;
}

ComponentCollection& World::getComponentCollection(const std::string& name) {
    auto& slot = componentCollections[name];
    if (!slot)
        slot = std::make_unique<ComponentCollection>(*this, name);
    return *slot;
}

World::ComponentSignal& World::addedSignal(const std::string& name) {
    auto& slot = addedSignals[name];
    if (!slot)
        slot = std::make_unique<ComponentSignal>();
    return *slot;
}

World::ComponentSignal& World::removedSignal(const std::string& name) {
    auto& slot = removedSignals[name];
    if (!slot)
        slot = std::make_unique<ComponentSignal>();
    return *slot;
}

void World::emitIfPresent(
    const std::unordered_map<std::string, std::unique_ptr<ComponentSignal>>& signals,
    const std::string& name, Component* component) {
    const auto found = signals.find(name);
    if (found != signals.end())
        (*found->second)(component);
}

Connection World::onComponentAdded(const std::string& name, ComponentSignal::Slot slot) {
    return addedSignal(name).connect(std::move(slot));
}

Connection World::onComponentRemoved(const std::string& name, ComponentSignal::Slot slot) {
    return removedSignal(name).connect(std::move(slot));
}

void World::forEachComponentNamed(const std::string& name,
                                  const std::function<void(Component*)>& f) const {
    for (const auto& entry : components)
        if (entry.second->hasName(name))
            f(entry.second);
}

void World::start() {
    // Snapshot first: components that initialize() adds are activated as they join and must not
    // be activated a second time here; components removed meanwhile are skipped.
    std::vector<uint64_t> order;
    order.reserve(components.size());
    for (const auto& entry : components)
        order.push_back(entry.first);
    for (const uint64_t sequence : order) {
        const auto found = components.find(sequence);
        if (found == components.end())
            continue;
        Component* component = found->second;
        if (!component->initialized) {
            component->initialized = true;
            component->initialize();
            // initialize() may have removed the component, or deleted it with its entity: only
            // the index can say whether it is still here, the component itself may be gone.
            const auto still = components.find(sequence);
            if (still == components.end() || still->second != component)
                continue;
        }
        assert(component->world == this);
        component->onActivated();
    }
}

void World::update(float dt) {
    if (!paused)
        updateOrder->forEach([dt](Component* c) { c->update(dt); });
    // Destroying an entity may queue more; an index walk picks those up too.
    for (size_t i = 0; i < pending.size(); ++i)
        destroyEntity(pending[i]);
    pending.clear();
}

void World::render(float dt) {
    renderOrder->forEach([dt](Component* c) { c->render(dt); });
}

} // namespace vorn::engine
