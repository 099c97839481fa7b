#include "AudioTestSupport.hpp"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace audiotest {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "mossfang-audio-XXXXXX").string();
    const char* made = ::mkdtemp(pattern.data());
    root = made != nullptr ? std::string(made) : std::string();
    EXPECT_FALSE(root.empty()) << "cannot make a temporary folder";
}

TempDir::~TempDir() {
    std::error_code ignored;
    if (!root.empty()) {
        fs::remove_all(root, ignored);
    }
}

std::string TempDir::file(const std::string& name) const {
    const fs::path full = fs::path(root) / name;
    fs::create_directories(full.parent_path());
    return full.string();
}

void writeTone(const std::string& path, const double frequency, const double seconds,
               const double amplitude, const int channels, const int rate) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    const bool mp3 = path.size() > 4 && path.substr(path.size() - 4) == ".mp3";
    info.format =
        mp3 ? (SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III) : (SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << "cannot write " << path << ": " << sf_strerror(nullptr);
    const auto frames = static_cast<std::size_t>(std::llround(seconds * rate));
    std::vector<float> samples(frames * static_cast<std::size_t>(channels));
    const double step = 2.0 * M_PI * frequency / rate;
    for (std::size_t i = 0; i < frames; ++i) {
        const auto value = static_cast<float>(amplitude * std::sin(step * static_cast<double>(i)));
        for (int c = 0; c < channels; ++c) {
            samples[i * static_cast<std::size_t>(channels) + c] = value;
        }
    }
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(frames));
    sf_close(file);
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readBytes(const std::string& path, const std::size_t count) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

const std::vector<TableFile>& tableFiles() {
    static const std::vector<TableFile> files = {
        {"antDeath", "/sounds/SoundEffects/antDeath.wav", 0},
        {"hit", "/sounds/SoundEffects/hitFast.wav", 0},
        {"swing", "/sounds/SoundEffects/playerSwing.wav", 0},
        {"ninjaDeath", "/sounds/SoundEffects/dyingNinja.wav", 0},
        {"shinyPing", "/sounds/SoundEffects/shinyPing.wav", 0},
        {"webRip", "/sounds/SoundEffects/webRip.wav", 0},
        {"antBite", "/sounds/SoundEffects/antBite.wav", 0},
        {"walking", "/sounds/SoundEffects/walkingOnRock.wav", 0},
        {"jump", "/sounds/SoundEffects/ninjaJump0.wav", 0},
        {"doubleJump", "/sounds/SoundEffects/ninjaJump1.wav", 0},
        {"landing", "/sounds/SoundEffects/ninjaLand0.wav", 0},
        {"antChit", "/sounds/SoundEffects/antChittering.wav", 0},
        {"shatter", "/sounds/SoundEffects/shatter.wav", 0},
        {"waspBuzz", "/sounds/SoundEffects/waspBuzz.wav", 0},
        {"waspDeath", "/sounds/SoundEffects/waspDeath.wav", 0},
        {"spiderDrop", "/sounds/SoundEffects/spiderDrop.wav", 0},
        {"threadSnap", "/sounds/SoundEffects/threadSnap.wav", 0},
        {"leafRustle", "/sounds/SoundEffects/leafRustle.wav", 0},
        {"checkpoint", "/sounds/SoundEffects/checkpoint.wav", 0},
        {"secretFound", "/sounds/SoundEffects/secretFound.wav", 0},
        {"monsterSong", "/sounds/Music/Monster.mp3", 300},
        {"bitBitLoop", "/sounds/Music/Bit Bit Loop.mp3", 350},
        {"ambientB", "/sounds/Music/Ambient B Eastern Thought.mp3", 400},
        {"ambientG", "/sounds/Music/Ambient G Glowing.mp3", 450},
        {"ambientH", "/sounds/Music/Ambient H Spaced Out.mp3", 500},
        {"ambientN", "/sounds/Music/Ambient N Vibe Train.mp3", 550},
        {"chillDark", "/sounds/Music/Chill Dark.mp3", 600},
        {"electroShuffleDark", "/sounds/Music/ElectroShuffle Dark.mp3", 650},
        {"jumpUpgradeVoice", "/sounds/Dialogue/jumpUpgradeVoice.wav", 0},
        {"swordUpgradeVoice", "/sounds/Dialogue/swordUpgradeVoice.wav", 0},
    };
    return files;
}

void writeTableFiles(const std::string& root) {
    for (const TableFile& row : tableFiles()) {
        const fs::path path = fs::path(root + row.file);
        fs::create_directories(path.parent_path());
        if (row.musicFrequency > 0) {
            writeTone(path.string(), row.musicFrequency, 1.0, 0.5);
        } else {
            writeTone(path.string(), 1000, 0.2, 0.5);
        }
    }
}

std::unique_ptr<vorn::audio::SoundSystem> makeLoopbackSystem(const int channels) {
    using vorn::audio::Result;
    auto system = std::make_unique<vorn::audio::SoundSystem>();
    EXPECT_EQ(system->setOutput(vorn::audio::OutputType::Loopback), Result::Ok);
    EXPECT_EQ(system->init(channels, 0), Result::Ok);
    EXPECT_EQ(system->outputChannels(), 2);
    return system;
}

std::unique_ptr<vorn::audio::SoundManager> makeLoopbackManager() {
    auto system = std::make_unique<vorn::audio::SoundSystem>();
    EXPECT_EQ(system->setOutput(vorn::audio::OutputType::Loopback), vorn::audio::Result::Ok);
    auto manager = std::make_unique<vorn::audio::SoundManager>(std::move(system));
    manager->acquireSlot();
    EXPECT_TRUE(manager->isInitialized());
    return manager;
}

Capture Capture::slice(const std::size_t first, const std::size_t count) const {
    Capture part;
    const std::size_t begin = std::min(first, frames());
    const std::size_t end = std::min(begin + count, frames());
    part.samples.assign(samples.begin() + static_cast<std::ptrdiff_t>(begin * 2),
                        samples.begin() + static_cast<std::ptrdiff_t>(end * 2));
    return part;
}

Capture Capture::tail(const double seconds) const {
    const auto count = static_cast<std::size_t>(seconds * kRate);
    return slice(frames() > count ? frames() - count : 0, count);
}

double Capture::rms(const int channel) const {
    if (frames() == 0) {
        return 0.0;
    }
    double sum = 0.0;
    for (std::size_t i = 0; i < frames(); ++i) {
        const double v = samples[i * 2 + static_cast<std::size_t>(channel)];
        sum += v * v;
    }
    return std::sqrt(sum / static_cast<double>(frames()));
}

double Capture::toneLevel(const int channel, const double frequency) const {
    const std::size_t n = frames();
    if (n == 0) {
        return 0.0;
    }
    const double omega = 2.0 * M_PI * frequency / kRate;
    const double coefficient = 2.0 * std::cos(omega);
    double s1 = 0.0;
    double s2 = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double s0 =
            samples[i * 2 + static_cast<std::size_t>(channel)] + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return 2.0 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(n);
}

std::size_t Capture::longestSilence(const float threshold) const {
    std::size_t longest = 0;
    std::size_t run = 0;
    for (std::size_t i = 0; i < frames(); ++i) {
        const bool quiet =
            std::fabs(samples[i * 2]) < threshold && std::fabs(samples[i * 2 + 1]) < threshold;
        run = quiet ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

std::size_t Capture::soundingFrames(const float threshold) const {
    for (std::size_t i = frames(); i > 0; --i) {
        if (std::fabs(samples[(i - 1) * 2]) >= threshold ||
            std::fabs(samples[(i - 1) * 2 + 1]) >= threshold) {
            return i;
        }
    }
    return 0;
}

void Capture::append(const Capture& other) {
    samples.insert(samples.end(), other.samples.begin(), other.samples.end());
}

Capture render(vorn::audio::SoundSystem& system, const double seconds) {
    Capture capture;
    const auto frames = static_cast<int>(std::llround(seconds * system.outputSampleRate()));
    capture.samples.resize(static_cast<std::size_t>(frames) * 2);
    EXPECT_EQ(system.renderSamples(capture.samples.data(), frames), vorn::audio::Result::Ok);
    return capture;
}

Capture runFrames(vorn::audio::SoundManager& manager, const double fps, const double seconds) {
    Capture capture;
    const auto frameCount = static_cast<int>(std::llround(seconds * fps));
    const double dt = 1.0 / fps;
    double owed = 0.0; // fractional frames carried so that the capture keeps real time exactly
    for (int i = 0; i < frameCount; ++i) {
        manager.update(static_cast<float>(dt));
        owed += dt * kRate;
        const auto frames = static_cast<int>(owed);
        owed -= frames;
        Capture piece;
        piece.samples.resize(static_cast<std::size_t>(frames) * 2);
        EXPECT_EQ(manager.system().renderSamples(piece.samples.data(), frames),
                  vorn::audio::Result::Ok);
        capture.append(piece);
    }
    return capture;
}

} // namespace audiotest
