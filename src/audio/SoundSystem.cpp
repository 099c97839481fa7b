#define AL_ALEXT_PROTOTYPES
#include "audio/SoundSystem.hpp"

#include "engine/Diagnostics.hpp"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

namespace vorn::audio {

namespace {

constexpr float kSpeedOfSound = 343.3f; // metres per second
constexpr int kMaxQueuedPasses = 64;    // finite loop counts of whole sounds beyond this are capped
constexpr auto kWorkerPeriod = std::chrono::milliseconds(20);

bool isFinite(const glm::vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

using Lock = std::lock_guard<std::mutex>;

} // namespace

SoundSystem::SoundSystem() = default;

SoundSystem::~SoundSystem() {
    {
        const Lock lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable()) {
        worker_.join();
    }
    const Lock lock(mutex_);
    makeCurrent();
    for (Voice& voice : voices_) {
        releaseVoice(voice);
    }
    voices_.clear();
    sounds_.clear();
    groups_.clear();
    master_.reset();
}

void SoundSystem::makeCurrent() const {
    if (device_ != nullptr) {
        device_->makeCurrent();
    }
}

Result SoundSystem::getVersion(unsigned& version) const {
    version = kLayerVersion;
    return Result::Ok;
}

Result SoundSystem::setOutput(const OutputType output) {
    const Lock lock(mutex_);
    if (initialized_) {
        return Result::Initialized;
    }
    if (output != OutputType::AutoDetect && output != OutputType::Loopback &&
        output != OutputType::NoSound) {
        return Result::InvalidParam;
    }
    if (output != output_) {
        device_.reset(); // a device probed for the old choice
        output_ = output;
    }
    return Result::Ok;
}

OutputType SoundSystem::getOutput() const {
    const Lock lock(mutex_);
    return output_;
}

bool SoundSystem::probeDevice() {
    if (device_ != nullptr) {
        return true;
    }
    if (output_ == OutputType::Loopback) {
        device_ = OutputDevice::openLoopback();
    } else if (output_ == OutputType::AutoDetect) {
        device_ = OutputDevice::openDefault();
    }
    return device_ != nullptr;
}

Result SoundSystem::getNumDrivers(int& count) {
    const Lock lock(mutex_);
    if (initialized_) {
        count = silent_ ? 0 : 1;
        return Result::Ok;
    }
    count = output_ != OutputType::NoSound && probeDevice() ? 1 : 0;
    return Result::Ok;
}

Result SoundSystem::getDriverCaps(const int driver, unsigned& capabilities, SpeakerMode& speakers) {
    const Lock lock(mutex_);
    capabilities = caps::None;
    speakers = SpeakerMode::Stereo;
    const bool present = output_ != OutputType::NoSound && !silent_ && probeDevice();
    if (driver != 0 || !present) {
        return Result::InvalidDriver;
    }
    // OpenAL Soft's file writer and null output are software sinks without a real clock.
    const std::string name = device_->name();
    if (name.find("No Output") != std::string::npos ||
        name.find("Wave File Writer") != std::string::npos) {
        capabilities |= caps::HardwareEmulated;
    }
    return Result::Ok;
}

Result SoundSystem::getDriverInfo(const int driver, char* name, const int length) {
    const Lock lock(mutex_);
    if (name == nullptr || length < 1) {
        return Result::InvalidParam;
    }
    name[0] = '\0';
    const bool present = output_ != OutputType::NoSound && !silent_ && probeDevice();
    if (driver != 0 || !present) {
        return Result::InvalidDriver;
    }
    const std::string text = device_->name();
    const std::size_t count = std::min(text.size(), static_cast<std::size_t>(length - 1));
    std::memcpy(name, text.data(), count);
    name[count] = '\0';
    return Result::Ok;
}

Result SoundSystem::setSpeakerMode(const SpeakerMode speakers) {
    const Lock lock(mutex_);
    if (initialized_) {
        return Result::Initialized;
    }
    if (static_cast<int>(speakers) < 0 || static_cast<int>(speakers) > 6) {
        return Result::InvalidParam;
    }
    speakers_ = speakers;
    return Result::Ok;
}

Result SoundSystem::setDSPBufferSize(const unsigned bufferLength, const int bufferCount) {
    const Lock lock(mutex_);
    if (initialized_) {
        return Result::Initialized;
    }
    if (bufferLength < 64 || bufferLength > 65536 || bufferCount < 2) {
        return Result::InvalidParam;
    }
    dspBufferLength_ = bufferLength;
    return Result::Ok;
}

Result SoundSystem::setSoftwareFormat(const int sampleRate, const SoundFormat format,
                                      const int inputChannels, const int maxInputChannels,
                                      const Resampler resampler) {
    const Lock lock(mutex_);
    if (initialized_) {
        return Result::Initialized;
    }
    // OpenAL Soft always mixes in float with its own resampler; only the rate is taken over.
    const int formatValue = static_cast<int>(format);
    const int resamplerValue = static_cast<int>(resampler);
    if (sampleRate < 8000 || sampleRate > 192000 || formatValue < 1 || formatValue > 5 ||
        inputChannels < 0 || maxInputChannels < 0 || resamplerValue < 0 || resamplerValue > 3) {
        return Result::InvalidParam;
    }
    softwareRate_ = sampleRate;
    return Result::Ok;
}

Result SoundSystem::init(const int maxChannels, unsigned /*flags*/) {
    const Lock lock(mutex_);
    if (initialized_) {
        return Result::Initialized;
    }
    if (maxChannels < 1 || maxChannels > 4095) {
        return Result::InvalidParam;
    }
    if (output_ != OutputType::NoSound && probeDevice()) {
        const int rate = softwareRate_ > 0 ? softwareRate_ : 44100;
        const int refresh =
            dspBufferLength_ > 0 ? std::max(1, rate / static_cast<int>(dspBufferLength_)) : 0;
        if (!device_->createContext(softwareRate_, speakers_, refresh)) {
            return Result::OutputCreateBuffer;
        }
        silent_ = false;
    } else {
        if (output_ == OutputType::Loopback) {
            return Result::DeviceOpen;
        }
        device_.reset();
        silent_ = true;
        vorn::engine::Diagnostics::out()
            << "Sound: no audio output device could be opened; the game runs without sound."
            << std::endl;
    }
    makeCurrent();
    voices_.clear();
    voices_.resize(static_cast<std::size_t>(maxChannels));
    master_.reset(new ChannelGroup(this, "master"));
    initialized_ = true;
    if (!silent_) {
        alDopplerFactor(dopplerScale_);
        alSpeedOfSound(kSpeedOfSound * distanceFactor_);
        applyListener();
        if (!device_->isLoopback()) {
            worker_ = std::thread(&SoundSystem::workerLoop, this);
        }
    }
    return Result::Ok;
}

bool SoundSystem::isInitialized() const {
    const Lock lock(mutex_);
    return initialized_;
}

Result SoundSystem::set3DSettings(const float dopplerScale, const float distanceFactor,
                                  const float rolloffScale) {
    const Lock lock(mutex_);
    makeCurrent();
    if (!std::isfinite(dopplerScale) || !std::isfinite(distanceFactor) ||
        !std::isfinite(rolloffScale) || dopplerScale < 0.0f || distanceFactor <= 0.0f ||
        rolloffScale < 0.0f) {
        return Result::InvalidParam;
    }
    dopplerScale_ = dopplerScale;
    distanceFactor_ = distanceFactor;
    rolloffScale_ = rolloffScale;
    if (initialized_ && !silent_) {
        alDopplerFactor(dopplerScale_);
        alSpeedOfSound(kSpeedOfSound * distanceFactor_);
        for (Voice& voice : voices_) {
            if (voice.inUse && voice.source != nullptr) {
                applySpatial(voice);
            }
        }
    }
    return Result::Ok;
}

Result SoundSystem::get3DSettings(float& dopplerScale, float& distanceFactor,
                                  float& rolloffScale) const {
    const Lock lock(mutex_);
    dopplerScale = dopplerScale_;
    distanceFactor = distanceFactor_;
    rolloffScale = rolloffScale_;
    return Result::Ok;
}

Result SoundSystem::createChannelGroup(const char* name, ChannelGroup*& group) {
    const Lock lock(mutex_);
    group = nullptr;
    if (!initialized_) {
        return Result::Uninitialized;
    }
    groups_.emplace_back(new ChannelGroup(this, name != nullptr ? name : ""));
    group = groups_.back().get();
    return Result::Ok;
}

Result SoundSystem::getMasterChannelGroup(ChannelGroup*& group) {
    const Lock lock(mutex_);
    group = master_.get();
    return initialized_ ? Result::Ok : Result::Uninitialized;
}

Result SoundSystem::createSound(const std::string& path, const unsigned mode, Sound*& sound) {
    const Lock lock(mutex_);
    makeCurrent();
    return createSoundLocked(path, mode, false, sound);
}

Result SoundSystem::createStream(const std::string& path, const unsigned mode, Sound*& sound) {
    const Lock lock(mutex_);
    makeCurrent();
    return createSoundLocked(path, mode, true, sound);
}

Result SoundSystem::createSoundLocked(const std::string& path, const unsigned mode,
                                      const bool stream, Sound*& sound) {
    sound = nullptr;
    if (!initialized_) {
        return Result::Uninitialized;
    }
    unsigned merged = 0;
    if (!mergeMode(mode::LoopOff | mode::TwoD, mode, merged)) {
        return Result::InvalidParam;
    }
    const int channels = (merged & mode::ThreeD) != 0 ? 1 : 2;
    std::unique_ptr<Decoder> decoder;
    if (const Result result = Decoder::open(path, channels, decoder); result != Result::Ok) {
        return result;
    }
    std::unique_ptr<Sound> made(new Sound(path, merged, stream));
    made->channels_ = decoder->channels();
    made->sampleRate_ = decoder->sampleRate();
    made->frames_ = decoder->announcedFrames();

    const double limitFrames = kMaxWholeSeconds * decoder->sampleRate();
    if (!stream && static_cast<double>(decoder->announcedFrames()) > limitFrames) {
        return Result::TooLong;
    }
    if (!stream && !silent_) {
        // Decode everything; the header's frame count is only a hint (damaged files end early).
        std::vector<std::int16_t> samples;
        std::size_t frames = 0;
        try {
            const std::size_t perFrame = static_cast<std::size_t>(decoder->channels());
            samples.reserve(static_cast<std::size_t>(
                std::min<double>(static_cast<double>(decoder->announcedFrames()), limitFrames) *
                perFrame));
            constexpr std::size_t kPiece = 16384;
            for (;;) {
                samples.resize((frames + kPiece) * perFrame);
                const std::size_t got = decoder->read(samples.data() + frames * perFrame, kPiece);
                frames += got;
                if (got == 0) {
                    break;
                }
                if (static_cast<double>(frames) > limitFrames) {
                    return Result::TooLong;
                }
            }
            samples.resize(frames * perFrame);
        } catch (const std::bad_alloc&) {
            return Result::Memory;
        }
        if (frames == 0) {
            return Result::FileNoData;
        }
        made->buffer_ = std::make_unique<AlBuffer>();
        if (!made->buffer_->fill(samples.data(), frames, decoder->channels(),
                                 decoder->sampleRate())) {
            return Result::Library;
        }
        made->frames_ = static_cast<long long>(frames);
        made->decodedBytes_ = samples.size() * sizeof(std::int16_t);
    }
    sounds_.push_back(std::move(made));
    sound = sounds_.back().get();
    return Result::Ok;
}

Voice* SoundSystem::takeVoice() {
    for (Voice& voice : voices_) {
        if (!voice.inUse) {
            return &voice;
        }
    }
    Voice* oldest = nullptr;
    for (Voice& voice : voices_) {
        if (isFinished(voice)) {
            releaseVoice(voice);
            return &voice;
        }
        if (!loopsForever(voice) && (oldest == nullptr || voice.serial < oldest->serial)) {
            oldest = &voice;
        }
    }
    if (oldest != nullptr) {
        releaseVoice(*oldest);
    }
    return oldest;
}

Result SoundSystem::playSound(Sound* sound, const bool paused, Channel& channel) {
    const Lock lock(mutex_);
    makeCurrent();
    channel = Channel();
    if (!initialized_) {
        return Result::Uninitialized;
    }
    if (sound == nullptr) {
        return Result::InvalidParam;
    }
    Voice* voice = takeVoice();
    if (voice == nullptr) {
        return Result::ChannelAlloc;
    }
    voice->inUse = true;
    voice->started = false;
    voice->silentExpired = false;
    voice->sound = sound;
    voice->mode = sound->mode_;
    voice->loopCount = -1;
    voice->volume = 1.0f;
    voice->paused = paused;
    voice->group = master_.get();
    voice->position = glm::vec3(0.0f);
    voice->velocity = glm::vec3(0.0f);
    voice->minDistance = sound->minDistance_;
    voice->maxDistance = sound->maxDistance_;
    voice->serial = ++playSerial_;
    const auto index = static_cast<std::uint32_t>(voice - voices_.data());
    const Channel made(this, index, voice->generation);
    if (const Result result = applyPause(*voice); result != Result::Ok) {
        return result;
    }
    channel = made;
    return Result::Ok;
}

Result SoundSystem::set3DListenerAttributes(const int listener, const glm::vec3* position,
                                            const glm::vec3* velocity, const glm::vec3* forward,
                                            const glm::vec3* up) {
    const Lock lock(mutex_);
    makeCurrent();
    if (listener != 0) {
        return Result::InvalidParam;
    }
    for (const glm::vec3* value : {position, velocity, forward, up}) {
        if (value != nullptr && !isFinite(*value)) {
            return Result::InvalidParam;
        }
    }
    if (position != nullptr) {
        listenerPosition_ = *position;
    }
    if (velocity != nullptr) {
        listenerVelocity_ = *velocity;
    }
    if (forward != nullptr) {
        listenerForward_ = *forward;
    }
    if (up != nullptr) {
        listenerUp_ = *up;
    }
    if (initialized_ && !silent_) {
        applyListener();
    }
    return Result::Ok;
}

Result SoundSystem::get3DListenerAttributes(const int listener, glm::vec3& position,
                                            glm::vec3& velocity, glm::vec3& forward,
                                            glm::vec3& up) const {
    const Lock lock(mutex_);
    if (listener != 0) {
        return Result::InvalidParam;
    }
    position = listenerPosition_;
    velocity = listenerVelocity_;
    forward = listenerForward_;
    up = listenerUp_;
    return Result::Ok;
}

void SoundSystem::applyListener() const {
    // Our coordinates are left-handed, OpenAL's right-handed: z changes sign on the way in.
    alListener3f(AL_POSITION, listenerPosition_.x, listenerPosition_.y, -listenerPosition_.z);
    alListener3f(AL_VELOCITY, listenerVelocity_.x, listenerVelocity_.y, -listenerVelocity_.z);
    const ALfloat orientation[6] = {listenerForward_.x, listenerForward_.y, -listenerForward_.z,
                                    listenerUp_.x,      listenerUp_.y,      -listenerUp_.z};
    alListenerfv(AL_ORIENTATION, orientation);
}

Result SoundSystem::update() {
    const Lock lock(mutex_);
    makeCurrent();
    if (!initialized_) {
        return Result::Uninitialized;
    }
    if (!worker_.joinable()) {
        serviceStreams();
    }
    for (Voice& voice : voices_) {
        if (!voice.inUse) {
            continue;
        }
        if (silent_ && voice.started && !loopsForever(voice)) {
            voice.silentExpired = true;
        }
        if (isFinished(voice)) {
            releaseVoice(voice);
        }
    }
    return Result::Ok;
}

Result SoundSystem::getChannelsPlaying(int& count) {
    const Lock lock(mutex_);
    makeCurrent();
    count = 0;
    for (Voice& voice : voices_) {
        if (voice.inUse && isFinished(voice)) {
            releaseVoice(voice);
        }
        count += voice.inUse ? 1 : 0;
    }
    return initialized_ ? Result::Ok : Result::Uninitialized;
}

Result SoundSystem::renderSamples(float* out, const int frames) {
    const Lock lock(mutex_);
    if (!initialized_) {
        return Result::Uninitialized;
    }
    if (silent_ || device_ == nullptr || !device_->isLoopback()) {
        return Result::NotLoopback;
    }
    if (out == nullptr || frames < 0) {
        return Result::InvalidParam;
    }
    return device_->render(out, frames) ? Result::Ok : Result::Library;
}

int SoundSystem::outputSampleRate() const {
    const Lock lock(mutex_);
    return device_ != nullptr && device_->hasContext() ? device_->sampleRate() : 0;
}

int SoundSystem::outputChannels() const {
    const Lock lock(mutex_);
    return device_ != nullptr && device_->hasContext() ? device_->channels() : 0;
}

// --- voices -------------------------------------------------------------------------------

Voice* SoundSystem::liveVoice(const Channel& channel) {
    if (channel.system_ != this || channel.index_ >= voices_.size()) {
        return nullptr;
    }
    Voice& voice = voices_[channel.index_];
    if (!voice.inUse || voice.generation != channel.generation_) {
        return nullptr;
    }
    if (isFinished(voice)) {
        releaseVoice(voice);
        return nullptr;
    }
    return &voice;
}

bool SoundSystem::loopsForever(const Voice& voice) const {
    return (voice.mode & mode::LoopNormal) != 0 && voice.loopCount < 0;
}

bool SoundSystem::isFinished(const Voice& voice) const {
    if (!voice.inUse || !voice.started) {
        return false;
    }
    if (silent_) {
        return voice.silentExpired;
    }
    if (voice.source == nullptr) {
        return true;
    }
    if (voice.source->state() != AL_STOPPED) {
        return false;
    }
    // A stream that stopped before its decoder ran out only ran dry; the refill restarts it.
    return voice.sound == nullptr || !voice.sound->isStream() || voice.streamEnded;
}

bool SoundSystem::effectivelyPaused(const Voice& voice) const {
    const ChannelGroup* group = voice.group != nullptr ? voice.group : master_.get();
    return voice.paused || group->paused_ || (group != master_.get() && master_->paused_);
}

void SoundSystem::releaseVoice(Voice& voice) {
    if (voice.source != nullptr) {
        voice.source->reset();
    }
    voice.decoder.reset();
    voice.inUse = false;
    voice.started = false;
    voice.silentExpired = false;
    voice.streamEnded = false;
    voice.sound = nullptr;
    voice.group = nullptr;
    if (++voice.generation == 0) {
        voice.generation = 1;
    }
}

Result SoundSystem::startVoice(Voice& voice) {
    voice.started = true;
    if (silent_) {
        return Result::Ok;
    }
    if (voice.source == nullptr) {
        voice.source = std::make_unique<AlSource>();
    }
    if (!voice.source->valid()) {
        voice.source.reset();
        releaseVoice(voice);
        return Result::Library;
    }
    const ALuint source = voice.source->name();
    voice.source->reset();
    applySpatial(voice);
    applyGain(voice);
    alGetError();
    if (!voice.sound->isStream()) {
        const ALuint buffer = voice.sound->buffer_ != nullptr ? voice.sound->buffer_->name() : 0;
        if (loopsForever(voice)) {
            alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
            alSourcei(source, AL_LOOPING, AL_TRUE);
        } else {
            // A finite loop count plays the same buffer that many times in a row.
            const bool loops = (voice.mode & mode::LoopNormal) != 0;
            const int passes = loops ? std::min(voice.loopCount + 1, kMaxQueuedPasses) : 1;
            const std::vector<ALuint> queue(static_cast<std::size_t>(passes), buffer);
            alSourceQueueBuffers(source, passes, queue.data());
        }
    } else {
        const int channels = (voice.mode & mode::ThreeD) != 0 ? 1 : 2;
        if (const Result result = Decoder::open(voice.sound->path_, channels, voice.decoder);
            result != Result::Ok) {
            releaseVoice(voice);
            return result;
        }
        voice.loopsLeft = (voice.mode & mode::LoopNormal) != 0 ? voice.loopCount : 0;
        voice.streamEnded = false;
        while (voice.streamBuffers.size() < kStreamBufferCount) {
            voice.streamBuffers.emplace_back();
        }
        std::vector<ALuint> queue;
        for (AlBuffer& buffer : voice.streamBuffers) {
            if (!fillStreamBuffer(voice, buffer)) {
                break;
            }
            queue.push_back(buffer.name());
        }
        if (queue.empty()) {
            releaseVoice(voice);
            return Result::FileNoData;
        }
        alSourceQueueBuffers(source, static_cast<ALsizei>(queue.size()), queue.data());
    }
    if (alGetError() != AL_NO_ERROR) {
        releaseVoice(voice);
        return Result::Library;
    }
    alSourcePlay(source);
    return Result::Ok;
}

void SoundSystem::applyGain(Voice& voice) const {
    const ChannelGroup* group = voice.group != nullptr ? voice.group : master_.get();
    float gain = voice.volume * group->volume_;
    if (group != master_.get()) {
        gain *= master_->volume_;
    }
    alSourcef(voice.source->name(), AL_GAIN, gain);
}

void SoundSystem::applySpatial(Voice& voice) const {
    const ALuint source = voice.source->name();
    if ((voice.mode & mode::ThreeD) != 0) {
        alSourcei(source, AL_SOURCE_RELATIVE, AL_FALSE);
        alSource3f(source, AL_POSITION, voice.position.x, voice.position.y, -voice.position.z);
        alSource3f(source, AL_VELOCITY, voice.velocity.x, voice.velocity.y, -voice.velocity.z);
        alSourcef(source, AL_REFERENCE_DISTANCE, voice.minDistance);
        alSourcef(source, AL_MAX_DISTANCE, voice.maxDistance);
        alSourcef(source, AL_ROLLOFF_FACTOR, rolloffScale_);
        alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_FALSE);
    } else {
        // Not positioned: at the listener, no distance drop, stereo straight to the speakers.
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
        alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
        // Direct channels only suit stereo data: mono would go to a centre speaker that stereo
        // output lacks, so it is panned to the middle instead.
        const bool stereo = voice.decoder != nullptr
                                ? voice.decoder->channels() == 2
                                : voice.sound != nullptr && voice.sound->channels() == 2;
        alSourcei(source, AL_DIRECT_CHANNELS_SOFT, stereo ? AL_TRUE : AL_FALSE);
    }
}

void SoundSystem::applyLooping(Voice& voice) const {
    if (voice.sound != nullptr && voice.sound->isStream()) {
        voice.loopsLeft = (voice.mode & mode::LoopNormal) != 0 ? voice.loopCount : 0;
    } else if (voice.source != nullptr) {
        alSourcei(voice.source->name(), AL_LOOPING, loopsForever(voice) ? AL_TRUE : AL_FALSE);
    }
}

Result SoundSystem::applyPause(Voice& voice) {
    const bool paused = effectivelyPaused(voice);
    if (!voice.started) {
        return paused ? Result::Ok : startVoice(voice);
    }
    if (voice.source == nullptr) {
        return Result::Ok;
    }
    const ALint state = voice.source->state();
    if (paused && state == AL_PLAYING) {
        alSourcePause(voice.source->name());
    } else if (!paused && state == AL_PAUSED) {
        alSourcePlay(voice.source->name());
    }
    return Result::Ok;
}

bool SoundSystem::fillStreamBuffer(Voice& voice, AlBuffer& buffer) {
    if (voice.decoder == nullptr || voice.streamEnded) {
        return false;
    }
    const std::size_t channels = static_cast<std::size_t>(voice.decoder->channels());
    voice.chunk.resize(kStreamChunkFrames * channels);
    std::size_t filled = 0;
    bool justRewound = false;
    while (filled < kStreamChunkFrames) {
        const std::size_t got = voice.decoder->read(voice.chunk.data() + filled * channels,
                                                    kStreamChunkFrames - filled);
        if (got > 0) {
            filled += got;
            justRewound = false;
            continue;
        }
        // End of the file: go round again while loops remain (a file that yields nothing even
        // after rewinding ends the stream instead of spinning).
        if (voice.loopsLeft == 0 || justRewound || !voice.decoder->rewind()) {
            voice.streamEnded = true;
            break;
        }
        if (voice.loopsLeft > 0) {
            --voice.loopsLeft;
        }
        justRewound = true;
    }
    return filled > 0 && buffer.fill(voice.chunk.data(), filled, voice.decoder->channels(),
                                     voice.decoder->sampleRate());
}

void SoundSystem::serviceStreams() {
    if (silent_) {
        return;
    }
    for (Voice& voice : voices_) {
        if (!voice.inUse || !voice.started || voice.source == nullptr || voice.sound == nullptr ||
            !voice.sound->isStream()) {
            continue;
        }
        const ALuint source = voice.source->name();
        ALint processed = 0;
        alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
        for (; processed > 0; --processed) {
            ALuint name = 0;
            alSourceUnqueueBuffers(source, 1, &name);
            const auto buffer =
                std::find_if(voice.streamBuffers.begin(), voice.streamBuffers.end(),
                             [name](const AlBuffer& b) { return b.name() == name; });
            if (buffer != voice.streamBuffers.end() && fillStreamBuffer(voice, *buffer)) {
                alSourceQueueBuffers(source, 1, &name);
            }
        }
        if (voice.source->state() == AL_STOPPED && !effectivelyPaused(voice)) {
            ALint queued = 0;
            alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
            if (queued > 0) {
                alSourcePlay(source);
                ++underruns_;
            }
        }
    }
}

void SoundSystem::workerLoop() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        wake_.wait_for(lock, kWorkerPeriod, [this] { return stopping_; });
        if (stopping_) {
            break;
        }
        makeCurrent();
        serviceStreams();
    }
    alcSetThreadContext(nullptr); // the thread lets go of the context before it ends
}

// --- channel and group operations ---------------------------------------------------------

template <typename Operation>
Result SoundSystem::withVoice(const Channel& channel, Operation operation) {
    const Lock lock(mutex_);
    makeCurrent();
    if (!initialized_) {
        return Result::Uninitialized;
    }
    Voice* voice = liveVoice(channel);
    if (voice == nullptr) {
        return Result::InvalidHandle;
    }
    return operation(*voice);
}

Result SoundSystem::channelSet3DAttributes(const Channel& channel, const glm::vec3* position,
                                           const glm::vec3* velocity) {
    if ((position != nullptr && !isFinite(*position)) ||
        (velocity != nullptr && !isFinite(*velocity))) {
        return Result::InvalidParam;
    }
    return withVoice(channel, [&](Voice& voice) {
        if (position != nullptr) {
            voice.position = *position;
        }
        if (velocity != nullptr) {
            voice.velocity = *velocity;
        }
        if (voice.source != nullptr) {
            applySpatial(voice);
        }
        return Result::Ok;
    });
}

Result SoundSystem::channelSetMode(const Channel& channel, const unsigned newMode) {
    return withVoice(channel, [&](Voice& voice) {
        unsigned merged = 0;
        if (!mergeMode(voice.mode, newMode, merged)) {
            return Result::InvalidParam;
        }
        voice.mode = merged;
        if (voice.started && voice.source != nullptr) {
            applySpatial(voice);
            applyLooping(voice);
        }
        return Result::Ok;
    });
}

Result SoundSystem::channelGetMode(const Channel& channel, unsigned& value) {
    return withVoice(channel, [&](Voice& voice) {
        value = voice.mode;
        return Result::Ok;
    });
}

Result SoundSystem::channelSetLoopCount(const Channel& channel, const int count) {
    if (count < -1) {
        return Result::InvalidParam;
    }
    return withVoice(channel, [&](Voice& voice) {
        voice.loopCount = count;
        if (voice.started) {
            applyLooping(voice);
        }
        return Result::Ok;
    });
}

Result SoundSystem::channelSetVolume(const Channel& channel, const float volume) {
    if (!std::isfinite(volume)) {
        return Result::InvalidParam;
    }
    return withVoice(channel, [&](Voice& voice) {
        voice.volume = std::clamp(volume, 0.0f, 1.0f);
        if (voice.source != nullptr) {
            applyGain(voice);
        }
        return Result::Ok;
    });
}

Result SoundSystem::channelGetVolume(const Channel& channel, float& volume) {
    return withVoice(channel, [&](Voice& voice) {
        volume = voice.volume;
        return Result::Ok;
    });
}

Result SoundSystem::channelSet3DMinMaxDistance(const Channel& channel, const float minimum,
                                               const float maximum) {
    if (!std::isfinite(minimum) || !std::isfinite(maximum) || minimum < 0.0f || maximum < minimum) {
        return Result::InvalidParam;
    }
    return withVoice(channel, [&](Voice& voice) {
        voice.minDistance = minimum;
        voice.maxDistance = maximum;
        if (voice.source != nullptr) {
            applySpatial(voice);
        }
        return Result::Ok;
    });
}

Result SoundSystem::channelSetGroup(const Channel& channel, ChannelGroup* group) {
    if (group != nullptr && group->system_ != this) {
        return Result::InvalidParam;
    }
    return withVoice(channel, [&](Voice& voice) {
        voice.group = group != nullptr ? group : master_.get();
        if (voice.source != nullptr) {
            applyGain(voice);
        }
        return applyPause(voice);
    });
}

Result SoundSystem::channelGetGroup(const Channel& channel, ChannelGroup*& group) {
    group = nullptr;
    return withVoice(channel, [&](Voice& voice) {
        group = voice.group;
        return Result::Ok;
    });
}

Result SoundSystem::channelSetPaused(const Channel& channel, const bool paused) {
    return withVoice(channel, [&](Voice& voice) {
        voice.paused = paused;
        return applyPause(voice);
    });
}

Result SoundSystem::channelGetPaused(const Channel& channel, bool& paused) {
    return withVoice(channel, [&](Voice& voice) {
        paused = voice.paused;
        return Result::Ok;
    });
}

Result SoundSystem::channelStop(const Channel& channel) {
    return withVoice(channel, [&](Voice& voice) {
        releaseVoice(voice);
        return Result::Ok;
    });
}

Result SoundSystem::channelIsPlaying(const Channel& channel, bool& playing) {
    const Lock lock(mutex_);
    makeCurrent();
    playing = initialized_ && liveVoice(channel) != nullptr;
    return initialized_ ? Result::Ok : Result::Uninitialized;
}

Result SoundSystem::groupSetVolume(ChannelGroup& group, const float volume) {
    if (!std::isfinite(volume)) {
        return Result::InvalidParam;
    }
    const Lock lock(mutex_);
    makeCurrent();
    group.volume_ = std::clamp(volume, 0.0f, 1.0f);
    for (Voice& voice : voices_) {
        if (voice.inUse && voice.source != nullptr &&
            (voice.group == &group || &group == master_.get())) {
            applyGain(voice);
        }
    }
    return Result::Ok;
}

Result SoundSystem::groupGetVolume(const ChannelGroup& group, float& volume) const {
    const Lock lock(mutex_);
    volume = group.volume_;
    return Result::Ok;
}

Result SoundSystem::groupSetPaused(ChannelGroup& group, const bool paused) {
    const Lock lock(mutex_);
    makeCurrent();
    group.paused_ = paused;
    Result first = Result::Ok;
    for (Voice& voice : voices_) {
        if (voice.inUse && (voice.group == &group || &group == master_.get())) {
            const Result result = applyPause(voice);
            if (first == Result::Ok) {
                first = result;
            }
        }
    }
    return first;
}

Result SoundSystem::groupGetPaused(const ChannelGroup& group, bool& paused) const {
    const Lock lock(mutex_);
    paused = group.paused_;
    return Result::Ok;
}

} // namespace vorn::audio
