#pragma once

#include "engine/Component.hpp"

#include <string>

namespace vorn::components {

// What the player has collected: points, eggs and the secret places he has found. Answers "score".
class Score : public vorn::engine::Component {
public:
    inline static const std::string componentName = "score";
    Score();
    int points = 0;
    int eggs = 0;
    int secrets = 0;
};

} // namespace vorn::components
