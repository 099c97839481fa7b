#include "components/AssistEffects.hpp"

#include "components/Energy.hpp"
#include "components/Health.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/Label.hpp"
#include "engine/World.hpp"
#include "rendering/Text.hpp"

#include <vector>

namespace components {

AssistEffects::AssistEffects(std::shared_ptr<const Assists> assists) : assists(std::move(assists)) {
    addName(componentName);
    // Before the movement spends energy and before any blow lands this frame.
    updatePriority = -1.0f;
}

void AssistEffects::update(float) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr || !assists)
        return;
    const bool on = assists->any();
    // Copied: tagging a player changes the world's collections.
    std::vector<vorn::engine::EntityHandle> players;
    for (const vorn::engine::EntityHandle& player : world->getEntities("player"))
        players.push_back(player);
    for (const vorn::engine::EntityHandle& player : players) {
        if (auto* energy = world->getComponentAs<vorn::components::Energy>(
                player, vorn::components::Energy::componentName))
            energy->unlimited = assists->unlimitedEnergy;
        if (auto* health = world->getComponentAs<Health>(player, Health::componentName))
            health->invulnerable = assists->noDamage;
        if (on && world->getComponent(player, usedTag) == nullptr)
            world->addComponent(player, new vorn::components::Label(usedTag));
    }
    if (auto* mark = world->getComponentAs<vorn::components::Text>(
            handle(), vorn::components::Text::componentName))
        mark->text = on ? markText : std::string();
}

} // namespace components
