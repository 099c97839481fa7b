#pragma once

#include "engine/Behavior.hpp"
#include "engine/EntityHandle.hpp"

#include <string>

namespace vorn::components {

// A HUD number: the target's score points, or its egg count with `showEggs`, written into the
// entity's "text" right-aligned in four characters (longer numbers are shown whole). Answers
// "scoreDisplay".
class ScoreDisplay : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "scoreDisplay";

    ScoreDisplay(vorn::engine::EntityHandle target, bool showEggs);

    // Writes the number into the text.
    void update(float dt) override;

    // n in decimal, padded with spaces in front to four characters.
    static std::string format(int n);

    vorn::engine::EntityHandle target;
    bool showEggs;
};

} // namespace vorn::components
