#pragma once

#include "audio/SoundTypes.hpp"

#include <memory>
#include <string>

struct ALCdevice_struct;
struct ALCcontext_struct;

namespace vorn::audio {

// One opened OpenAL device and, once created, its context. The context is made current per thread
// (thread-local contexts), so several sound systems may live in one process, each with its own
// device. Destruction deletes the context and then closes the device.
class OutputDevice {
public:
    // Opens the default playback device; null when there is none.
    static std::unique_ptr<OutputDevice> openDefault();
    // Opens a loopback device that renders the mix on demand; null if OpenAL cannot.
    static std::unique_ptr<OutputDevice> openLoopback();

    // Deletes the context (if any) and closes the device.
    ~OutputDevice();
    OutputDevice(const OutputDevice&) = delete;
    OutputDevice& operator=(const OutputDevice&) = delete;

    // The device's name as OpenAL reports it.
    std::string name() const;
    // Whether this is a loopback device.
    bool isLoopback() const { return loopbackDevice; }
    // Creates the context: sampleRate 0 keeps the device's rate, refreshRate 0 its mixing period.
    // A loopback device renders 32-bit float samples in the speaker layout given; a layout it
    // cannot render (raw, surround) fails. False if no context could be made.
    bool createContext(int sampleRate, SpeakerMode speakers, int refreshRate);
    // Whether a context exists.
    bool hasContext() const { return alContext != nullptr; }
    // Makes the context current on the calling thread (cheap when it already is).
    void makeCurrent() const;
    // Frames per second of the mix.
    int sampleRate() const { return mixRate; }
    // Channels per frame of the mix.
    int channels() const { return mixChannels; }
    // Loopback only: renders `frames` frames of interleaved float samples into `out`.
    bool render(float* out, int frames);

private:
    OutputDevice(ALCdevice_struct* device, bool loopback);

    ALCdevice_struct* alDevice = nullptr;
    ALCcontext_struct* alContext = nullptr;
    bool loopbackDevice = false;
    int mixRate = 44100;
    int mixChannels = 2;
};

} // namespace vorn::audio
