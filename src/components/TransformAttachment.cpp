#include "components/TransformAttachment.hpp"

#include "engine/Transform.hpp"
#include "engine/World.hpp"

namespace vorn::components {

TransformAttachment::TransformAttachment(bool destroyWithTarget, const glm::mat4& offsetMatrix,
                                         vorn::engine::EntityHandle target)
    : Attachment(target), destroyWithTarget(destroyWithTarget), offsetMatrix(offsetMatrix) {
    addName(componentName);
}

void TransformAttachment::update(float) {
    if (!getWorld())
        return;
    Transform* own;
    const Transform* targetTransform;
    if (findTransforms(own, targetTransform)) {
        own->matrix = targetTransform->matrix * offsetMatrix;
        return;
    }
    if (destroyWithTarget) {
        // This component is deleted with its entity: nothing may touch it afterwards.
        getWorld()->destroyEntity(handle());
    }
}

} // namespace vorn::components
