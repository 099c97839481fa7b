#include "components/EnergyBar.hpp"

#include "components/Energy.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"

namespace vorn::components {

EnergyBar::EnergyBar(float fullWidth, float referenceValue, vorn::engine::EntityHandle target)
    : fullWidth(fullWidth), referenceValue(referenceValue), target(target) {
    addName(componentName);
}

void EnergyBar::update(float) {
    vorn::engine::World* world = getWorld();
    // A zero reference has no width to scale by; the bar keeps its last one.
    if (world == nullptr || referenceValue == 0.0f)
        return;
    auto* transform = world->getComponentAs<Transform>(handle(), Transform::componentName);
    const auto* energy = world->getComponentAs<Energy>(target, "energy");
    if (transform == nullptr || energy == nullptr)
        return;
    // The bar has no rotation, so the first element is its x scale.
    transform->matrix[0][0] = energy->current / referenceValue * fullWidth;
}

} // namespace vorn::components
