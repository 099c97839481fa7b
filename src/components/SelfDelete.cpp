#include "components/SelfDelete.hpp"

#include "components/Touch.hpp"
#include "engine/World.hpp"

namespace vorn::components {

SelfDelete::SelfDelete(const std::string& triggerTag, Callback callback)
    : triggerTag(triggerTag), callback(std::move(callback)) {
    addName(componentName);
    updatePriority = 10.0f;
}

void SelfDelete::update(float) {
    vorn::engine::World* world = getWorld();
    // Once queued, the entity is gone at the end of this pass; nothing more to do.
    if (world == nullptr || triggered)
        return;
    if (!Touch::findToucher(*world, handle(), triggerTag))
        return;
    triggered = true;
    if (callback)
        callback(handle());
    world->destroyEntityLater(handle());
}

} // namespace vorn::components
