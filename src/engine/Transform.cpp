#include "engine/Transform.hpp"

#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>

namespace vorn::components {

Transform::Transform(const glm::mat4& initial) : matrix(initial) {
    addName(componentName);
}

void Transform::setRotation(const glm::mat3& rotation) {
    for (int c = 0; c < 3; ++c)
        matrix[c] = glm::vec4(rotation[c], 0.0f);
}

void Transform::translate(const glm::vec3& v) {
    matrix = glm::translate(glm::mat4(1.0f), v) * matrix;
}

void Transform::lookAt(const glm::vec3& target, const glm::vec3& up, bool away) {
    const glm::vec3 p = position();
    const glm::vec3 toTarget = target - p;
    if (toTarget.x == 0.0f && toTarget.y == 0.0f && toTarget.z == 0.0f)
        return;
    const glm::vec3 z = glm::normalize(away ? -toTarget : toTarget);
    const glm::vec3 x = glm::normalize(glm::cross(up, z));
    const glm::vec3 y = glm::normalize(glm::cross(z, x));
    matrix[0] = glm::vec4(x, 0.0f);
    matrix[1] = glm::vec4(y, 0.0f);
    matrix[2] = glm::vec4(z, 0.0f);
}

} // namespace vorn::components
