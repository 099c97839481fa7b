#include "components/PlayerDeathAction.hpp"

#include "components/DelayedSignal.hpp"
#include "components/PlayerReactions.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"

namespace components {

PlayerDeathAction::PlayerDeathAction() : Action(componentName) {}

void PlayerDeathAction::perform() {
    vorn::engine::World* world = getWorld();
    if (world == nullptr || world->getComponent(handle(), "dead") != nullptr)
        return;
    world->addComponent(handle(), new vorn::components::Label("dead"));
    if (const auto* transform = world->getComponentAs<vorn::components::Transform>(
            handle(), vorn::components::Transform::componentName))
        deathSound.play(transform->position());
    world->addComponent(handle(), new vorn::components::DelayedSignal(2.0f, respawn));
}

} // namespace components
