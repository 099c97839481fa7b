#pragma once

#include "components/Attachment.hpp"

#include <glm/vec3.hpp>

namespace vorn::components {

// Keeps its entity at a fixed offset from a target entity, turned to look at the target (a
// camera that follows the player). Update priority 110, after the physics of the frame. The
// target is looked up by id in the attachment's own world. Answers "positionAttachment".
class PositionAttachment : public Attachment {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = "positionAttachment";

    PositionAttachment(const glm::vec3& offset, vorn::engine::EntityHandle target);

    // Own position = target position + offset; then looks at the target (z axis away from it).
    void update(float dt) override;

    glm::vec3 offset;
};

} // namespace vorn::components
