#include "components/Energy.hpp"

namespace vorn::components {

Energy::Energy(float regenRate, float capacity, float maximum, float current, float useCost,
               float drainRate, float timeSinceUse, float regenDelay)
    : regenRate(regenRate), capacity(capacity), maximum(maximum), current(current),
      useCost(useCost), drainRate(drainRate), timeSinceUse(timeSinceUse), regenDelay(regenDelay) {
    addName(componentName);
}

bool Energy::take(float cost) {
    if (unlimited) {
        current = maximum;
        return true;
    }
    if (!(current > 0.0f))
        return false;
    current -= cost;
    if (current < 0.0f)
        current = 0.0f;
    timeSinceUse = 0.0f;
    return true;
}

bool Energy::spend(float amount) {
    return take(useCost * capacity * amount);
}

bool Energy::drain(float dt) {
    return take(drainRate * capacity * dt);
}

void Energy::update(float dt) {
    if (unlimited)
        current = maximum;
    if (current == maximum)
        return;
    if (regenDelay < timeSinceUse) {
        if (maximum > current)
            current += maximum * dt * regenRate;
        if (current > maximum)
            current = maximum;
    } else {
        timeSinceUse += dt;
    }
}

} // namespace vorn::components
