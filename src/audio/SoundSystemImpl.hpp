#pragma once

// The private side of SoundSystem, shared by its sources and by the channel and group handles:
// the OpenAL device, the sounds, groups and voices, the listener and the stream worker. Nothing
// outside src/audio includes this header.
//
// Locking: every entry point from outside (the public calls of SoundSystem, Channel and
// ChannelGroup) takes `mutex` once and makes the device's context current; the helpers below
// expect both already done and never lock. The worker thread takes the same lock for each round of
// stream feeding (see SoundSystemStreams.cpp).

#include "audio/AlBuffer.hpp"
#include "audio/ChannelGroup.hpp"
#include "audio/OutputDevice.hpp"
#include "audio/Sound.hpp"
#include "audio/SoundSystem.hpp"
#include "audio/Voice.hpp"

#include <glm/vec3.hpp>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vorn::audio {

using Lock = std::lock_guard<std::mutex>;

// Whether all three coordinates are finite.
bool isFinite(const glm::vec3& v);

struct SoundSystemImpl {
    explicit SoundSystemImpl(SoundSystem& owner) : owner(owner) {}

    // Device and settings (SoundSystem.cpp).
    void makeCurrent() const;
    bool probeDevice();
    void applyListener() const;
    void applyDistanceModel() const;

    // Loading (SoundSystemLoading.cpp).
    Result createSound(const std::string& path, unsigned mode, bool stream, Sound*& sound);

    // The voice pool (SoundSystemVoices.cpp).
    Result play(Sound* sound, bool paused, Channel& channel);
    Voice* takeVoice();
    Voice* liveVoice(const Channel& channel);
    bool isFinished(const Voice& voice) const;
    bool loopsForever(const Voice& voice) const;
    bool effectivelyPaused(const Voice& voice) const;
    void releaseVoice(Voice& voice);
    Result startVoice(Voice& voice);
    void applyGain(Voice& voice) const;
    void applySpatial(Voice& voice) const;
    void applyLooping(Voice& voice) const;
    Result applyPause(Voice& voice);

    // Stream feeding (SoundSystemStreams.cpp).
    bool fillStreamBuffer(Voice& voice, AlBuffer& buffer);
    void serviceStreams();
    void workerLoop();

    // Runs `operation` on the voice behind a channel handle: takes the lock, makes the context
    // current, and answers Uninitialized or InvalidHandle when there is no live voice.
    template <typename Operation> Result withVoice(const Channel& channel, Operation operation) {
        const Lock lock(mutex);
        makeCurrent();
        if (!initialized)
            return Result::Uninitialized;
        Voice* voice = liveVoice(channel);
        if (!voice)
            return Result::InvalidHandle;
        return operation(*voice);
    }

    SoundSystem& owner;

    mutable std::mutex mutex;
    std::unique_ptr<OutputDevice> device; // first member of the AL state: destroyed last
    std::vector<std::unique_ptr<Sound>> sounds;
    std::vector<std::unique_ptr<ChannelGroup>> groups;
    std::unique_ptr<ChannelGroup> master;
    std::vector<Voice> voices;

    OutputType output = OutputType::AutoDetect;
    SpeakerMode speakers = SpeakerMode::Stereo;
    int softwareRate = 0;
    unsigned dspBufferLength = 0;
    bool initialized = false;
    bool silent = false; // initialised without an output device
    std::uint64_t playSerial = 0;

    float dopplerScale = 1.0f;
    float distanceFactor = 1.0f;
    float rolloffScale = 1.0f;
    glm::vec3 listenerPosition{0.0f};
    glm::vec3 listenerVelocity{0.0f};
    glm::vec3 listenerForward{0.0f, 0.0f, 1.0f};
    glm::vec3 listenerUp{0.0f, 1.0f, 0.0f};

    std::atomic<unsigned> underruns{0};
    std::thread worker;
    std::condition_variable wake;
    bool stopping = false;
};

} // namespace vorn::audio
