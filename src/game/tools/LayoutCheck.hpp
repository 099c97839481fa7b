#pragma once

#include <ostream>
#include <string>

namespace game {

// The part of `--check-level` that looks at an area's layout, for what a player would trip over:
// - ants whose turn markers would not keep them on patrol: for each worker ant, the nearest
//   marker on its left and on its right at its own height (within 10 units) must exist, and must
//   send it back (on a floor a clockwise ant walks towards -x, so the left marker turns it
//   counter-clockwise and the right one clockwise); ants are taken to stand on a floor, as
//   every ant of the game starts;
// - scenery standing over a gap: a background piece (LevelLoader::isScenery) whose foot has no
//   solid ground below it, within 6 units up or down, looks like a platform where a jump lands
//   and lets the ninja fall through;
// - sleep without waking: an entry `asleep "NAME"` with no `wake` zone NAME (it would never
//   move), a wake zone that wakes nothing, and a wake zone without width or height.
class LayoutCheck {
public:
    // Reads the level file at `path` and writes one line per problem to `out`, each starting with
    // `file` and the line of the entry. Returns the number of problems; a file that cannot be
    // read counts none (the level check reports that).
    static int run(const std::string& path, const std::string& file, std::ostream& out);
};

} // namespace game
