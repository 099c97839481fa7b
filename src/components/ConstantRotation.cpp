#include "components/ConstantRotation.hpp"

#include "engine/Transform.hpp"
#include "engine/World.hpp"

#include <glm/gtc/matrix_transform.hpp>

namespace vorn::components {

namespace {
constexpr float degreesToRadians = 0.017453293f;
}

ConstantRotation::ConstantRotation(float rate, const glm::vec3& axis) : rate(rate), axis(axis) {
    addName(componentName);
    updatePriority = 999.0f;
}

void ConstantRotation::update(float dt) {
    if (!getWorld())
        return;
    // A zero axis names no turn (normalising it would fill the matrix with NaN).
    if (axis.x == 0.0f && axis.y == 0.0f && axis.z == 0.0f)
        return;
    if (Transform* transform =
            getWorld()->getComponentAs<Transform>(handle(), Transform::componentName))
        transform->matrix = glm::rotate(transform->matrix, rate * dt * degreesToRadians, axis);
}

} // namespace vorn::components
