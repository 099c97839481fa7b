// The game's own audio path in a separate process, where OpenAL Soft reads the configuration
// named by ALSOFT_CONF: the wave writer (the real-time mix recorded to a file, with the stream
// fed by the layer's worker thread), no device at all, and the null output.
//
// The test program re-runs itself with MOSSFANG_AUDIO_CHILD naming a scenario; the hook below
// runs that scenario before any test is set up and exits with its status.

#include "AudioTestSupport.hpp"

#include "audio/SoundManager.hpp"
#include "audio/SoundTable.hpp"
#include "engine/AssetRoot.hpp"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

using namespace vorn::audio;

namespace {

// The game's start-up and main loop as far as sound goes: registration from the asset root, the
// menu's music, then frames at 20 per second in real time.
int runChildScenario(const std::string& scenario, const std::string& root) {
    vorn::engine::setAssetRoot(root);
    registerSoundTable();
    SoundManager::instance().playMusic("monsterSong", 0.7f, 5.0f);
    SoundInstance* hit =
        SoundManager::instance().createSoundInstance("hit", glm::vec3(0.0f), glm::vec3(0.0f));
    SoundManager::instance().playInstance(hit, glm::vec3(0.0f, 0.0f, 1.0f), 1.0f, 1.0f, 100.0f);
    const int frames = scenario == "wave" ? 30 : 5;
    for (int i = 0; i < frames; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        SoundManager::frameUpdate(0.05f);
    }
    std::printf("scenario done\n");
    std::fflush(stdout);
    return 0; // the process-wide manager closes the device at exit, finishing the file
}

const int childHook = [] {
    const char* scenario = std::getenv("MOSSFANG_AUDIO_CHILD");
    const char* root = std::getenv("MOSSFANG_AUDIO_ROOT");
    if (scenario != nullptr && root != nullptr) {
        std::exit(runChildScenario(scenario, root));
    }
    return 0;
}();

struct ChildRun {
    int status = -1;
    std::string output;
};

// Runs this program again with the scenario and the OpenAL configuration given.
ChildRun runChild(const std::string& scenario, const audiotest::TempDir& dir,
                  const std::string& config) {
    const std::string configPath = dir.file("alsoft.conf");
    std::ofstream(configPath) << config;
    char self[4096] = {};
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof(self) - 1);
    EXPECT_GT(length, 0);
    const std::string command = "ALSOFT_CONF='" + configPath +
                                "' MOSSFANG_AUDIO_CHILD=" + scenario + " MOSSFANG_AUDIO_ROOT='" +
                                dir.path() + "/' '" + std::string(self) + "' 2>/dev/null";
    ChildRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof(buffer), pipe) != nullptr) {
        run.output += buffer;
    }
    run.status = ::pclose(pipe);
    return run;
}

// The recorded file as a stereo capture at the test rate.
audiotest::Capture readRecording(const std::string& path) {
    audiotest::Capture capture;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    EXPECT_NE(file, nullptr) << "no recording at " << path;
    if (file == nullptr) {
        return capture;
    }
    EXPECT_EQ(info.samplerate, audiotest::kRate);
    std::vector<float> samples(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t frames = sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    for (sf_count_t i = 0; i < frames; ++i) {
        const float left = samples[static_cast<std::size_t>(i * info.channels)];
        const float right =
            info.channels > 1 ? samples[static_cast<std::size_t>(i * info.channels + 1)] : left;
        capture.samples.push_back(left);
        capture.samples.push_back(right);
    }
    return capture;
}

} // namespace

TEST(SoundOutputTest, WaveWriterRecordsTheMenuMusicWithoutGaps) {
    audiotest::TempDir dir;
    audiotest::writeTableFiles(dir.path());
    const std::string recording = dir.file("recording.wav");
    const ChildRun run =
        runChild("wave", dir, "[general]\ndrivers=wave\n[wave]\nfile=" + recording + "\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "scenario done\n") << "no reports, no missing device";

    const audiotest::Capture capture = readRecording(recording);
    ASSERT_GT(capture.frames(), static_cast<std::size_t>(audiotest::kRate)) << "about 1.5 s";
    // Skip the one-shot "hit" at the start; then the menu music (300 Hz) alone, continuous.
    const std::size_t begin = capture.frames() / 4;
    const audiotest::Capture music =
        capture.slice(begin, capture.frames() - begin - audiotest::kRate / 10);
    EXPECT_LT(music.longestSilence(0.002f), 8u) << "the stream never ran dry";
    EXPECT_GT(music.toneLevel(0, 300), 0.1);
    EXPECT_LT(music.toneLevel(0, 350), 0.01) << "the menu's own track";
}

TEST(SoundOutputTest, WithoutAnyDeviceOneLineSaysSoAndNothingFails) {
    audiotest::TempDir dir;
    audiotest::writeTableFiles(dir.path());
    const ChildRun run = runChild("none", dir, "[general]\ndrivers=nowhere\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output,
              "Sound: no audio output device could be opened; the game runs without sound.\n"
              "scenario done\n");
}

TEST(SoundOutputTest, TheNullOutputPlaysNothingQuietly) {
    audiotest::TempDir dir;
    audiotest::writeTableFiles(dir.path());
    const ChildRun run = runChild("null", dir, "[general]\ndrivers=null\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "scenario done\n");
}
