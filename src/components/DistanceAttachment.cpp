#include "components/DistanceAttachment.hpp"

#include "engine/Transform.hpp"
#include "engine/World.hpp"

#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>

namespace vorn::components {

namespace {
constexpr float degreesToRadians = 0.017453293f;
constexpr double radiansToDegrees = 57.29577791868205;

bool isZero(const glm::vec3& v) {
    return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
}

// Any unit vector perpendicular to v (v non-zero).
glm::vec3 perpendicularTo(const glm::vec3& v) {
    const glm::vec3 trial =
        std::fabs(v.x) < std::fabs(v.y) ? glm::vec3(1.0f, 0.0f, 0.0f) : glm::vec3(0.0f, 1.0f, 0.0f);
    return glm::normalize(glm::cross(v, trial));
}
} // namespace

DistanceAttachment::DistanceAttachment(const glm::vec3& offset, float maxAngle,
                                       vorn::engine::EntityHandle target)
    : Attachment(target), offset(offset), maxAngle(maxAngle), currentOffset(offset) {
    addName(componentName);
}

void DistanceAttachment::update(float) {
    Transform* own;
    const Transform* targetTransform;
    if (!findTransforms(own, targetTransform))
        return;
    const glm::vec3 t = targetTransform->position();
    const glm::vec3 o = own->position();
    const float length = glm::length(offset);

    // Follow the direction the entity has been left in; exactly on the target there is no
    // direction, and the previous offset is kept.
    const glm::vec3 away = o - t;
    if (!isZero(away))
        currentOffset = glm::normalize(away) * length;

    // A zero-length boom has no angle to hold.
    if (length > 0.0f && !isZero(currentOffset)) {
        const float cosine =
            glm::dot(currentOffset, offset) / (length * glm::length(currentOffset));
        // Rounding can put the cosine a hair outside [-1, 1], where acos gives NaN.
        const float a =
            static_cast<float>(std::acos(std::clamp(cosine, -1.0f, 1.0f)) * radiansToDegrees);
        if (maxAngle < a) {
            glm::vec3 axis = glm::cross(offset, currentOffset);
            // Left exactly opposite the offset, every axis perpendicular to it is as good.
            axis = isZero(axis) ? perpendicularTo(offset) : glm::normalize(axis);
            const glm::mat4 turn = glm::rotate(glm::mat4(1.0f), maxAngle * degreesToRadians, axis);
            currentOffset = glm::vec3(turn * glm::vec4(offset, 0.0f));
        }
    }

    placeFacing(*own, t, currentOffset);
}

} // namespace vorn::components
