#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testsupport {

// A fresh, empty folder for the game's saved run and best time, made the data folder
// (XDG_DATA_HOME) of this process and of every game it starts while the object lives; removed,
// and the old setting restored, when it goes. Each one has a folder of its own.
class ScratchData {
public:
    ScratchData() {
        static int made = 0;
        dir = std::filesystem::temp_directory_path() /
              ("mossfang-data-" + std::to_string(::getpid()) + "-" + std::to_string(++made));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        const char* old = std::getenv("XDG_DATA_HOME");
        hadOld = old != nullptr;
        if (old)
            oldValue = old;
        ::setenv("XDG_DATA_HOME", dir.c_str(), 1);
    }
    ~ScratchData() {
        if (hadOld)
            ::setenv("XDG_DATA_HOME", oldValue.c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    ScratchData(const ScratchData&) = delete;
    ScratchData& operator=(const ScratchData&) = delete;

    // The folder the game keeps its files in: DIR/mossfang.
    std::filesystem::path gameFolder() const { return dir / "mossfang"; }
    // "XDG_DATA_HOME=DIR ", to put before a command that runs the game.
    std::string environment() const { return "XDG_DATA_HOME=" + dir.string() + " "; }

    std::filesystem::path dir;

private:
    bool hadOld = false;
    std::string oldValue;
};

} // namespace testsupport
