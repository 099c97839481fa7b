#pragma once

#include "engine/Behavior.hpp"

#include <string>

namespace vorn::components {

// Candy corn: the first touch by the player raises his energy's maximum by `boost` times its
// capacity, fills it, and ends the pickup through its "deathAction". A pickup gives its boost once,
// even if its death action leaves it touchable, and the player's run record notes it, so it stays
// taken for the rest of the run. Answers "energyObject", as the sugar pile does.
class EnergyBoostObject : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "energyObject";

    explicit EnergyBoostObject(float boost);

    // Boosts the touching player's energy and invokes the own death action.
    void update(float dt) override;

    // Fraction of the energy's capacity added to its maximum.
    float boost;

private:
    bool used = false;
};

} // namespace vorn::components
