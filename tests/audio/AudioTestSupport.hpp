#pragma once

// Helpers shared by the sound tests: generated test tones, a loopback sound system whose mix is
// rendered into memory, and the measurements the tests make on that mix.

#include "audio/SoundManager.hpp"
#include "audio/SoundSystem.hpp"

#include <memory>
#include <string>
#include <vector>

namespace audiotest {

constexpr int kRate = 44100;

// A temporary folder removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return root; }
    // root + "/" + name, creating the folders on the way.
    std::string file(const std::string& name) const;

private:
    std::string root;
};

// Writes a sine tone (amplitude 0..1) as a 16-bit WAV or, for a ".mp3" path, an MP3.
void writeTone(const std::string& path, double frequency, double seconds, double amplitude,
               int channels = 1, int rate = kRate);
// Writes arbitrary bytes.
void writeBytes(const std::string& path, const std::string& bytes);
// The first `count` bytes of a file.
std::string readBytes(const std::string& path, std::size_t count);

// One row of the game's sound table as the tests know it: name, file under the asset root, and
// for music the frequency of the tone written there (0 for sound effects).
struct TableFile {
    const char* name;
    const char* file;
    double musicFrequency;
};
// The 23 files the game registers at start-up.
const std::vector<TableFile>& tableFiles();
// Writes a short tone for every table file under `root` (music tones loop seamlessly).
void writeTableFiles(const std::string& root);

// A stereo loopback system, initialised, with its mix rendered on demand.
std::unique_ptr<vorn::audio::SoundSystem> makeLoopbackSystem(int channels = 100);
// A manager over a fresh loopback system, initialised and with one slot acquired.
std::unique_ptr<vorn::audio::SoundManager> makeLoopbackManager();

// Interleaved stereo samples of a captured mix.
struct Capture {
    std::vector<float> samples;
    std::size_t frames() const { return samples.size() / 2; }
    // Frames [first, first + count) as a new capture.
    Capture slice(std::size_t first, std::size_t count) const;
    // The last `seconds` of the capture.
    Capture tail(double seconds) const;
    // Root mean square of one channel (0 left, 1 right).
    double rms(int channel) const;
    // Amplitude of a sine at `frequency` in one channel (Goertzel), 0 when absent.
    double toneLevel(int channel, double frequency) const;
    // Longest run of frames in which both channels stay below `threshold`.
    std::size_t longestSilence(float threshold = 1e-3f) const;
    // Frames from the start until the last frame louder than `threshold` (0 if none is).
    std::size_t soundingFrames(float threshold = 1e-3f) const;
    void append(const Capture& other);
};

// Renders `seconds` of a loopback system's mix.
Capture render(vorn::audio::SoundSystem& system, double seconds);
// Steps a manager at `fps` for `seconds` (update, then the frame's samples) and captures the mix.
Capture runFrames(vorn::audio::SoundManager& manager, double fps, double seconds);

} // namespace audiotest
