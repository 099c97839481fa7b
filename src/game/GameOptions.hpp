#pragma once

#include <cstdint>
#include <string>

namespace game {

// What the command line asks of one run of the game.
struct GameOptions {
    uint64_t frames = 0;        // quit after this many frames; 0 runs until the window closes
    float fixedDt = 0.0f;       // every frame's time step instead of the clock; 0 uses the clock
    unsigned seed = 1;          // seed of rand()
    std::string inputFile;      // input script replacing the real keyboard and mouse
    std::string screenshotFile; // PNG of the last frame
    std::string viewModel;      // show this model (relative to the asset root) instead of the game
    std::string animation;      // with viewModel: the animation segment to play
    std::string viewEffect;     // show this particle effect by name instead of the game
};

} // namespace game
