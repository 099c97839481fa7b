#include "components/Checkpoint.hpp"

#include "components/OriginalSpawnPoint.hpp"
#include "components/RunEvents.hpp"
#include "components/Touch.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "rendering/Material.hpp"
#include "rendering/Model.hpp"

#include <memory>

namespace components {

Checkpoint::Checkpoint(const std::string& soundName, const glm::vec3& glow)
    : sound(soundName), glow(glow) {
    addName(componentName);
}

void Checkpoint::update(float) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr || lit)
        return;
    const auto* transform = world->getComponentAs<vorn::components::Transform>(
        handle(), vorn::components::Transform::componentName);
    if (transform == nullptr)
        return;
    const std::optional<vorn::engine::EntityHandle> toucher =
        vorn::components::Touch::findToucher(*world, handle(), "player");
    // A dead ninja falling past is not coming back here.
    if (!toucher || world->getComponent(*toucher, "dead") != nullptr)
        return;
    auto* spawn =
        world->getComponentAs<OriginalSpawnPoint>(*toucher, OriginalSpawnPoint::componentName);
    if (spawn == nullptr)
        return;
    lit = true;
    const glm::vec3 position = transform->position();
    spawn->position = position;
    lightModel();
    sound.play(position);
    RunEvents::checkpointReached(*world, position);
}

void Checkpoint::lightModel() {
    auto* model = getWorld()->getComponentAs<vorn::components::Model>(handle(), "model");
    if (model == nullptr)
        return;
    for (vorn::rendering::MeshPart& part : model->parts) {
        if (!part.material)
            continue;
        // Other checkpoints of the same mesh stay dark: the lit one gets materials of its own.
        if (part.material.use_count() > 1)
            part.material = std::make_shared<vorn::rendering::Material>(*part.material);
        part.material->setUniform("mat_emissive", glow);
    }
}

} // namespace components
