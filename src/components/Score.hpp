#pragma once

#include "engine/Component.hpp"

#include <string>

namespace vorn::components {

// What the player has collected: points and eggs. Answers "score".
class Score : public vorn::engine::Component {
public:
    inline static const std::string componentName = "score";
    Score();
    int points = 0;
    int eggs = 0;
};

} // namespace vorn::components
