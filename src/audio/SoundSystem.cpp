// The sound system's device and settings: output choice, drivers, mix format, initialisation, the
// 3D settings and the listener, the per-frame update and the loopback rendering. Loading, the
// voice pool and stream feeding live in SoundSystemLoading.cpp, SoundSystemVoices.cpp and
// SoundSystemStreams.cpp; channel and group operations beside Channel and ChannelGroup.
#define AL_ALEXT_PROTOTYPES
#include "audio/SoundSystem.hpp"

#include "audio/SoundSystemImpl.hpp"
#include "engine/Diagnostics.hpp"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ostream>

namespace vorn::audio {

namespace {
constexpr float speedOfSound = 343.3f; // metres per second
} // namespace

bool isFinite(const glm::vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

SoundSystem::SoundSystem() : impl(std::make_unique<SoundSystemImpl>(*this)) {}

SoundSystem::~SoundSystem() {
    {
        const Lock lock(impl->mutex);
        impl->stopping = true;
    }
    impl->wake.notify_all();
    if (impl->worker.joinable())
        impl->worker.join();
    const Lock lock(impl->mutex);
    impl->makeCurrent();
    for (Voice& voice : impl->voices)
        impl->releaseVoice(voice);
    impl->voices.clear();
    impl->sounds.clear();
    impl->groups.clear();
    impl->master.reset();
}

void SoundSystemImpl::makeCurrent() const {
    if (device)
        device->makeCurrent();
}

bool SoundSystemImpl::probeDevice() {
    if (device)
        return true;
    if (output == OutputType::Loopback)
        device = OutputDevice::openLoopback();
    else if (output == OutputType::AutoDetect)
        device = OutputDevice::openDefault();
    return device != nullptr;
}

void SoundSystemImpl::applyListener() const {
    // Our coordinates are left-handed, OpenAL's right-handed: z changes sign on the way in.
    alListener3f(AL_POSITION, listenerPosition.x, listenerPosition.y, -listenerPosition.z);
    alListener3f(AL_VELOCITY, listenerVelocity.x, listenerVelocity.y, -listenerVelocity.z);
    const ALfloat orientation[6] = {listenerForward.x, listenerForward.y, -listenerForward.z,
                                    listenerUp.x,      listenerUp.y,      -listenerUp.z};
    alListenerfv(AL_ORIENTATION, orientation);
}

void SoundSystemImpl::applyDistanceModel() const {
    alDopplerFactor(dopplerScale);
    alSpeedOfSound(speedOfSound * distanceFactor);
}

Result SoundSystem::getVersion(unsigned& version) const {
    version = layerVersion;
    return Result::Ok;
}

Result SoundSystem::setOutput(const OutputType output) {
    const Lock lock(impl->mutex);
    if (impl->initialized)
        return Result::Initialized;
    if (output != OutputType::AutoDetect && output != OutputType::Loopback &&
        output != OutputType::NoSound)
        return Result::InvalidParam;
    if (output != impl->output) {
        impl->device.reset(); // a device probed for the old choice
        impl->output = output;
    }
    return Result::Ok;
}

OutputType SoundSystem::getOutput() const {
    const Lock lock(impl->mutex);
    return impl->output;
}

Result SoundSystem::getNumDrivers(int& count) {
    const Lock lock(impl->mutex);
    if (impl->initialized) {
        count = impl->silent ? 0 : 1;
        return Result::Ok;
    }
    count = impl->output != OutputType::NoSound && impl->probeDevice() ? 1 : 0;
    return Result::Ok;
}

Result SoundSystem::getDriverCaps(const int driver, unsigned& capabilities, SpeakerMode& speakers) {
    const Lock lock(impl->mutex);
    capabilities = caps::None;
    speakers = SpeakerMode::Stereo;
    const bool present =
        impl->output != OutputType::NoSound && !impl->silent && impl->probeDevice();
    if (driver != 0 || !present)
        return Result::InvalidDriver;
    // OpenAL Soft's file writer and null output are software sinks without a real clock.
    const std::string name = impl->device->name();
    if (name.find("No Output") != std::string::npos ||
        name.find("Wave File Writer") != std::string::npos)
        capabilities |= caps::HardwareEmulated;
    return Result::Ok;
}

Result SoundSystem::getDriverInfo(const int driver, char* name, const int length) {
    const Lock lock(impl->mutex);
    if (!name || length < 1)
        return Result::InvalidParam;
    name[0] = '\0';
    const bool present =
        impl->output != OutputType::NoSound && !impl->silent && impl->probeDevice();
    if (driver != 0 || !present)
        return Result::InvalidDriver;
    const std::string text = impl->device->name();
    const std::size_t count = std::min(text.size(), static_cast<std::size_t>(length - 1));
    std::memcpy(name, text.data(), count);
    name[count] = '\0';
    return Result::Ok;
}

Result SoundSystem::setSpeakerMode(const SpeakerMode speakers) {
    const Lock lock(impl->mutex);
    if (impl->initialized)
        return Result::Initialized;
    if (static_cast<int>(speakers) < 0 || static_cast<int>(speakers) > 6)
        return Result::InvalidParam;
    impl->speakers = speakers;
    return Result::Ok;
}

Result SoundSystem::setDSPBufferSize(const unsigned bufferLength, const int bufferCount) {
    const Lock lock(impl->mutex);
    if (impl->initialized)
        return Result::Initialized;
    if (bufferLength < 64 || bufferLength > 65536 || bufferCount < 2)
        return Result::InvalidParam;
    impl->dspBufferLength = bufferLength;
    return Result::Ok;
}

Result SoundSystem::setSoftwareFormat(const int sampleRate, const SoundFormat format,
                                      const int inputChannels, const int maxInputChannels,
                                      const Resampler resampler) {
    const Lock lock(impl->mutex);
    if (impl->initialized)
        return Result::Initialized;
    // OpenAL Soft always mixes in float with its own resampler; only the rate is taken over.
    const int formatValue = static_cast<int>(format);
    const int resamplerValue = static_cast<int>(resampler);
    if (sampleRate < 8000 || sampleRate > 192000 || formatValue < 1 || formatValue > 5 ||
        inputChannels < 0 || maxInputChannels < 0 || resamplerValue < 0 || resamplerValue > 3)
        return Result::InvalidParam;
    impl->softwareRate = sampleRate;
    return Result::Ok;
}

Result SoundSystem::init(const int maxChannels, unsigned /*flags*/) {
    const Lock lock(impl->mutex);
    if (impl->initialized)
        return Result::Initialized;
    if (maxChannels < 1 || maxChannels > 4095)
        return Result::InvalidParam;
    if (impl->output != OutputType::NoSound && impl->probeDevice()) {
        const int rate = impl->softwareRate > 0 ? impl->softwareRate : 44100;
        const int refresh = impl->dspBufferLength > 0
                                ? std::max(1, rate / static_cast<int>(impl->dspBufferLength))
                                : 0;
        if (!impl->device->createContext(impl->softwareRate, impl->speakers, refresh))
            return Result::OutputCreateBuffer;
        impl->silent = false;
    } else {
        if (impl->output == OutputType::Loopback)
            return Result::DeviceOpen;
        impl->device.reset();
        impl->silent = true;
        vorn::engine::Diagnostics::out()
            << "Sound: no audio output device could be opened; the game runs without sound."
            << std::endl;
    }
    impl->makeCurrent();
    impl->voices.clear();
    impl->voices.resize(static_cast<std::size_t>(maxChannels));
    impl->master.reset(new ChannelGroup(this, "master"));
    impl->initialized = true;
    if (!impl->silent) {
        impl->applyDistanceModel();
        impl->applyListener();
        if (!impl->device->isLoopback())
            impl->worker = std::thread(&SoundSystemImpl::workerLoop, impl.get());
    }
    return Result::Ok;
}

bool SoundSystem::isInitialized() const {
    const Lock lock(impl->mutex);
    return impl->initialized;
}

Result SoundSystem::set3DSettings(const float dopplerScale, const float distanceFactor,
                                  const float rolloffScale) {
    const Lock lock(impl->mutex);
    impl->makeCurrent();
    if (!std::isfinite(dopplerScale) || !std::isfinite(distanceFactor) ||
        !std::isfinite(rolloffScale) || dopplerScale < 0.0f || distanceFactor <= 0.0f ||
        rolloffScale < 0.0f)
        return Result::InvalidParam;
    impl->dopplerScale = dopplerScale;
    impl->distanceFactor = distanceFactor;
    impl->rolloffScale = rolloffScale;
    if (impl->initialized && !impl->silent) {
        impl->applyDistanceModel();
        for (Voice& voice : impl->voices)
            if (voice.inUse && voice.source)
                impl->applySpatial(voice);
    }
    return Result::Ok;
}

Result SoundSystem::get3DSettings(float& dopplerScale, float& distanceFactor,
                                  float& rolloffScale) const {
    const Lock lock(impl->mutex);
    dopplerScale = impl->dopplerScale;
    distanceFactor = impl->distanceFactor;
    rolloffScale = impl->rolloffScale;
    return Result::Ok;
}

Result SoundSystem::createChannelGroup(const char* name, ChannelGroup*& group) {
    const Lock lock(impl->mutex);
    group = nullptr;
    if (!impl->initialized)
        return Result::Uninitialized;
    impl->groups.emplace_back(new ChannelGroup(this, name ? name : ""));
    group = impl->groups.back().get();
    return Result::Ok;
}

Result SoundSystem::getMasterChannelGroup(ChannelGroup*& group) {
    const Lock lock(impl->mutex);
    group = impl->master.get();
    return impl->initialized ? Result::Ok : Result::Uninitialized;
}

Result SoundSystem::set3DListenerAttributes(const int listener, const glm::vec3* position,
                                            const glm::vec3* velocity, const glm::vec3* forward,
                                            const glm::vec3* up) {
    const Lock lock(impl->mutex);
    impl->makeCurrent();
    if (listener != 0)
        return Result::InvalidParam;
    for (const glm::vec3* value : {position, velocity, forward, up})
        if (value && !isFinite(*value))
            return Result::InvalidParam;
    if (position)
        impl->listenerPosition = *position;
    if (velocity)
        impl->listenerVelocity = *velocity;
    if (forward)
        impl->listenerForward = *forward;
    if (up)
        impl->listenerUp = *up;
    if (impl->initialized && !impl->silent)
        impl->applyListener();
    return Result::Ok;
}

Result SoundSystem::get3DListenerAttributes(const int listener, glm::vec3& position,
                                            glm::vec3& velocity, glm::vec3& forward,
                                            glm::vec3& up) const {
    const Lock lock(impl->mutex);
    if (listener != 0)
        return Result::InvalidParam;
    position = impl->listenerPosition;
    velocity = impl->listenerVelocity;
    forward = impl->listenerForward;
    up = impl->listenerUp;
    return Result::Ok;
}

Result SoundSystem::update() {
    const Lock lock(impl->mutex);
    impl->makeCurrent();
    if (!impl->initialized)
        return Result::Uninitialized;
    if (!impl->worker.joinable())
        impl->serviceStreams();
    for (Voice& voice : impl->voices) {
        if (!voice.inUse)
            continue;
        if (impl->silent && voice.started && !impl->loopsForever(voice))
            voice.silentExpired = true;
        if (impl->isFinished(voice))
            impl->releaseVoice(voice);
    }
    return Result::Ok;
}

Result SoundSystem::getChannelsPlaying(int& count) {
    const Lock lock(impl->mutex);
    impl->makeCurrent();
    count = 0;
    for (Voice& voice : impl->voices) {
        if (voice.inUse && impl->isFinished(voice))
            impl->releaseVoice(voice);
        count += voice.inUse ? 1 : 0;
    }
    return impl->initialized ? Result::Ok : Result::Uninitialized;
}

namespace {

// Counts the names for which `exists` answers true. OpenAL Soft hands out names densely from 1,
// reusing freed ones, so the scan ends once a long run of names in a row is unused.
int countNames(ALboolean (*exists)(ALuint)) {
    constexpr ALuint gapToEnd = 4096;
    int count = 0;
    ALuint lastUsed = 0;
    for (ALuint name = 1; name <= lastUsed + gapToEnd; ++name) {
        if (exists(name)) {
            ++count;
            lastUsed = name;
        }
    }
    return count;
}

ALboolean isSource(ALuint name) {
    return alIsSource(name);
}

ALboolean isBuffer(ALuint name) {
    return alIsBuffer(name);
}

} // namespace

Result SoundSystem::getLiveObjectCounts(int& sources, int& buffers) {
    const Lock lock(impl->mutex);
    sources = 0;
    buffers = 0;
    if (!impl->initialized)
        return Result::Uninitialized;
    if (!impl->device)
        return Result::Ok;
    impl->makeCurrent();
    sources = countNames(&isSource);
    buffers = countNames(&isBuffer);
    return Result::Ok;
}

Result SoundSystem::renderSamples(float* out, const int frames) {
    const Lock lock(impl->mutex);
    if (!impl->initialized)
        return Result::Uninitialized;
    if (impl->silent || !impl->device || !impl->device->isLoopback())
        return Result::NotLoopback;
    if (!out || frames < 0)
        return Result::InvalidParam;
    return impl->device->render(out, frames) ? Result::Ok : Result::Library;
}

int SoundSystem::outputSampleRate() const {
    const Lock lock(impl->mutex);
    return impl->device && impl->device->hasContext() ? impl->device->sampleRate() : 0;
}

int SoundSystem::outputChannels() const {
    const Lock lock(impl->mutex);
    return impl->device && impl->device->hasContext() ? impl->device->channels() : 0;
}

unsigned SoundSystem::streamUnderruns() const {
    return impl->underruns.load();
}

} // namespace vorn::audio
