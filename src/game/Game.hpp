#pragma once

#include "game/GameOptions.hpp"

#include <functional>
#include <memory>
#include <string>

namespace vorn::engine {
class World;
}

namespace game {

// One run of the game: opens the window, prepares OpenGL, builds the first scene and runs the
// main loop until the window closes, the player quits or the frame limit is reached.
class Game {
public:
    static constexpr const char* title = "Mossfang - a Game by Quarrow Games";
    static constexpr unsigned width = 800;
    static constexpr unsigned height = 600;

    // Builds the first scene once the window and the Application exist.
    using SceneBuilder = std::function<std::shared_ptr<vorn::engine::World>()>;

    // Runs the game; returns the process exit status. `firstScene` replaces the usual first scene
    // (tools and tests use it).
    static int run(const GameOptions& options, const SceneBuilder& firstScene = nullptr);
    // The asset root of this executable: see the overload, with the folder the running program
    // lies in.
    static std::string locateAssetRoot();
    // Sets the memory allocator up for the game's pattern of large, short-lived blocks; called
    // once at process start, before the window opens.
    static void tuneAllocator();
    // The asset root for a program in `executableDir`: its assets/ beside it (a build tree), else
    // ../share/mossfang/assets (an installed copy), else the working directory's assets/.
    static std::string locateAssetRoot(const std::string& executableDir);
};

} // namespace game
