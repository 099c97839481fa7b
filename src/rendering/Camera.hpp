#pragma once

#include "engine/Component.hpp"

#include <glm/mat4x4.hpp>

namespace vorn::components {

// The projection of a view; its position and orientation are those of the entity's transform
// (looking down the transform's -z axis). Answers "camera".
class Camera : public vorn::engine::Component {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = "camera";

    explicit Camera(const glm::mat4& projection);

    glm::mat4 projection;
};

} // namespace vorn::components
