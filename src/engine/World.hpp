#pragma once

#include "engine/Component.hpp"
#include "engine/Connection.hpp"
#include "engine/EntityHandle.hpp"
#include "engine/Signal.hpp"

#include <SFML/Window/Event.hpp>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace vorn::engine {

class Application;
class ComponentCollection;
class EntityCollection;
template <class Compare> class SortedComponentCollection;

// One scene: it owns the scene's components, groups them into entities, indexes them by name so
// that components find their siblings, and runs the update and render passes.
//
// Ownership and lifetime: the world deletes a component when its entity is destroyed or when the
// world itself is destroyed (then without onRemoved()). A world is inactive until it is handed to
// the Application, which sets `application` and calls start(); from then on every added component
// is initialised and activated as it joins.
//
// Pass order: the update pass visits components answering "behavior" in ascending update priority
// (ties by entity id, then address), then destroys the entities queued with destroyEntityLater in
// queue order; the render pass visits "renderer" components in render-priority order. A component
// removed before a pass reaches it is not visited; entities may be queued while the queue is being
// worked off. A paused world's update pass skips the behaviours and only works off the queue: it
// stands still, is drawn as it stands and still receives input.
class World {
public:
    using ComponentList = std::vector<Component*>;
    using ComponentSignal = Signal<void(Component*)>;
    using MouseButtonSignal = Signal<void(const sf::Event::MouseButtonEvent&)>;
    using KeySignal = Signal<void(const sf::Event::KeyEvent&)>;

    World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;
    ~World();

    // Creates an entity with the next id (1, 2, 3, ...; ids are never reused).
    EntityHandle createEntity();
    // Adds a component to an entity; the world takes ownership. A component in another world is
    // removed from it first.
    void addComponent(EntityHandle entity, Component* component);
    // Adds a world-wide system to the world's own entity, id 0.
    void addComponent(Component* component);
    // Takes a component out of the world and hands ownership back to the caller.
    Component* removeComponent(Component* component);
    // Removes and deletes an entity's first component answering `name`; false if there is none.
    bool deleteComponent(EntityHandle entity, const std::string& name);

    // The entity's components answering `name`, in the order they joined (possibly empty).
    const ComponentList& getComponents(EntityHandle entity, const std::string& name) const;
    // The entity's first component answering `name`, or null.
    Component* getComponent(EntityHandle entity, const std::string& name) const;
    // The first component answering `name`, cast to T; null if missing or of another type.
    template <class T> T* getComponentAs(EntityHandle entity, const std::string& name) const {
        return dynamic_cast<T*>(getComponent(entity, name));
    }
    // Every component of an entity, in the order they joined.
    const ComponentList& getEntityComponents(EntityHandle entity) const;

    // Destroys an entity at once: removes and deletes its components.
    void destroyEntity(EntityHandle entity);
    // Queues an entity for destruction after the current update pass.
    void destroyEntityLater(EntityHandle entity);

    // The cached live collection of entities carrying name1 and names 2 to 5 up to the first
    // empty one.
    EntityCollection& getEntities(const std::string& name1, const std::string& name2 = "",
                                  const std::string& name3 = "", const std::string& name4 = "",
                                  const std::string& name5 = "");
    // The cached live collection of entities carrying every name of the set.
    EntityCollection& getEntities(const std::set<std::string>& names);
    // The cached live collection of every component answering `name`.
    ComponentCollection& getComponentCollection(const std::string& name);

    // Connects a slot to the signal emitted when a component answering `name` joins.
    Connection onComponentAdded(const std::string& name, ComponentSignal::Slot slot);
    // Connects a slot to the signal emitted when a component answering `name` leaves.
    Connection onComponentRemoved(const std::string& name, ComponentSignal::Slot slot);
    // Calls f for every component answering `name`, in the order they joined the world.
    void forEachComponentNamed(const std::string& name,
                               const std::function<void(Component*)>& f) const;

    // Initialises (once) and activates every component.
    void start();
    // The update pass (unless paused), then the queued destructions.
    void update(float dt);
    // Stops or restarts the behaviours: the game's pause.
    void setPaused(bool on) { paused = on; }
    bool isPaused() const { return paused; }
    // The render pass.
    void render(float dt);

    // The Application that owns this world, or null while the world is inactive.
    Application* application() const { return app; }
    // Marks the world active (non-null) under an Application.
    void setApplication(Application* application) { app = application; }
    bool isActive() const { return app != nullptr; }

    // Entities created and not destroyed, in id order.
    const std::set<EntityHandle>& liveEntities() const { return live; }
    // Whether the entity was created and not yet destroyed.
    bool isLive(EntityHandle entity) const { return live.count(entity) != 0; }
    // Number of components in the world.
    size_t componentCount() const { return components.size(); }
    // Entities queued for destruction and not yet destroyed.
    const std::vector<EntityHandle>& pendingDestroy() const { return pending; }

    MouseButtonSignal mouseButtonPressed;
    MouseButtonSignal mouseButtonReleased;
    KeySignal keyPressed;
    KeySignal keyReleased;

private:
    ComponentSignal& addedSignal(const std::string& name);
    ComponentSignal& removedSignal(const std::string& name);
    void
    emitIfPresent(const std::unordered_map<std::string, std::unique_ptr<ComponentSignal>>& signals,
                  const std::string& name, Component* component);

    Application* app = nullptr;
    bool paused = false;
    uint32_t nextId = 1;
    uint64_t nextJoinSequence = 1;

    // Every component, by the order it joined; the world owns them.
    std::map<uint64_t, Component*> components;
    std::unordered_map<std::string, std::unordered_map<uint32_t, ComponentList>> nameIndex;
    std::unordered_map<uint32_t, ComponentList> entityIndex;
    std::unordered_map<std::string, std::unique_ptr<ComponentSignal>> addedSignals;
    std::unordered_map<std::string, std::unique_ptr<ComponentSignal>> removedSignals;
    std::map<std::set<std::string>, std::unique_ptr<EntityCollection>> entityCollections;
    std::map<std::string, std::unique_ptr<ComponentCollection>> componentCollections;
    std::set<EntityHandle> live;
    std::vector<EntityHandle> pending;

    std::unique_ptr<SortedComponentCollection<Component::CompareByUpdatePriority>> updateOrder;
    std::unique_ptr<SortedComponentCollection<Component::CompareByRenderPriority>> renderOrder;
};

} // namespace vorn::engine
