#pragma once

#include "engine/Behavior.hpp"

namespace vorn::components {

// Stamina: jumps, double jumps and wall walking spend it; after a pause without use it comes back
// by itself, a fraction of the maximum per second, up to the maximum. It never goes below 0.
// Answers "energy"; update priority 0.
class Energy : public vorn::engine::Behavior {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = "energy";

    // Defaults are the ninja's values.
    Energy(float regenRate = 0.1f, float capacity = 100.0f, float maximum = 100.0f,
           float current = 100.0f, float useCost = 0.05f, float drainRate = 0.05f,
           float timeSinceUse = 0.0f, float regenDelay = 4.0f);

    // Spends useCost * capacity * amount if any energy is left (floored at 0); false, and no
    // change, when there is none.
    bool spend(float amount);
    // Spends drainRate * capacity * dt the same way.
    bool drain(float dt);
    // Regenerates once regenDelay seconds have passed without use; until then counts the time.
    void update(float dt) override;

    // Fraction of `maximum` regained per second.
    float regenRate;
    // Scale of every cost.
    float capacity;
    // Upper bound of `current`.
    float maximum;
    // The energy now.
    float current;
    // Fraction of `capacity` per unit spent.
    float useCost;
    // Fraction of `capacity` drained per second.
    float drainRate;
    // Seconds since energy was last spent or drained.
    float timeSinceUse;
    // Seconds without use before regeneration starts.
    float regenDelay;
    // The unlimited-energy assist: while set, `current` is held at `maximum` and every spend or
    // drain succeeds without cost.
    bool unlimited = false;

private:
    bool take(float cost);
};

} // namespace vorn::components
