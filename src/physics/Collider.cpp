#include "physics/Collider.hpp"

#include "engine/Transform.hpp"
#include "engine/World.hpp"

namespace vorn::components {

Collider::Collider() {
    addName(componentName);
}

const Transform* Collider::ownTransform() const {
    if (!getWorld())
        return nullptr;
    return getWorld()->getComponentAs<Transform>(handle(), Transform::componentName);
}

bool Collider::resolveTransforms(const Collider& other, const Transform*& own,
                                 const Transform*& otherTransform) const {
    if (!own)
        own = ownTransform();
    if (!otherTransform)
        otherTransform = other.ownTransform();
    return own && otherTransform;
}

glm::vec2 offsetBetween(const Transform& own, const Transform& other) {
    return glm::vec2(other.matrix[3].x - own.matrix[3].x, other.matrix[3].y - own.matrix[3].y);
}

} // namespace vorn::components
