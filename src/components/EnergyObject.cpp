#include "components/EnergyObject.hpp"

#include "components/Energy.hpp"
#include "components/Touch.hpp"
#include "engine/World.hpp"

namespace vorn::components {

EnergyObject::EnergyObject() {
    addName(componentName);
}

void EnergyObject::update(float) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr)
        return;
    const auto player = Touch::findToucher(*world, handle(), "player");
    if (!player)
        return;
    if (auto* energy = world->getComponentAs<Energy>(*player, "energy"))
        energy->current = energy->maximum;
}

} // namespace vorn::components
