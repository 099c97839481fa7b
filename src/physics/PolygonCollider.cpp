#include "physics/PolygonCollider.hpp"

#include "engine/Transform.hpp"
#include "physics/CircleCollider.hpp"
#include "physics/SeparatingAxis.hpp"

#include <cmath>

namespace vorn::components {

namespace {
// Degrees to radians, as every angle of the game is converted.
constexpr float degreesToRadians = 0.017453293f;
} // namespace

PolygonCollider::PolygonCollider(float angleDegrees, float x, float y, float width, float height,
                                 float scaleX, float scaleY) {
    addName("polygonCollider");
    std::vector<glm::vec2> corners{glm::vec2(x, y), glm::vec2(x + width, y),
                                   glm::vec2(x + width, y + height), glm::vec2(x, y + height)};
    scaleAndRotate(corners, angleDegrees, scaleX, scaleY);
    setVertices(corners);
}

PolygonCollider::PolygonCollider(const std::vector<glm::vec2>& points, float angleDegrees,
                                 float scaleX, float scaleY) {
    addName("polygonCollider");
    std::vector<glm::vec2> copy = points;
    if (!(angleDegrees == 0.0f && scaleX == 1.0f && scaleY == 1.0f))
        scaleAndRotate(copy, angleDegrees, scaleX, scaleY);
    setVertices(copy);
}

void PolygonCollider::scaleAndRotate(std::vector<glm::vec2>& points, float angleDegrees,
                                     float scaleX, float scaleY) {
    const float a = angleDegrees * degreesToRadians;
    const float c = std::cos(a);
    const float s = std::sin(a);
    for (glm::vec2& p : points) {
        const float px = p.x * scaleX;
        const float py = p.y * scaleY;
        p = glm::vec2(px * c - py * s, px * s + py * c);
    }
}

void PolygonCollider::setVertices(const std::vector<glm::vec2>& vertices) {
    points = vertices;
    axes.assign(points.size(), glm::vec2(0.0f, 0.0f));
    for (std::size_t i = 0; i < points.size(); ++i) {
        const glm::vec2& previous = points[i == 0 ? points.size() - 1 : i - 1];
        axes[i] = separating::edgeAxis(previous, points[i]);
    }
    boundedContacts =
        separating::contactsStayWithinBounds(points.data(), axes.data(), points.size());
    if (points.empty()) {
        bounds = Bounds{};
        return;
    }
    bounds = Bounds{points[0], points[0]};
    for (const glm::vec2& p : points) {
        // A non-finite coordinate must show in the bounds (the broad phase then always tests the
        // polygon), so NaN is carried over rather than skipped by the comparisons.
        bounds.min.x = (p.x < bounds.min.x || std::isnan(p.x)) ? p.x : bounds.min.x;
        bounds.min.y = (p.y < bounds.min.y || std::isnan(p.y)) ? p.y : bounds.min.y;
        bounds.max.x = (p.x > bounds.max.x || std::isnan(p.x)) ? p.x : bounds.max.x;
        bounds.max.y = (p.y > bounds.max.y || std::isnan(p.y)) ? p.y : bounds.max.y;
    }
}

glm::vec2 PolygonCollider::collideWithPolygon(const PolygonCollider& polygon, const Transform* own,
                                              const Transform* other) const {
    if (!resolveTransforms(polygon, own, other))
        return glm::vec2(0.0f, 0.0f);
    return separating::polygonAgainstPolygon(points.data(), axes.data(), points.size(),
                                             polygon.points.data(), polygon.axes.data(),
                                             polygon.points.size(), offsetBetween(*own, *other));
}

glm::vec2 PolygonCollider::collideWithCircle(const CircleCollider& circle, const Transform* own,
                                             const Transform* other) const {
    if (!resolveTransforms(circle, own, other))
        return glm::vec2(0.0f, 0.0f);
    return separating::polygonAgainstCircle(points.data(), axes.data(), points.size(),
                                            circle.radius(), offsetBetween(*own, *other));
}

glm::vec2 PolygonCollider::collide(const Collider& other, const Transform* own,
                                   const Transform* otherTransform) const {
    if (!resolveTransforms(other, own, otherTransform))
        return glm::vec2(0.0f, 0.0f);
    return -other.collideWithPolygon(*this, otherTransform, own);
}

} // namespace vorn::components
