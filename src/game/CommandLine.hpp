#pragma once

#include "game/GameOptions.hpp"

#include <optional>
#include <ostream>
#include <string>

namespace game {

// The game's command-line options.
class CommandLine {
public:
    // Parses the arguments into `options`. Returns an exit status when the program should stop
    // at once: 0 after --help (usage on `out`), 2 for an unknown option or a bad value (usage and a
    // one-line reason on `err`); nothing when the game should run.
    static std::optional<int> parse(int argc, const char* const* argv, GameOptions& options,
                                    std::ostream& out, std::ostream& err);
    // The usage text.
    static std::string usage();
};

} // namespace game
