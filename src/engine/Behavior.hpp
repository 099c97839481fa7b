#pragma once

#include "engine/Component.hpp"

namespace vorn::engine {

// A component that takes part in the world's update pass: it answers "behavior".
class Behavior : public Component {
public:
    // The name the update pass walks; every behaviour answers to it.
    inline static const std::string componentName = updatePassName;

    Behavior();
};

} // namespace vorn::engine
