#define AL_ALEXT_PROTOTYPES
#include "audio/OutputDevice.hpp"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <vector>

namespace vorn::audio {

namespace {

// OpenAL's channel layout for a loopback device, 0 where it has none.
ALCint loopbackChannels(const SpeakerMode speakers, int& count) {
    switch (speakers) {
    case SpeakerMode::Mono:
        count = 1;
        return ALC_MONO_SOFT;
    case SpeakerMode::Stereo:
        count = 2;
        return ALC_STEREO_SOFT;
    case SpeakerMode::Quad:
        count = 4;
        return ALC_QUAD_SOFT;
    case SpeakerMode::FivePointOne:
        count = 6;
        return ALC_5POINT1_SOFT;
    case SpeakerMode::SevenPointOne:
        count = 8;
        return ALC_7POINT1_SOFT;
    case SpeakerMode::Raw:
    case SpeakerMode::Surround:
        break;
    }
    count = 0;
    return 0;
}

} // namespace

std::unique_ptr<OutputDevice> OutputDevice::openDefault() {
    if (alcIsExtensionPresent(nullptr, "ALC_EXT_thread_local_context") == ALC_FALSE)
        return nullptr;
    ALCdevice* device = alcOpenDevice(nullptr);
    if (!device)
        return nullptr;
    return std::unique_ptr<OutputDevice>(new OutputDevice(device, false));
}

std::unique_ptr<OutputDevice> OutputDevice::openLoopback() {
    if (alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") == ALC_FALSE ||
        alcIsExtensionPresent(nullptr, "ALC_EXT_thread_local_context") == ALC_FALSE)
        return nullptr;
    ALCdevice* device = alcLoopbackOpenDeviceSOFT(nullptr);
    if (!device)
        return nullptr;
    return std::unique_ptr<OutputDevice>(new OutputDevice(device, true));
}

OutputDevice::OutputDevice(ALCdevice* device, const bool loopback)
    : alDevice(device), loopbackDevice(loopback) {}

OutputDevice::~OutputDevice() {
    if (alContext) {
        if (alcGetThreadContext() == alContext)
            alcSetThreadContext(nullptr);
        if (alcGetCurrentContext() == alContext)
            alcMakeContextCurrent(nullptr);
        alcDestroyContext(alContext);
    }
    alcCloseDevice(alDevice);
}

std::string OutputDevice::name() const {
    const ALCchar* text = nullptr;
    if (alcIsExtensionPresent(alDevice, "ALC_ENUMERATE_ALL_EXT") == ALC_TRUE)
        text = alcGetString(alDevice, ALC_ALL_DEVICES_SPECIFIER);
    if (!text || *text == '\0')
        text = alcGetString(alDevice, ALC_DEVICE_SPECIFIER);
    return text != nullptr ? std::string(text) : std::string();
}

bool OutputDevice::createContext(const int sampleRate, const SpeakerMode speakers,
                                 const int refreshRate) {
    if (alContext)
        return true;
    std::vector<ALCint> attributes;
    if (loopbackDevice) {
        const int rate = sampleRate > 0 ? sampleRate : 44100;
        int count = 0;
        const ALCint layout = loopbackChannels(speakers, count);
        if (layout == 0 ||
            alcIsRenderFormatSupportedSOFT(alDevice, rate, layout, ALC_FLOAT_SOFT) == ALC_FALSE)
            return false;
        // Plain panning, no limiter: the rendered mix is exactly what the sources add up to.
        attributes = {ALC_FORMAT_CHANNELS_SOFT,
                      layout,
                      ALC_FORMAT_TYPE_SOFT,
                      ALC_FLOAT_SOFT,
                      ALC_FREQUENCY,
                      rate,
                      ALC_HRTF_SOFT,
                      ALC_FALSE,
                      ALC_OUTPUT_LIMITER_SOFT,
                      ALC_FALSE};
        mixRate = rate;
        mixChannels = count;
    } else {
        if (sampleRate > 0)
            attributes.insert(attributes.end(), {ALC_FREQUENCY, sampleRate});
        if (refreshRate > 0)
            attributes.insert(attributes.end(), {ALC_REFRESH, refreshRate});
    }
    attributes.push_back(0);
    alContext = alcCreateContext(alDevice, attributes.data());
    if (!alContext)
        return false;
    if (!loopbackDevice) {
        ALCint rate = 0;
        alcGetIntegerv(alDevice, ALC_FREQUENCY, 1, &rate);
        mixRate = rate > 0 ? rate : 44100;
    }
    makeCurrent();
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    return true;
}

void OutputDevice::makeCurrent() const {
    if (alContext && alcGetThreadContext() != alContext)
        alcSetThreadContext(alContext);
}

bool OutputDevice::render(float* out, const int frames) {
    if (!loopbackDevice || !alContext || frames < 0)
        return false;
    alcRenderSamplesSOFT(alDevice, out, frames);
    return true;
}

} // namespace vorn::audio
