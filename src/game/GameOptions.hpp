#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
    std::string area;           // start in the area of this level file instead of the menu
    std::string entrance;       // with area: the entrance to place the player at
    bool entranceGiven = false; // whether --entrance was given (it may name the entrance "")
    std::vector<std::string> upgrades; // with area: upgrades he starts with (doubleJump, sword)
    std::string dumpStateFile;         // JSON of the current world after the last frame
    std::string checkLevel;            // check this level file and exit, without a window
    std::string overviewFile;          // with area: PNG of the whole area
    uint64_t profileFrames = 0;        // print the frame profile after this many frames; 0: none
    std::vector<uint64_t> dumpFrames;  // with dumpStateFile: also dump at these frames
    bool updateOnly = false;           // draw only the last frame
    bool post = false;                 // with viewModel: draw through the post-processing renderer
    std::string viewEffect;            // show this particle effect by name instead of the game
    bool debugDraw = false;            // with area: draw the collider overlay from the first frame
    bool watch = false;          // with area: reload the level file whenever it changes on disk
    std::string resourceLogFile; // table of memory and live GL/AL objects over the run
    std::string quality;         // "auto" or a quality level's name; empty: not given
};

} // namespace game
