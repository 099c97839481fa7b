#pragma once

#include <glm/vec3.hpp>

#include <istream>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace game {

// Everything a run needs to go on where it was saved, and its text form: one `name = value` a
// line, '#' starts a comment.
//
//   version = 1
//   startArea = startingArea.txt    level file of the area the run began in
//   area = trickyArea.txt           level file of the area
//   entrance = trickyLeftDoor       the entrance he came in by (may be empty)
//   checkpoint = 120 35 0           optional: the checkpoint touched there, where he goes on
//   points = 41                     score
//   eggs = 3
//   shinies = 11
//   secrets = 1                     optional: the secret places found
//   deaths = 2
//   time = 731.25                   seconds of play
//   health = 80
//   energy = 64.5
//   energyMaximum = 110
//   upgrades = doubleJumpEnabled    the skill tags he has earned (may be empty)
//   assistsUsed = 1                 optional: the run has been played with an assist on
//   taken = startingArea.txt 0 1 4  one line per area: the numbers of the pickups taken there
//
// Reading is strict, since a run read wrongly is worse than none: an unknown name, a missing one,
// a number that is not a number or lies out of range, an unknown skill tag or another version
// makes the whole file unreadable.
struct SavedRun {
    std::string startArea;
    std::string area;
    std::string entrance;
    std::optional<glm::vec3> checkpoint;
    int points = 0;
    int eggs = 0;
    int shinies = 0;
    int secrets = 0;
    int deaths = 0;
    float time = 0.0f;
    float health = 100.0f;
    float energy = 100.0f;
    float energyMaximum = 100.0f;
    std::vector<std::string> upgrades;
    bool assistsUsed = false;
    std::map<std::string, std::set<int>> taken;

    bool operator==(const SavedRun& other) const;
    bool operator!=(const SavedRun& other) const { return !(*this == other); }

    // The skill tags a saved run may give the ninja.
    static const std::vector<std::string>& upgradeTags();

    // Writes the run's text form (numbers in the classic locale, floats exactly).
    void write(std::ostream& out) const;
    // Reads a run; when the text cannot be understood, returns nothing and says why in `fault`
    // ("line 4: 'points' is not a whole number", "no 'area'").
    static std::optional<SavedRun> read(std::istream& in, std::string& fault);
};

} // namespace game
