#include "components/Attachment.hpp"

#include "engine/Transform.hpp"
#include "engine/World.hpp"

#include <glm/geometric.hpp>

namespace vorn::components {

Attachment::Attachment(vorn::engine::EntityHandle target) : target(target) {
    updatePriority = 110.0f;
}

bool Attachment::findTransforms(Transform*& own, const Transform*& targetTransform) const {
    own = nullptr;
    targetTransform = nullptr;
    if (!getWorld())
        return false;
    targetTransform = getWorld()->getComponentAs<Transform>(
        vorn::engine::EntityHandle{target.entityId, getWorld()}, Transform::componentName);
    own = getWorld()->getComponentAs<Transform>(handle(), Transform::componentName);
    return own && targetTransform;
}

void Attachment::placeFacing(Transform& own, const glm::vec3& targetPosition,
                             const glm::vec3& offset) {
    own.setPosition(targetPosition + offset);
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    const glm::vec3 side = glm::cross(up, offset);
    if (side.x != 0.0f || side.y != 0.0f || side.z != 0.0f)
        own.lookAt(targetPosition, up, true);
}

} // namespace vorn::components
