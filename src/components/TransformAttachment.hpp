#pragma once

#include "components/Attachment.hpp"

#include <glm/mat4x4.hpp>

namespace vorn::components {

// Glues its entity to a target: every frame the own matrix becomes the target's matrix times
// `offsetMatrix` (the ant's head and abdomen ride on its body). When either transform is missing
// the entity keeps its last matrix, or, with `destroyWithTarget`, is destroyed at once. Update
// priority 110. The target is looked up by id in the attachment's own world. Answers
// "transformAttachment".
class TransformAttachment : public Attachment {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = "transformAttachment";

    TransformAttachment(bool destroyWithTarget, const glm::mat4& offsetMatrix,
                        vorn::engine::EntityHandle target);

    // Follows the target, or destroys the own entity (see above).
    void update(float dt) override;

    bool destroyWithTarget;
    glm::mat4 offsetMatrix;
};

} // namespace vorn::components
