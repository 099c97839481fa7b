#pragma once

#include "engine/Behavior.hpp"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace game {

struct DesignerSettings;

// Reloads an area from its level file: when asked (F5), or, while the designer's watch switch is
// on, when the file's modification time or size changes. The file is looked at no more than four
// times a second of real time. Lives on the area world's own entity and updates at priority 20000,
// after everything else of the frame (doors included), so the ninja is carried as the frame left
// him.
class LevelWatcher : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "levelWatcher";

    // Seconds of real time between two looks at the file.
    static constexpr double pollInterval = 0.25;

    LevelWatcher(std::string levelFile, std::string entrance,
                 std::shared_ptr<DesignerSettings> settings);

    // Reloads at the end of this frame's update.
    void requestReload() { requested = true; }
    void update(float dt) override;

    // The level file as the area was asked for, and the entrance it was entered at.
    const std::string levelFile;
    const std::string entrance;
    const std::shared_ptr<DesignerSettings> settings;

private:
    struct Stamp {
        std::filesystem::file_time_type time{};
        std::uintmax_t size = 0;
        bool exists = false;
        bool operator!=(const Stamp& o) const {
            return time != o.time || size != o.size || exists != o.exists;
        }
    };
    Stamp stampNow() const;

    std::string path;
    Stamp seen;
    double lastPoll = 0.0;
    bool requested = false;
};

} // namespace game
