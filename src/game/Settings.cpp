#include "game/Settings.hpp"

#include "engine/InputBindings.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace game {

namespace {

using vorn::rendering::QualityLevel;

std::string trim(const std::string& text) {
    const char* const space = " \t\r";
    const size_t first = text.find_first_not_of(space);
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

const char* onOff(bool on) {
    return on ? "on" : "off";
}

bool readSwitch(const std::string& value, bool& to) {
    if (value != "on" && value != "off")
        return false;
    to = value == "on";
    return true;
}

// A whole number from `low` to `high`, written in plain digits.
bool readPercent(const std::string& value, int low, int high, int& to) {
    if (value.empty() || value.size() > 3 ||
        value.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const int n = std::stoi(value);
    if (n < low || n > high)
        return false;
    to = n;
    return true;
}

bool readQuality(const std::string& value, std::optional<QualityLevel>& to) {
    if (value == "auto") {
        to.reset();
        return true;
    }
    const std::optional<QualityLevel> level = vorn::rendering::parseQualityLevel(value);
    if (!level)
        return false;
    to = level;
    return true;
}

// One `name = value` line into `settings`; false when the name or the value is not known.
bool readSetting(const std::string& name, const std::string& value, Settings& settings) {
    components::Assists& assists = settings.assists;
    if (name == "quality")
        return readQuality(value, settings.quality);
    if (name == "musicVolume")
        return readPercent(value, 0, 100, settings.musicVolume);
    if (name == "effectsVolume")
        return readPercent(value, 0, 100, settings.effectsVolume);
    if (name == "fullscreen")
        return readSwitch(value, settings.fullscreen);
    if (name == "frameMeter")
        return readSwitch(value, settings.frameMeter);
    if (name == "gameSpeed") {
        int speed = 0;
        if (!readPercent(value, 0, 100, speed) || (speed != 100 && speed != 80 && speed != 60))
            return false;
        assists.gameSpeed = speed;
        return true;
    }
    if (name == "unlimitedEnergy")
        return readSwitch(value, assists.unlimitedEnergy);
    if (name == "noDamage")
        return readSwitch(value, assists.noDamage);
    return false;
}

// Writes all of `text` to the file descriptor.
bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

bool Settings::operator==(const Settings& other) const {
    return quality == other.quality && musicVolume == other.musicVolume &&
           effectsVolume == other.effectsVolume && fullscreen == other.fullscreen &&
           frameMeter == other.frameMeter && assists.gameSpeed == other.assists.gameSpeed &&
           assists.unlimitedEnergy == other.assists.unlimitedEnergy &&
           assists.noDamage == other.assists.noDamage;
}

std::string Settings::qualityName(const std::optional<QualityLevel>& quality) {
    return quality ? vorn::rendering::qualityName(*quality) : "auto";
}

std::string Settings::text() const {
    std::ostringstream out;
    out << "# Mossfang settings: one name = value a line\n"
        << "quality = " << qualityName(quality) << "\n"
        << "musicVolume = " << musicVolume << "\n"
        << "effectsVolume = " << effectsVolume << "\n"
        << "fullscreen = " << onOff(fullscreen) << "\n"
        << "frameMeter = " << onOff(frameMeter) << "\n"
        << "gameSpeed = " << assists.gameSpeed << "\n"
        << "unlimitedEnergy = " << onOff(assists.unlimitedEnergy) << "\n"
        << "noDamage = " << onOff(assists.noDamage) << "\n";
    return out.str();
}

std::optional<Settings> Settings::parse(std::istream& in, int& badLine) {
    Settings settings;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::string content = trim(line.substr(0, line.find('#')));
        if (content.empty())
            continue;
        const size_t equals = content.find('=');
        if (equals == std::string::npos ||
            !readSetting(trim(content.substr(0, equals)), trim(content.substr(equals + 1)),
                         settings)) {
            badLine = number;
            return std::nullopt;
        }
    }
    return settings;
}

std::string Settings::filePath() {
    const std::string keys = vorn::engine::InputBindings::keyFilePath();
    if (keys.empty())
        return "";
    return std::filesystem::path(keys).replace_filename("settings.txt").string();
}

Settings Settings::load(const std::string& path, std::ostream& report, bool& writable) {
    writable = true;
    Settings loaded;
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (path.empty() || status.type() == std::filesystem::file_type::not_found)
        return loaded;

    // Unreadable (not a file, no permission, a read error, far too long) or damaged.
    std::string problem;
    if (status.type() != std::filesystem::file_type::regular) {
        problem = "cannot be read";
    } else {
        std::ifstream file(path, std::ios::binary);
        std::string content;
        if (file) {
            content.resize(maxFileSize + 1);
            file.read(content.data(), static_cast<std::streamsize>(content.size()));
            content.resize(static_cast<size_t>(file.gcount()));
        }
        if (!file && !file.eof()) {
            problem = "cannot be read";
        } else if (content.size() > maxFileSize) {
            problem = "is damaged (longer than any settings file)";
        } else {
            std::istringstream in(content);
            int badLine = 0;
            if (std::optional<Settings> read = parse(in, badLine))
                loaded = *read;
            else
                problem = "is damaged (line " + std::to_string(badLine) + ")";
        }
    }
    if (problem.empty())
        return loaded;

    const std::string backup = path + ".bak";
    std::filesystem::rename(path, backup, error);
    report << "mossfang: the settings file " << path << " " << problem
           << "; playing with the default settings";
    if (error) {
        writable = false;
        report << ", and the file cannot be kept as " << backup << ": it is left as it is\n";
    } else {
        report << ", the file is kept as " << backup << "\n";
    }
    return loaded;
}

bool Settings::save(const std::string& path, std::string& problem) const {
    if (path.empty()) {
        problem = "neither XDG_CONFIG_HOME nor HOME is set";
        return false;
    }
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, error);
        if (error) {
            problem = error.message();
            return false;
        }
    }
    const std::string temporary = path + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        problem = std::strerror(errno);
        return false;
    }
    // On disk before the rename, so the name never points at a half-written file.
    const bool written = writeAll(fd, text()) && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        problem = std::strerror(written ? errno : writeError);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        problem = std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace game
