#include "components/Upgrade.hpp"

#include "components/OriginalSpawnPoint.hpp"
#include "components/PositionalSound.hpp"
#include "components/RunRecord.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/Collider.hpp"

namespace vorn::components {

Upgrade::Upgrade(const std::string& flagName, const std::string& targetTag,
                 const std::string& soundName, const glm::vec3& soundOffset)
    : flagName(flagName), targetTag(targetTag), soundName(soundName), soundOffset(soundOffset) {
    addName(componentName);
}

void Upgrade::update(float) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr || taken)
        return;
    const auto* transform = world->getComponentAs<Transform>(handle(), Transform::componentName);
    const auto* collider = world->getComponentAs<Collider>(handle(), "collider");
    if (transform == nullptr || collider == nullptr)
        return;

    // Only the first target found (in entity order) gets the upgrade.
    vorn::engine::EntityHandle receiver;
    bool found = false;
    for (const vorn::engine::EntityHandle candidate :
         world->getEntities(targetTag, Transform::componentName, "collider")) {
        const auto* other = world->getComponentAs<Collider>(candidate, "collider");
        if (other == nullptr)
            continue;
        const glm::vec2 separation = collider->collide(*other, nullptr, nullptr);
        if (separation.x != 0.0f || separation.y != 0.0f) {
            receiver = candidate;
            found = true;
            break;
        }
    }
    if (!found)
        return;
    taken = true;
    ::components::RunRecord::noteTaken(*world, handle(), receiver);

    if (world->getComponent(receiver, flagName) == nullptr)
        world->addComponent(receiver, new Label(flagName));
    if (auto* spawn = world->getComponentAs<::components::OriginalSpawnPoint>(
            receiver, ::components::OriginalSpawnPoint::componentName))
        spawn->position = transform->position();
    PositionalSound::play(soundName, transform->position() + soundOffset, 10.0f);
    world->destroyEntityLater(handle());
}

} // namespace vorn::components
