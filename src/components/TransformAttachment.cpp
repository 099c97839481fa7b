#include "components/TransformAttachment.hpp"

#include "engine/Transform.hpp"
#include "engine/World.hpp"

namespace vorn::components {

TransformAttachment::TransformAttachment(bool destroyWithTarget, const glm::mat4& offsetMatrix,
                                         vorn::engine::EntityHandle target)
    : destroyWithTarget(destroyWithTarget), offsetMatrix(offsetMatrix), target(target) {
    addName("transformAttachment");
    updatePriority = 110.0f;
}

void TransformAttachment::update(float) {
    if (!world)
        return;
    const Transform* targetTransform = world->getComponentAs<Transform>(
        vorn::engine::EntityHandle{target.entityId, world}, "transform");
    Transform* own = world->getComponentAs<Transform>(handle(), "transform");
    if (targetTransform && own) {
        own->matrix = targetTransform->matrix * offsetMatrix;
        return;
    }
    if (destroyWithTarget) {
        // This component is deleted with its entity: nothing may touch it afterwards.
        world->destroyEntity(handle());
    }
}

} // namespace vorn::components
