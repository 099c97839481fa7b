#pragma once

#include "engine/EntityHandle.hpp"

#include <cstdint>
#include <string>
#include <unordered_set>

namespace vorn::engine {

class World;

// Base of everything that lives in a scene. A component answers to a set of names (siblings find
// it by name, never by type), belongs to one entity of one world, and is driven by the world
// through the virtual operations below.
//
// Lifetime: constructed outside any world; added to an entity (the world owns it from then on);
// initialize() runs once, the first time it is live in an active world, and onActivated() after it
// and again at every start of its world; onRemoved() runs when it is taken out of its world while
// its siblings are still reachable. A world that is destroyed deletes its components without
// calling onRemoved().
class Component {
public:
    // The names the world's two passes walk: components answering "behavior" are updated every
    // frame, those answering "renderer" draw every frame.
    inline static const std::string updatePassName = "behavior";
    inline static const std::string renderPassName = "renderer";

    Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;
    virtual ~Component();

    // Runs once in the component's life, before its first onActivated().
    virtual void initialize() {}
    // Runs after initialize() and every time the component's world is started.
    virtual void onActivated() {}
    // Runs when the component is taken out of its world, before the world forgets it.
    virtual void onRemoved() {}
    // Per-frame work of components answering "behavior".
    virtual void update(float dt) { (void)dt; }
    // Per-frame drawing of components answering "renderer".
    virtual void render(float dt) { (void)dt; }

    // Adds a name the component answers to. Names must all be added before the component joins
    // a world: the world indexes it once, when it is added.
    void addName(const std::string& name);
    // Whether the component answers to `name`.
    bool hasName(const std::string& name) const;
    // Every name the component answers to.
    const std::unordered_set<std::string>& getNames() const { return names; }

    // The (entity id, world) pair the component belongs to.
    EntityHandle handle() const { return EntityHandle{entityId, world}; }
    // The world the component belongs to, or null while it is in none.
    World* getWorld() const { return world; }
    // The id of the entity the component belongs to (0: the world's own entity).
    uint32_t getEntityId() const { return entityId; }
    // Whether initialize() has run.
    bool isInitialized() const { return initialized; }

    // Strict weak order of the update pass: priority, then entity id, then address (the sorted
    // collections break that last tie by arrival instead, so passes repeat from run to run).
    struct CompareByUpdatePriority {
        bool operator()(const Component* a, const Component* b) const;
        static float priorityOf(const Component& c) { return c.updatePriority; }
    };
    // Strict weak order of the render pass: priority, then entity id, then address (see above).
    struct CompareByRenderPriority {
        bool operator()(const Component* a, const Component* b) const;
        static float priorityOf(const Component& c) { return c.renderPriority; }
    };

    float updatePriority = 0.0f;
    float renderPriority = 0.0f;

private:
    // Bookkeeping that only the world changes: where the component lives and whether it has been
    // initialised.
    friend class World;
    World* world = nullptr;
    uint32_t entityId = 0;
    bool initialized = false;
    std::unordered_set<std::string> names;
    // Order in which the component joined its world; gives start() a repeatable order.
    uint64_t joinSequence = 0;
};

} // namespace vorn::engine
