#pragma once

#include "components/Assists.hpp"
#include "rendering/QualityLevel.hpp"

#include <istream>
#include <optional>
#include <ostream>
#include <string>

namespace game {

// The player's settings: picture quality, volumes, the window and the frame meter, and the
// assists. They live in settings.txt beside keys.txt, one `name = value` a line, '#' starting a
// comment:
//
//   quality = auto            auto, full, medium, low or minimal
//   musicVolume = 100         0 to 100 (percent)
//   effectsVolume = 100       0 to 100 (percent)
//   fullscreen = off          on or off
//   frameMeter = off          on or off
//   gameSpeed = 100           100, 80 or 60 (percent of normal)
//   unlimitedEnergy = off     on or off
//   noDamage = off            on or off
//
// A name the file leaves out keeps its default. Any other line (an unknown name, a value out of
// range, anything that is not `name = value`) makes the whole file damaged: the game then plays
// with the defaults and keeps the file aside as settings.txt.bak.
struct Settings {
    // The picture quality: empty for auto, which lets the game choose.
    std::optional<vorn::rendering::QualityLevel> quality;
    int musicVolume = 100;
    int effectsVolume = 100;
    bool fullscreen = false;
    bool frameMeter = false;
    components::Assists assists;

    // The largest file read; anything longer is not a settings file.
    static constexpr std::size_t maxFileSize = 64 * 1024;

    bool operator==(const Settings& other) const;
    bool operator!=(const Settings& other) const { return !(*this == other); }

    // "auto" or the level's name.
    static std::string qualityName(const std::optional<vorn::rendering::QualityLevel>& quality);

    // The file's text: every setting, in the order above.
    std::string text() const;
    // Reads a file's text. Nothing when a line is damaged; `badLine` is then its number.
    static std::optional<Settings> parse(std::istream& in, int& badLine);

    // $XDG_CONFIG_HOME/mossfang/settings.txt (~/.config/mossfang/settings.txt without it), the
    // folder of keys.txt; empty when neither XDG_CONFIG_HOME nor HOME is set.
    static std::string filePath();

    // Reads the file at `path`. A missing file gives the defaults silently; a damaged or
    // unreadable one gives one line on `report` and the defaults, and is renamed to PATH.bak
    // before anything can be written over it. `writable` turns false when a damaged file could
    // not be moved aside, and so must not be written over.
    static Settings load(const std::string& path, std::ostream& report, bool& writable);
    // Writes the file at `path` (making its folder) through a temporary file renamed into place,
    // so a crash never leaves half a file. False, with the reason in `problem`, when it cannot.
    bool save(const std::string& path, std::string& problem) const;
};

} // namespace game
