#include "components/Prompt.hpp"

#include "components/PromptZone.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "rendering/Material.hpp"
#include "rendering/Model.hpp"
#include "rendering/Text.hpp"

#include <glm/geometric.hpp>

#include <algorithm>
#include <limits>

namespace components {

using vorn::components::Transform;

Prompt::Prompt(vorn::engine::EntityHandle target, vorn::engine::EntityHandle plate)
    : target(target), plate(plate) {
    addName(componentName);
    updatePriority = 150.0f;
}

std::string Prompt::wantedLine() const {
    vorn::engine::World* world = getWorld();
    if (world == nullptr)
        return {};
    const auto* body = world->getComponentAs<Transform>(target, Transform::componentName);
    if (body == nullptr)
        return {};
    const glm::vec3 at = body->position();
    const PromptZone* best = nullptr;
    float bestDistance = std::numeric_limits<float>::max();
    for (const vorn::engine::EntityHandle& entity :
         world->getEntities(PromptZone::componentName, Transform::componentName)) {
        const auto* zone = world->getComponentAs<PromptZone>(entity, PromptZone::componentName);
        const auto* place = world->getComponentAs<Transform>(entity, Transform::componentName);
        if (zone == nullptr || place == nullptr || !zone->contains(place->position(), at))
            continue;
        const glm::vec3 centre = place->position();
        const float distance = glm::length(glm::vec2(at.x - centre.x, at.y - centre.y));
        if (distance < bestDistance) {
            best = zone;
            bestDistance = distance;
        }
    }
    return best ? best->text : std::string();
}

void Prompt::update(float dt) {
    if (getWorld() == nullptr)
        return;
    const std::string wanted = wantedLine();
    const float step = dt / fadeTime;
    if (wanted != shown) {
        // The old line leaves before the new one comes.
        visibility = std::max(0.0f, visibility - step);
        if (visibility == 0.0f)
            shown = wanted;
    } else if (!shown.empty()) {
        visibility = std::min(1.0f, visibility + step);
    }
    layOut();
}

void Prompt::layOut() {
    vorn::engine::World& world = *getWorld();
    auto* text = world.getComponentAs<vorn::components::Text>(handle(), "text");
    if (text == nullptr)
        return;
    // The line spans (n - 1) steps and one cell; too wide a line gets smaller letters.
    const float cells =
        shown.empty() ? 0.0f : letterAdvance * static_cast<float>(shown.size() - 1) + 1.0f;
    const float size = cells > 0.0f ? std::min(letterSize, maxLineWidth / cells) : letterSize;
    const float width = size * cells;
    text->text = visibility > 0.0f ? shown : std::string();
    text->size = size;
    text->advance = letterAdvance;
    text->x = 0.5f * (screenWidth - width);
    text->y = baseline + 0.5f * (letterSize - size);
    text->opacity = visibility;

    auto* plateTransform = world.getComponentAs<Transform>(plate, Transform::componentName);
    auto* picture = world.getComponentAs<vorn::components::Model>(plate, "model");
    if (plateTransform == nullptr || picture == nullptr)
        return;
    // The plate is a unit quad from its corner: scale and place it around the line.
    const float plateWidth = width + 2.0f * plateMarginX;
    const float plateHeight = letterSize + 2.0f * plateMarginY;
    glm::mat4 m(1.0f);
    m[0][0] = plateWidth;
    m[1][1] = plateHeight;
    m[3] = glm::vec4(0.5f * (screenWidth - plateWidth), baseline - plateMarginY,
                     plateTransform->matrix[3].z, 1.0f);
    plateTransform->matrix = m;
    for (vorn::rendering::MeshPart& part : picture->parts)
        if (part.material)
            part.material->setUniform("transparency", 1.0f - visibility);
}

} // namespace components
