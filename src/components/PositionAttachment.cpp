#include "components/PositionAttachment.hpp"

#include "engine/Transform.hpp"
#include "engine/World.hpp"

#include <glm/geometric.hpp>

namespace vorn::components {

PositionAttachment::PositionAttachment(const glm::vec3& offset, vorn::engine::EntityHandle target)
    : Attachment(target), offset(offset) {
    addName(componentName);
}

void PositionAttachment::update(float) {
    Transform* own;
    const Transform* targetTransform;
    if (findTransforms(own, targetTransform))
        placeFacing(*own, targetTransform->position(), offset);
}

} // namespace vorn::components
