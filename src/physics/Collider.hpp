#pragma once

#include "engine/Component.hpp"
#include "physics/Bounds.hpp"

#include <glm/vec2.hpp>

namespace vorn::components {

class CircleCollider;
class PolygonCollider;
class Transform;

// A two-dimensional shape in its entity's local x-y frame, moved at test time by the position
// (x, y) of the entity's transform only; the transform's rotation, scale and z take no part.
// Answers "collider", whatever the shape, so siblings ask for "collider" without knowing it.
//
// Every operation returns the separation of this collider against the other one: the translation
// that, applied to this collider's entity, takes it out of the other shape. The zero vector means
// no contact, and shapes that merely touch (zero depth) are not in contact. A null transform
// argument stands for the entity's own "transform"; when one is still missing the result is zero.
class Collider : public vorn::engine::Component {
public:
    Collider();

    // Separation against a polygon; `own` and `other` place this shape and the polygon.
    virtual glm::vec2 collideWithPolygon(const PolygonCollider& polygon, const Transform* own,
                                         const Transform* other) const = 0;
    // Separation against a circle; `own` and `other` place this shape and the circle.
    virtual glm::vec2 collideWithCircle(const CircleCollider& circle, const Transform* own,
                                        const Transform* other) const = 0;
    // Separation against any collider: the entry point callers use; it dispatches on the shape.
    virtual glm::vec2 collide(const Collider& other, const Transform* own,
                              const Transform* otherTransform) const = 0;

    // The shape's bounding rectangle in its entity's local frame.
    const Bounds& localBounds() const { return bounds; }
    // Whether this shape can be in contact only with shapes whose bounding rectangles overlap its
    // own. False for point lists that the separating-axis test cannot treat as convex (concave or
    // self-crossing ones): the broad phase then leaves every pair with them to the exact test.
    bool contactsStayWithinBounds() const { return boundedContacts; }

protected:
    // Replaces null transforms by the owning entities' "transform" components; false when either
    // is still missing.
    bool resolveTransforms(const Collider& other, const Transform*& own,
                           const Transform*& otherTransform) const;
    // The entity's own "transform", or null.
    const Transform* ownTransform() const;

    // Kept current by the shapes whenever their geometry changes.
    Bounds bounds;
    bool boundedContacts = true;
};

// The position (x, y) of other minus that of own: the offset that brings the other shape into
// this shape's frame.
glm::vec2 offsetBetween(const Transform& own, const Transform& other);

} // namespace vorn::components
