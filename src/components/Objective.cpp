#include "components/Objective.hpp"

#include "components/SceneBuilders.hpp"
#include "components/Touch.hpp"
#include "engine/Application.hpp"
#include "engine/Diagnostics.hpp"
#include "engine/World.hpp"

namespace components {

Objective::Objective() {
    addName(componentName);
    updatePriority = 1.0f;
}

void Objective::update(float) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr || reached)
        return;
    const auto player = vorn::components::Touch::findToucher(*world, handle(), "player");
    if (!player)
        return;
    std::shared_ptr<vorn::engine::World> credits =
        world->application() != nullptr ? SceneBuilders::buildFinish(*world, *player) : nullptr;
    if (!credits) {
        if (!reported)
            vorn::engine::Diagnostics::err() << "The objective has no credits to show yet\n";
        reported = true;
        return;
    }
    reached = true;
    world->application()->setWorld(credits);
}

} // namespace components
