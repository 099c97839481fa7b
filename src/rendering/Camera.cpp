#include "rendering/Camera.hpp"

namespace vorn::components {

Camera::Camera(const glm::mat4& projection) : projection(projection) {
    addName(componentName);
}

} // namespace vorn::components
