#pragma once

#include <ostream>
#include <string>

namespace game {

// `mossfang --check-level FILE`: reads a level the way the loader does, without a window or any
// asset but level files, and reports one line per problem, with its line: a parse error; what the
// loader reads past without stopping (a number that is NaN, infinite or written with an exponent,
// a quoted string or comment running to the end of the file, a list of entries never closed); an
// unknown keyword; a door or picture named outside the asset folder; a door whose level file is
// missing or lacks the door's entrance; an entrance that no door (of any level beside this one or
// under the asset root's levels, nor the menu) leads to; and a hint whose zone has no area. Hints
// (with or without their zone's size) and checkpoints are known keywords. Doors lead to the level
// files beside the file that holds them when there are such files, so a copy of the levels kept
// outside the game's folder is checked against itself; otherwise to the files the game opens.
class LevelCheck {
public:
    // Checks `file` (a path, or a name under the asset root's "levels/"); problems go to `out`.
    // Returns the exit status: 0 when all is well, 1 otherwise.
    static int run(const std::string& file, std::ostream& out);
};

} // namespace game
