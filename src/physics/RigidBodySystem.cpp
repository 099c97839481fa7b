#include "physics/RigidBodySystem.hpp"

#include "engine/World.hpp"
#include "physics/RigidBody.hpp"

namespace vorn::systems {

RigidBodySystem::RigidBodySystem() {
    addName(componentName);
    updatePriority = 100.0f;
}

RigidBodySystem::~RigidBodySystem() = default;

void RigidBodySystem::initialize() {
    attach();
}

void RigidBodySystem::attach() {
    if (!getWorld() || attachedWorld == getWorld())
        return;
    detach();
    attachedWorld = getWorld();
    getWorld()->forEachComponentNamed(vorn::components::RigidBody::componentName,
                                      [this](vorn::engine::Component* c) { addBody(c); });
    connections.emplace_back(
        getWorld()->onComponentAdded(vorn::components::RigidBody::componentName,
                                     [this](vorn::engine::Component* c) { addBody(c); }));
    connections.emplace_back(
        getWorld()->onComponentRemoved(vorn::components::RigidBody::componentName,
                                       [this](vorn::engine::Component* c) { removeBody(c); }));
    if (useBroadPhase)
        index.attach(*getWorld());
}

void RigidBodySystem::detach() {
    connections.clear();
    for (vorn::components::RigidBody* body : bodies)
        if (body->system == this)
            body->system = nullptr;
    bodies.clear();
    bodyIndex.clear();
    index.detach();
    attachedWorld = nullptr;
}

void RigidBodySystem::onRemoved() {
    detach();
}

void RigidBodySystem::addBody(vorn::engine::Component* component) {
    auto* body = dynamic_cast<vorn::components::RigidBody*>(component);
    if (!body || bodyIndex.count(component))
        return;
    bodyIndex.emplace(component, bodies.size());
    bodies.push_back(body);
}

void RigidBodySystem::removeBody(vorn::engine::Component* component) {
    const auto found = bodyIndex.find(component);
    if (found == bodyIndex.end())
        return;
    const size_t at = found->second;
    bodyIndex.erase(found);
    if (at + 1 != bodies.size()) {
        bodies[at] = bodies.back();
        bodyIndex[bodies[at]] = at;
    }
    bodies.pop_back();
}

void RigidBodySystem::setBroadPhaseEnabled(bool enabled) {
    useBroadPhase = enabled;
    if (!enabled)
        index.detach();
    else if (attachedWorld && index.attachedWorld() != attachedWorld)
        index.attach(*attachedWorld);
}

BroadPhase* RigidBodySystem::broadPhase() {
    attach();
    if (!useBroadPhase || !attachedWorld)
        return nullptr;
    return &index;
}

void RigidBodySystem::update(float) {
    attach();
    for (vorn::components::RigidBody* body : bodies)
        body->contacts.clear();
    index.markStale();
}

} // namespace vorn::systems
