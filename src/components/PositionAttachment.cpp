#include "components/PositionAttachment.hpp"

#include "engine/Transform.hpp"
#include "engine/World.hpp"

#include <glm/geometric.hpp>

namespace vorn::components {

PositionAttachment::PositionAttachment(const glm::vec3& offset, vorn::engine::EntityHandle target)
    : offset(offset), target(target) {
    addName("positionAttachment");
    updatePriority = 110.0f;
}

void PositionAttachment::update(float) {
    if (!world)
        return;
    // The target's world pointer may name a world this component has since left; the id is
    // looked up in the world the attachment lives in.
    const Transform* targetTransform = world->getComponentAs<Transform>(
        vorn::engine::EntityHandle{target.entityId, world}, "transform");
    Transform* own = world->getComponentAs<Transform>(handle(), "transform");
    if (!targetTransform || !own)
        return;
    const glm::vec3 t = targetTransform->position();
    own->setPosition(t + offset);
    // Straight above or below the target the up vector gives no sideways axis; the entity then
    // keeps its orientation instead of taking NaN axes.
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    const glm::vec3 side = glm::cross(up, offset);
    if (side.x != 0.0f || side.y != 0.0f || side.z != 0.0f)
        own->lookAt(t, up, true);
}

} // namespace vorn::components
