#pragma once

#include "audio/Channel.hpp"
#include "audio/ChannelGroup.hpp"
#include "audio/Result.hpp"
#include "audio/Sound.hpp"
#include "audio/SoundTypes.hpp"

#include <glm/vec3.hpp>

#include <cstddef>
#include <memory>
#include <string>

namespace vorn::audio {

struct SoundSystemImpl;

// The sound layer's system object over OpenAL Soft and libsndfile: output set-up, sounds and
// streams, channels, channel groups and the 3D listener.
//
// Order of use: the output settings (setOutput, setSpeakerMode, setDSPBufferSize,
// setSoftwareFormat) come before init; everything that makes or plays sound comes after it.
// With no output device, init prints one line saying so and every call still succeeds; nothing is
// heard. Coordinates are left-handed: x to the right, y up, z forward, so with the default
// orientation (forward +z, up +y) a sound at +x is heard on the right.
//
// Threads: every public call takes the system's lock. With a real device a worker thread refills
// the stream buffers every few milliseconds, whatever the frame rate. A loopback system has no
// worker: its streams are refilled by update(), so a rendered capture is the same on every run;
// the stream queue holds about 0.37 s, more than the longest gap between updates at 20 frames per
// second. Lifetime: sounds, groups and channel handles belong to the system; destroying it stops
// the worker, then frees channels, sounds and finally the device.
//
// The OpenAL device, the voices behind the channels, the worker thread and its lock live in a
// private implementation (SoundSystemImpl.hpp), so users of the layer see none of them.
class SoundSystem {
public:
    // Frames decoded per stream buffer and buffers queued per streaming channel.
    static constexpr std::size_t streamChunkFrames = 4096;
    static constexpr std::size_t streamBufferCount = 4;
    // Longest sound createSound decodes whole, in seconds.
    static constexpr double maxWholeSeconds = 300.0;

    // An uninitialised system aimed at the default output device.
    SoundSystem();
    // Stops the worker and releases every channel, sound, group and the device.
    ~SoundSystem();
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    // The layer's version (layerVersion).
    Result getVersion(unsigned& version) const;
    // Chooses where the mix goes; before init.
    Result setOutput(OutputType output);
    // The current output choice.
    OutputType getOutput() const;
    // How many output drivers can be used: 1 when the output device opens, else 0.
    Result getNumDrivers(int& count);
    // Capabilities and speaker layout of a driver.
    Result getDriverCaps(int driver, unsigned& capabilities, SpeakerMode& speakers);
    // Name of a driver, copied into `name` (at most length - 1 characters and a terminating 0).
    Result getDriverInfo(int driver, char* name, int length);
    // Sets the speaker layout of the mix; before init. A loopback output cannot render raw or
    // surround layouts: init then answers Result::OutputCreateBuffer.
    Result setSpeakerMode(SpeakerMode speakers);
    // Sets the mixing period in frames and the number of periods; before init.
    Result setDSPBufferSize(unsigned bufferLength, int bufferCount);
    // Sets the mix rate (8000 to 192000), sample format and resampler; before init.
    Result setSoftwareFormat(int sampleRate, SoundFormat format, int inputChannels,
                             int maxInputChannels, Resampler resampler);
    // Opens the output and prepares maxChannels channels (1 to 4095). Answers
    // Result::OutputCreateBuffer when the device refuses the mix format; the system then stays
    // uninitialised and init may be called again with other settings.
    Result init(int maxChannels, unsigned flags);
    // Whether init succeeded.
    bool isInitialized() const;
    // Doppler scale, units per metre and roll-off scale of positioned sounds.
    Result set3DSettings(float dopplerScale, float distanceFactor, float rolloffScale);
    // Reads the 3D settings.
    Result get3DSettings(float& dopplerScale, float& distanceFactor, float& rolloffScale) const;
    // Creates a channel group (the name may be null).
    Result createChannelGroup(const char* name, ChannelGroup*& group);
    // The group every channel starts in and every other group hangs under.
    Result getMasterChannelGroup(ChannelGroup*& group);
    // Loads a WAV or MP3 file decoded whole. Positioned (mode::ThreeD) sounds are mixed down to
    // mono so that they can be placed; others keep stereo.
    Result createSound(const std::string& path, unsigned mode, Sound*& sound);
    // Prepares a WAV or MP3 file for streaming: the file is checked now but decoded only while a
    // channel plays it, a few buffers at a time. Several channels may play one stream at once.
    Result createStream(const std::string& path, unsigned mode, Sound*& sound);
    // Plays a sound on a free channel (taking the oldest one that is not looping forever if all
    // are busy), optionally paused; the channel starts in the master group at volume 1.
    Result playSound(Sound* sound, bool paused, Channel& channel);
    // Places listener 0 (the only one); null arguments keep the current value.
    Result set3DListenerAttributes(int listener, const glm::vec3* position,
                                   const glm::vec3* velocity, const glm::vec3* forward,
                                   const glm::vec3* up);
    // Reads listener 0.
    Result get3DListenerAttributes(int listener, glm::vec3& position, glm::vec3& velocity,
                                   glm::vec3& forward, glm::vec3& up) const;
    // Frees finished channels and, without a worker thread, refills the stream buffers.
    Result update();
    // Number of channels playing or waiting paused.
    Result getChannelsPlaying(int& count);
    // Counts the OpenAL sources and buffers that exist now, so that long runs can check that
    // nothing piles up. Both are 0 without an output device.
    Result getLiveObjectCounts(int& sources, int& buffers);

    // Loopback output only: renders `frames` frames of the mix as interleaved floats
    // (outputChannels() per frame) into `out`.
    Result renderSamples(float* out, int frames);
    // Frames per second of the mix (after init).
    int outputSampleRate() const;
    // Channels per frame of the mix (after init; 0 without an output).
    int outputChannels() const;
    // How often a stream ran dry and had to be restarted (should stay 0).
    unsigned streamUnderruns() const;

private:
    // Channels and groups reach their voices through the implementation.
    friend class Channel;
    friend class ChannelGroup;

    std::unique_ptr<SoundSystemImpl> impl;
};

} // namespace vorn::audio
