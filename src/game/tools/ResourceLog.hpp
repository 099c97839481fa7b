#pragma once

#include <cstdint>
#include <fstream>
#include <string>

namespace vorn::engine {
class Application;
}

namespace game {

// `--resource-log FILE`: a table of what the running game holds, for soak runs. One line is
// written at start-up, after every scene change and every `period` frames, with the frame, the
// scene changes so far, the scene's name, the resident memory of the process, the live OpenGL
// objects of each kind and the live OpenAL sources and buffers. Columns are separated by tabs;
// the first line names them.
class ResourceLog {
public:
    static constexpr uint64_t period = 600;

    // Opens (and empties) `path`; ok() tells whether that worked.
    explicit ResourceLog(const std::string& path);
    bool ok() const { return static_cast<bool>(file); }

    // Call at the end of every frame (before display) with the frame's index.
    void frameEnded(const vorn::engine::Application& application, uint64_t frame);

    // The resident memory of this process in KiB (0 where /proc cannot tell).
    static long residentKiB();

private:
    std::ofstream file;
    std::string lastScene;
    uint64_t sceneChanges = 0;
    bool started = false;
};

} // namespace game
