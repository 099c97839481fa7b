#pragma once

#include "physics/Collider.hpp"

namespace vorn::components {

// A circle centred on its entity's position. Answers "collider" and "circleCollider".
class CircleCollider : public Collider {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = "circleCollider";

    explicit CircleCollider(float radius);

    // Separation against a polygon: minus the polygon's separation against this circle.
    glm::vec2 collideWithPolygon(const PolygonCollider& polygon, const Transform* own,
                                 const Transform* other) const override;
    // Separation against another circle, along the line between the centres.
    glm::vec2 collideWithCircle(const CircleCollider& circle, const Transform* own,
                                const Transform* other) const override;
    // Dispatches to the other shape's test against this circle and negates its result.
    glm::vec2 collide(const Collider& other, const Transform* own,
                      const Transform* otherTransform) const override;

    // The radius.
    float radius() const { return circleRadius; }
    // Changes the radius (and the bounds the broad phase reads).
    void setRadius(float radius);

private:
    float circleRadius;
};

} // namespace vorn::components
