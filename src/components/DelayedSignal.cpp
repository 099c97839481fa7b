#include "components/DelayedSignal.hpp"

#include "engine/World.hpp"

#include <utility>

namespace vorn::components {

DelayedSignal::DelayedSignal(float seconds, Callback callback)
    : callback(std::move(callback)), delay(seconds), remaining(seconds) {
    addName(componentName);
}

void DelayedSignal::update(float dt) {
    remaining -= dt;
    if (!(remaining < 0.0f))
        return;
    vorn::engine::World* world = getWorld();
    const vorn::engine::EntityHandle self = handle();
    // A copy runs, so that the function survives its component being deleted by it.
    if (const Callback call = callback)
        call(self);
    // The callback may have destroyed the entity, and this component with it: only a component
    // still found among its entity's components (compared by address, never dereferenced) takes
    // itself out. Nothing of `this` is touched after the delete.
    if (world == nullptr || !world->isLive(self))
        return;
    for (vorn::engine::Component* c : world->getEntityComponents(self))
        if (c == this) {
            delete world->removeComponent(this);
            return;
        }
}

} // namespace vorn::components
