#pragma once

#include "engine/Component.hpp"

#include <string>

namespace components {

// Names a pickup of an area: its number among the level file's pickup entries (eggs, shiny
// things, candy corn, upgrades and the hat, counted in file order from 0) and its keyword. A run
// keeps the numbers it has taken in each area, so a pickup stays taken when the ninja comes back
// through a door or continues a saved run. Answers "pickupId".
class PickupId : public vorn::engine::Component {
public:
    inline static const std::string componentName = "pickupId";

    PickupId(int number, std::string kind) : number(number), kind(std::move(kind)) {
        addName(componentName);
    }

    const int number;
    const std::string kind;
};

} // namespace components
