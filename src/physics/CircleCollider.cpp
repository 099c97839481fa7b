#include "physics/CircleCollider.hpp"

#include "engine/Transform.hpp"
#include "physics/PolygonCollider.hpp"
#include "physics/SeparatingAxis.hpp"

#include <cmath>

namespace vorn::components {

CircleCollider::CircleCollider(float radius) : circleRadius(radius) {
    addName(componentName);
    setRadius(radius);
}

void CircleCollider::setRadius(float radius) {
    circleRadius = radius;
    const float extent = std::fabs(radius);
    bounds = Bounds{glm::vec2(-extent, -extent), glm::vec2(extent, extent)};
}

glm::vec2 CircleCollider::collideWithPolygon(const PolygonCollider& polygon, const Transform* own,
                                             const Transform* other) const {
    if (!resolveTransforms(polygon, own, other))
        return glm::vec2(0.0f, 0.0f);
    return -polygon.collideWithCircle(*this, other, own);
}

glm::vec2 CircleCollider::collideWithCircle(const CircleCollider& circle, const Transform* own,
                                            const Transform* other) const {
    if (!resolveTransforms(circle, own, other))
        return glm::vec2(0.0f, 0.0f);
    return separating::circleAgainstCircle(circleRadius, circle.circleRadius,
                                           offsetBetween(*own, *other));
}

glm::vec2 CircleCollider::collide(const Collider& other, const Transform* own,
                                  const Transform* otherTransform) const {
    if (!resolveTransforms(other, own, otherTransform))
        return glm::vec2(0.0f, 0.0f);
    return -other.collideWithCircle(*this, otherTransform, own);
}

} // namespace vorn::components
