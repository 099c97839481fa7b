// Sound costs: start-up registration of the game's sound table from its real files, the per-frame
// cost of the sound manager's update while the game is busy (eight instances sounding and a music
// cross-fade running), and the resident memory of the eight music tracks with one playing.
//
// The programs run against OpenAL Soft's null output (set through ALSOFT_CONF before OpenAL
// starts), which mixes in real time like a sound card and discards the result: the layer's stream
// worker and the mixer thread run as in the game.

#include "audio/SoundManager.hpp"
#include "audio/SoundSystem.hpp"
#include "audio/SoundTable.hpp"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

using namespace vorn::audio;

namespace {

const std::string kAssetRoot = std::string(MOSSFANG_SOURCE_DIR) + "/assets/";
long baselineKiB = 0; // resident memory before any sound code ran

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return 0;
}

std::unique_ptr<SoundManager> makeManager() {
    return std::make_unique<SoundManager>(std::make_unique<SoundSystem>());
}

const char* const kMusic[][2] = {
    {"monsterSong", "sounds/Music/Monster.mp3"},
    {"bitBitLoop", "sounds/Music/Bit Bit Loop.mp3"},
    {"ambientB", "sounds/Music/Ambient B Eastern Thought.mp3"},
    {"ambientG", "sounds/Music/Ambient G Glowing.mp3"},
    {"ambientH", "sounds/Music/Ambient H Spaced Out.mp3"},
    {"ambientN", "sounds/Music/Ambient N Vibe Train.mp3"},
    {"chillDark", "sounds/Music/Chill Dark.mp3"},
    {"electroShuffleDark", "sounds/Music/ElectroShuffle Dark.mp3"},
};

// Resident memory of the audio side: all eight music tracks registered, one playing for a second
// of frames. Registered first so that it measures from a process that has not played sound yet.
void BM_MusicResidentMemory(benchmark::State& state) {
    for (auto _ : state) {
        long playingKiB = 0;
        double wholeMB = 0.0;
        {
            auto manager = makeManager();
            manager->acquireSlot();
            for (const auto& row : kMusic) {
                manager->registerMusic(kAssetRoot + row[1], row[0]);
            }
            manager->playMusic("monsterSong", 1.0f, 0.0f);
            for (int frame = 0; frame < 60; ++frame) {
                std::this_thread::sleep_for(std::chrono::milliseconds(16));
                manager->update(1.0f / 60.0f);
            }
            playingKiB = residentKiB();
            // What decoding the eight tracks whole would have cost, for comparison.
            for (const auto& row : kMusic) {
                manager->playMusic(row[0], 1.0f, 0.0f);
                const Sound* sound = manager->currentMusic().sound;
                if (sound != nullptr) {
                    wholeMB += sound->lengthSeconds() * sound->sampleRate() * sound->channels() *
                               2.0 / (1024.0 * 1024.0);
                }
            }
        }
        state.counters["audio_MB"] = static_cast<double>(playingKiB - baselineKiB) / 1024.0;
        state.counters["whole_decode_MB"] = wholeMB;
    }
}
BENCHMARK(BM_MusicResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// Start-up: initialise the layer and register the whole table (15 sounds decoded whole, 8 music
// streams checked) from the game's files.
void BM_RegisterSoundTable(benchmark::State& state) {
    for (auto _ : state) {
        auto manager = makeManager();
        registerSoundTable(*manager, kAssetRoot);
        benchmark::DoNotOptimize(manager->soundCount());
        state.PauseTiming();
        char name[256] = {};
        manager->system().getDriverInfo(0, name, sizeof(name));
        state.SetLabel(name);
        manager.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RegisterSoundTable)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One frame of the main loop's audio step while eight instances sound (looping, so they keep
// sounding) and a music cross-fade runs; every sixth or seventh frame includes the listener push
// and the layer's update.
void BM_ManagerFrameUpdate(benchmark::State& state) {
    auto manager = makeManager();
    registerSoundTable(*manager, kAssetRoot);
    const char* const names[] = {"antDeath", "hit",     "swing", "shinyPing",
                                 "webRip",   "walking", "jump",  "antChit"};
    float x = -40.0f;
    for (const char* name : names) {
        const glm::vec3 position(x, 0.0f, 0.0f);
        SoundInstance* instance = manager->createSoundInstance(name, position, glm::vec3(0.0f));
        manager->playInstance(instance, position, 1.0f, 1.0f, 10000.0f);
        manager->loopInstance(instance);
        x += 10.0f;
    }
    manager->playMusic("monsterSong", 1.0f, 0.0f);
    manager->playMusic("ambientB", 0.3f, 1.0e6f); // a fade that outlasts the measurement
    float t = 0.0f;
    for (auto _ : state) {
        t += 1.0f / 60.0f;
        manager->setListenerPosition(glm::vec3(std::sin(t) * 20.0f, 0.0f, 100.0f));
        manager->update(1.0f / 60.0f);
    }
    int playing = 0;
    manager->system().getChannelsPlaying(playing);
    state.counters["channels"] = playing;
    state.counters["fades"] = static_cast<double>(manager->runningFades());
}
BENCHMARK(BM_ManagerFrameUpdate)->Unit(benchmark::kMicrosecond)->MinTime(3.0);

} // namespace

int main(int argc, char** argv) {
    baselineKiB = residentKiB();
    // OpenAL Soft reads its configuration when it is first used: point it at the null output.
    char configPath[] = "/tmp/mossfang-bench-alsoft-XXXXXX";
    const int descriptor = ::mkstemp(configPath);
    if (descriptor >= 0) {
        const char config[] = "[general]\ndrivers=null\n";
        if (::write(descriptor, config, sizeof(config) - 1) < 0) {
            std::perror("writing the OpenAL configuration");
        }
        ::close(descriptor);
        ::setenv("ALSOFT_CONF", configPath, 1);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(configPath);
    return 0;
}
