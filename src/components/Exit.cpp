#include "components/Exit.hpp"

#include "components/SceneBuilders.hpp"
#include "engine/Application.hpp"
#include "engine/Diagnostics.hpp"
#include "engine/World.hpp"
#include "physics/CollisionTracker.hpp"

namespace components {

Exit::Exit(const std::string& levelFile, const std::string& entrance)
    : levelFile(levelFile), entrance(entrance) {
    addName(componentName);
    updatePriority = 10000.0f;
}

void Exit::update(float) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr || handedOver)
        return;
    const auto* tracker =
        world->getComponentAs<vorn::components::CollisionTracker>(handle(), "collisionTracker");
    if (tracker == nullptr || tracker->contacts.empty())
        return;
    const vorn::engine::EntityHandle traveller = tracker->contacts.front().other;
    // The contact list is this frame's; a traveller already carried off by another door has no
    // components left to take.
    if (world->getEntityComponents(traveller).empty())
        return;
    vorn::engine::Application* application = world->application();
    if (application == nullptr || !SceneBuilders::hasAreaBuilder()) {
        if (!reported)
            vorn::engine::Diagnostics::err()
                << "The door to " << levelFile << " (" << entrance << ") leads nowhere yet\n";
        reported = true;
        return;
    }

    // Copy the list first: removing components changes it.
    const vorn::engine::World::ComponentList components = world->getEntityComponents(traveller);
    SceneBuilders::Carried carried;
    carried.reserve(components.size());
    for (vorn::engine::Component* component : components)
        carried.emplace_back(world->removeComponent(component));

    std::shared_ptr<vorn::engine::World> next =
        SceneBuilders::buildArea(carried, levelFile, entrance);
    if (!next) {
        // Nothing to go to: the traveller stays here, whole.
        for (std::unique_ptr<vorn::engine::Component>& component : carried) {
            if (component)
                world->addComponent(traveller, component.release());
        }
        if (!reported)
            vorn::engine::Diagnostics::err()
                << "The area " << levelFile << " (" << entrance << ") could not be built\n";
        reported = true;
        return;
    }
    handedOver = true;
    application->setWorld(next);
}

} // namespace components
