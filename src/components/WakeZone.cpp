#include "components/WakeZone.hpp"

#include "components/Asleep.hpp"
#include "components/Touch.hpp"
#include "engine/World.hpp"

#include <vector>

namespace components {

WakeZone::WakeZone(const std::string& name) : name(name) {
    addName(componentName);
}

void WakeZone::update(float) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr || woken ||
        !vorn::components::Touch::findToucher(*world, handle(), "player"))
        return;
    woken = true;
    // Gathered first: taking a component away changes the collection being walked.
    std::vector<vorn::engine::Component*> sleepers;
    world->forEachComponentNamed(Asleep::componentName, [&](vorn::engine::Component* component) {
        const auto* asleep = dynamic_cast<const Asleep*>(component);
        if (asleep != nullptr && asleep->wakeName == name)
            sleepers.push_back(component);
    });
    for (vorn::engine::Component* sleeper : sleepers)
        delete world->removeComponent(sleeper);
    world->destroyEntityLater(handle());
}

} // namespace components
