#include "components/HealthBar.hpp"

#include "components/Health.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"

namespace components {

HealthBar::HealthBar(float fullWidth, float referenceValue, vorn::engine::EntityHandle target)
    : fullWidth(fullWidth), referenceValue(referenceValue), target(target) {
    addName(componentName);
}

void HealthBar::update(float) {
    vorn::engine::World* world = getWorld();
    // A zero reference has no width to scale by; the bar keeps its last one.
    if (world == nullptr || referenceValue == 0.0f)
        return;
    auto* transform = world->getComponentAs<vorn::components::Transform>(
        handle(), vorn::components::Transform::componentName);
    const auto* health = world->getComponentAs<Health>(target, Health::componentName);
    if (transform == nullptr || health == nullptr)
        return;
    // The bar has no rotation, so the first element is its x scale.
    transform->matrix[0][0] = health->current / referenceValue * fullWidth;
}

} // namespace components
