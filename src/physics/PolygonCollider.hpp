#pragma once

#include "physics/Collider.hpp"

#include <vector>

namespace vorn::components {

// A convex polygon in its entity's local frame: its vertices in order, with an edge from the last
// back to the first; the winding does not matter. Answers "collider" and "polygonCollider".
// A polygon of fewer than 2 vertices never touches anything; an edge of zero length (a repeated
// vertex) has no normal and is left out of the separating-axis test. Point lists are taken as
// given, concave or self-crossing ones included: the test then works on their edges' normals,
// which may report contacts beyond the list's bounding rectangle (see contactsStayWithinBounds).
class PolygonCollider : public Collider {
public:
    // A box with corners (x, y), (x + w, y), (x + w, y + h), (x, y + h) in this order, each scaled
    // by (scaleX, scaleY) and then turned counter-clockwise by `angleDegrees`.
    PolygonCollider(float angleDegrees, float x, float y, float width, float height, float scaleX,
                    float scaleY);
    // A point list, copied bit for bit when the angle is exactly 0 and both scales exactly 1;
    // otherwise every point is scaled and turned as for the box.
    PolygonCollider(const std::vector<glm::vec2>& points, float angleDegrees, float scaleX,
                    float scaleY);

    // Separation against another polygon: the axes of this polygon's edges, then the other's.
    glm::vec2 collideWithPolygon(const PolygonCollider& polygon, const Transform* own,
                                 const Transform* other) const override;
    // Separation against a circle: the edge axes, then the axis towards the nearest vertex.
    glm::vec2 collideWithCircle(const CircleCollider& circle, const Transform* own,
                                const Transform* other) const override;
    // Dispatches to the other shape's test against this polygon and negates its result.
    glm::vec2 collide(const Collider& other, const Transform* own,
                      const Transform* otherTransform) const override;

    // The vertices in the entity's local frame.
    const std::vector<glm::vec2>& vertices() const { return points; }
    // Replaces the vertices as given (no scale or rotation).
    void setVertices(const std::vector<glm::vec2>& vertices);

private:
    // Scales, then turns every point counter-clockwise.
    static void scaleAndRotate(std::vector<glm::vec2>& points, float angleDegrees, float scaleX,
                               float scaleY);

    std::vector<glm::vec2> points;
    // axes[i] is the unit normal of the edge from vertex i - 1 to vertex i (edge 0 runs from the
    // last vertex to the first); (0, 0) for an edge of zero length.
    std::vector<glm::vec2> axes;
};

} // namespace vorn::components
