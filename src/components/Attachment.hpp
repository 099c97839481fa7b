#pragma once

#include "engine/Behavior.hpp"
#include "engine/EntityHandle.hpp"

#include <glm/vec3.hpp>

namespace vorn::components {

class Transform;

// What the behaviours that follow another entity share: the target, found by id in the world the
// attachment lives in (the handle's world may be one the attachment has since left, after a door),
// and the camera-style placement at an offset from it. Update priority 110, after the frame's
// physics, so followers see where their targets ended up.
class Attachment : public vorn::engine::Behavior {
public:
    vorn::engine::EntityHandle target;

protected:
    explicit Attachment(vorn::engine::EntityHandle target);

    // The own entity's and the target's "transform"; false (and null) when either is missing.
    bool findTransforms(Transform*& own, const Transform*& targetTransform) const;
    // Puts `own` at `targetPosition + offset`, turned to look at the target with its z axis
    // pointing away from it (as a camera's does). Straight above or below the target the up vector
    // gives no sideways axis, and the entity then keeps its orientation instead of NaN axes.
    static void placeFacing(Transform& own, const glm::vec3& targetPosition,
                            const glm::vec3& offset);
};

} // namespace vorn::components
