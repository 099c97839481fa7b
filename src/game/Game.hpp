#pragma once

#include "game/GameOptions.hpp"

#include <string>

namespace game {

// One run of the game: opens the window, prepares OpenGL, builds the first scene and runs the
// main loop until the window closes, the player quits or the frame limit is reached.
class Game {
public:
    static constexpr const char* title = "Mossfang - a Game by Quarrow Games";
    static constexpr unsigned width = 800;
    static constexpr unsigned height = 600;

    // Runs the game; returns the process exit status.
    static int run(const GameOptions& options);
    // The asset root: "assets/" when the working directory has one, else the source tree's.
    static std::string locateAssetRoot();
};

} // namespace game
