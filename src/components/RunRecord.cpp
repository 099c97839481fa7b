#include "components/RunRecord.hpp"

#include "components/PickupId.hpp"
#include "engine/World.hpp"

namespace components {

RunRecord::RunRecord() {
    addName(componentName);
}

void RunRecord::update(float dt) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr)
        return;
    time += dt;
    const bool dead = world->getComponent(handle(), "dead") != nullptr;
    if (dead && !wasDead)
        ++deaths;
    wasDead = dead;
}

void RunRecord::noteTaken(vorn::engine::World& world, vorn::engine::EntityHandle pickup,
                          vorn::engine::EntityHandle taker) {
    const auto* id = world.getComponentAs<PickupId>(pickup, PickupId::componentName);
    auto* record = world.getComponentAs<RunRecord>(taker, componentName);
    if (id == nullptr || record == nullptr)
        return;
    if (record->taken[record->area].insert(id->number).second && id->kind == "shiny")
        ++record->shinies;
}

bool RunRecord::isTaken(const std::string& levelFile, int number) const {
    const auto found = taken.find(levelFile);
    return found != taken.end() && found->second.count(number) != 0;
}

} // namespace components
