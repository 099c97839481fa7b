#pragma once

#include <ostream>
#include <string>

namespace game {

// `mossfang --check-level FILE`: reads a level the way the loader does, without a window or any
// asset but level files, and reports one line per problem: a parse error, an unknown keyword, a
// door whose level file is missing or lacks the door's entrance, an entrance that no door (of any
// level beside this one or under the asset root's levels, nor the menu) leads to, and a hint whose
// zone has no area. Hints (with or without their zone's size) and checkpoints are known keywords.
class LevelCheck {
public:
    // Checks `file` (a path, or a name under the asset root's "levels/"); problems go to `out`.
    // Returns the exit status: 0 when all is well, 1 otherwise.
    static int run(const std::string& file, std::ostream& out);
};

} // namespace game
