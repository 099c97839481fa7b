#pragma once

#include "engine/Component.hpp"

namespace vorn::engine {

// A component that takes part in the world's update pass: it answers "behavior".
class Behavior : public Component {
public:
    Behavior();
};

} // namespace vorn::engine
