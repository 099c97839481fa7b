#include "components/EnergyBoostObject.hpp"

#include "components/Action.hpp"
#include "components/Energy.hpp"
#include "components/RunRecord.hpp"
#include "components/Touch.hpp"
#include "engine/World.hpp"

namespace vorn::components {

EnergyBoostObject::EnergyBoostObject(float boost) : boost(boost) {
    addName(componentName);
}

void EnergyBoostObject::update(float) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr || used)
        return;
    const auto player = Touch::findToucher(*world, handle(), "player");
    if (!player)
        return;
    used = true;
    ::components::RunRecord::noteTaken(*world, handle(), *player);
    invokeAction(handle(), "deathAction");
    if (auto* energy = world->getComponentAs<Energy>(*player, "energy")) {
        energy->maximum += boost * energy->capacity;
        energy->current = energy->maximum;
    }
}

} // namespace vorn::components
