#pragma once

#include "components/Attachment.hpp"

#include <glm/vec3.hpp>

namespace vorn::components {

// A lagging camera boom: keeps its entity at the length of `offset` from the target, in the
// direction where the entity has been left, but never more than `maxAngle` degrees away from the
// direction of `offset`; then looks at the target. Update priority 110. The target is looked up by
// id in the attachment's own world. Answers "distanceAttachment".
class DistanceAttachment : public Attachment {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = "distanceAttachment";

    DistanceAttachment(const glm::vec3& offset, float maxAngle, vorn::engine::EntityHandle target);

    // Moves the entity onto the boom and turns it towards the target.
    void update(float dt) override;

    glm::vec3 offset;
    // Degrees.
    float maxAngle;
    // Where the entity sits relative to the target; `offset` at construction.
    glm::vec3 currentOffset;
};

} // namespace vorn::components
