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
    if (callback)
        callback(handle());
    // The callback may have destroyed the entity (and with it this component's membership); only
    // a component still in a world removes itself. Nothing of `this` is touched after the delete.
    if (vorn::engine::World* world = getWorld())
        delete world->removeComponent(this);
}

} // namespace vorn::components
