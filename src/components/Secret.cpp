#include "components/Secret.hpp"

#include "components/PromptZone.hpp"
#include "components/RunRecord.hpp"
#include "components/Score.hpp"
#include "components/Touch.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"

#include <optional>

namespace components {

Secret::Secret(const std::string& soundName, const glm::vec2& size) : sound(soundName), size(size) {
    addName(componentName);
}

void Secret::update(float) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr || found)
        return;
    const std::optional<vorn::engine::EntityHandle> toucher =
        vorn::components::Touch::findToucher(*world, handle(), "player");
    if (!toucher || world->getComponent(*toucher, "dead") != nullptr)
        return;
    auto* score = world->getComponentAs<vorn::components::Score>(
        *toucher, vorn::components::Score::componentName);
    if (score == nullptr)
        return;
    found = true;
    ++score->secrets;
    RunRecord::noteTaken(*world, handle(), *toucher);
    if (const auto* transform = world->getComponentAs<vorn::components::Transform>(
            handle(), vorn::components::Transform::componentName))
        sound.play(transform->position());
    announce(score->secrets);
}

void Secret::markFound() {
    if (found)
        return;
    found = true;
    announce(0);
}

void Secret::announce(int secretsSoFar) {
    if (getWorld() == nullptr || getWorld()->getComponent(handle(), PromptZone::componentName))
        return;
    const std::string line =
        secretsSoFar > 0 ? "A secret place! (" + std::to_string(secretsSoFar) + " found so far)"
                         : "A secret place, found before";
    getWorld()->addComponent(handle(), new PromptZone(line, size));
}

} // namespace components
