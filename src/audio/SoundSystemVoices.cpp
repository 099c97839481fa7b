// The voice pool: one Voice per channel, handed out by playSound and taken back when its sound
// has finished or is stopped.
//
// Slot rule: a play takes the first free voice; with none free, the first finished one, else the
// oldest play that does not loop forever (a looping ambience is never cut off for a one-shot).
// Freeing a voice bumps its generation, so every Channel handle to the old play goes stale at once.
// A voice paused at its start (the usual way: play paused, set it up, resume) attaches its buffers
// and starts only when it is first resumed.
#define AL_ALEXT_PROTOTYPES
#include "audio/SoundSystemImpl.hpp"

#include <AL/al.h>
#include <AL/alext.h>

#include <algorithm>
#include <vector>

namespace vorn::audio {

namespace {
constexpr int maxQueuedPasses = 64; // finite loop counts of whole sounds beyond this are capped
} // namespace

Result SoundSystem::playSound(Sound* sound, const bool paused, Channel& channel) {
    const Lock lock(impl->mutex);
    impl->makeCurrent();
    return impl->play(sound, paused, channel);
}

Result SoundSystemImpl::play(Sound* sound, const bool paused, Channel& channel) {
    channel = Channel();
    if (!initialized)
        return Result::Uninitialized;
    if (!sound)
        return Result::InvalidParam;
    Voice* voice = takeVoice();
    if (!voice)
        return Result::ChannelAlloc;
    voice->inUse = true;
    voice->started = false;
    voice->silentExpired = false;
    voice->sound = sound;
    voice->mode = sound->playMode;
    voice->loopCount = -1;
    voice->volume = 1.0f;
    voice->paused = paused;
    voice->group = master.get();
    voice->position = glm::vec3(0.0f);
    voice->velocity = glm::vec3(0.0f);
    voice->minDistance = sound->minDistance;
    voice->maxDistance = sound->maxDistance;
    voice->serial = ++playSerial;
    const auto index = static_cast<std::uint32_t>(voice - voices.data());
    const Channel made(&owner, index, voice->generation);
    if (const Result result = applyPause(*voice); result != Result::Ok)
        return result;
    channel = made;
    return Result::Ok;
}

Voice* SoundSystemImpl::takeVoice() {
    for (Voice& voice : voices)
        if (!voice.inUse)
            return &voice;
    Voice* oldest = nullptr;
    for (Voice& voice : voices) {
        if (isFinished(voice)) {
            releaseVoice(voice);
            return &voice;
        }
        if (!loopsForever(voice) && (!oldest || voice.serial < oldest->serial))
            oldest = &voice;
    }
    if (oldest)
        releaseVoice(*oldest);
    return oldest;
}

Voice* SoundSystemImpl::liveVoice(const Channel& channel) {
    if (channel.system != &owner || channel.index >= voices.size())
        return nullptr;
    Voice& voice = voices[channel.index];
    if (!voice.inUse || voice.generation != channel.generation)
        return nullptr;
    if (isFinished(voice)) {
        releaseVoice(voice);
        return nullptr;
    }
    return &voice;
}

bool SoundSystemImpl::loopsForever(const Voice& voice) const {
    return (voice.mode & mode::LoopNormal) != 0 && voice.loopCount < 0;
}

bool SoundSystemImpl::isFinished(const Voice& voice) const {
    if (!voice.inUse || !voice.started)
        return false;
    if (silent)
        return voice.silentExpired;
    if (!voice.source)
        return true;
    if (voice.source->state() != AL_STOPPED)
        return false;
    // A stream that stopped before its decoder ran out only ran dry; the refill restarts it.
    return !voice.sound || !voice.sound->isStream() || voice.streamEnded;
}

bool SoundSystemImpl::effectivelyPaused(const Voice& voice) const {
    const ChannelGroup* group = voice.group ? voice.group : master.get();
    return voice.paused || group->paused || (group != master.get() && master->paused);
}

void SoundSystemImpl::releaseVoice(Voice& voice) {
    if (voice.source)
        voice.source->reset();
    voice.decoder.reset();
    // A stream's buffers go with it (the source no longer holds them): kept, every voice that
    // ever played music would hold its own set, and the live buffers would grow with each
    // stream started on a voice that had none.
    voice.streamBuffers.clear();
    voice.inUse = false;
    voice.started = false;
    voice.silentExpired = false;
    voice.streamEnded = false;
    voice.sound = nullptr;
    voice.group = nullptr;
    if (++voice.generation == 0)
        voice.generation = 1;
}

Result SoundSystemImpl::startVoice(Voice& voice) {
    voice.started = true;
    if (silent)
        return Result::Ok;
    if (!voice.source)
        voice.source = std::make_unique<AlSource>();
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
        const ALuint buffer = voice.sound->buffer ? voice.sound->buffer->name() : 0;
        if (loopsForever(voice)) {
            alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
            alSourcei(source, AL_LOOPING, AL_TRUE);
        } else {
            // A finite loop count plays the same buffer that many times in a row.
            const bool loops = (voice.mode & mode::LoopNormal) != 0;
            const int passes = loops ? std::min(voice.loopCount + 1, maxQueuedPasses) : 1;
            const std::vector<ALuint> queue(static_cast<std::size_t>(passes), buffer);
            alSourceQueueBuffers(source, passes, queue.data());
        }
    } else {
        const int channels = (voice.mode & mode::ThreeD) != 0 ? 1 : 2;
        if (const Result result = Decoder::open(voice.sound->file, channels, voice.decoder);
            result != Result::Ok) {
            releaseVoice(voice);
            return result;
        }
        voice.loopsLeft = (voice.mode & mode::LoopNormal) != 0 ? voice.loopCount : 0;
        voice.streamEnded = false;
        while (voice.streamBuffers.size() < SoundSystem::streamBufferCount)
            voice.streamBuffers.emplace_back();
        std::vector<ALuint> queue;
        for (AlBuffer& buffer : voice.streamBuffers) {
            if (!fillStreamBuffer(voice, buffer))
                break;
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

void SoundSystemImpl::applyGain(Voice& voice) const {
    const ChannelGroup* group = voice.group ? voice.group : master.get();
    float gain = voice.volume * group->volume;
    if (group != master.get())
        gain *= master->volume;
    alSourcef(voice.source->name(), AL_GAIN, gain);
}

void SoundSystemImpl::applySpatial(Voice& voice) const {
    const ALuint source = voice.source->name();
    if ((voice.mode & mode::ThreeD) != 0) {
        alSourcei(source, AL_SOURCE_RELATIVE, AL_FALSE);
        alSource3f(source, AL_POSITION, voice.position.x, voice.position.y, -voice.position.z);
        alSource3f(source, AL_VELOCITY, voice.velocity.x, voice.velocity.y, -voice.velocity.z);
        alSourcef(source, AL_REFERENCE_DISTANCE, voice.minDistance);
        alSourcef(source, AL_MAX_DISTANCE, voice.maxDistance);
        alSourcef(source, AL_ROLLOFF_FACTOR, rolloffScale);
        alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_FALSE);
    } else {
        // Not positioned: at the listener, no distance drop, stereo straight to the speakers.
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
        alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
        // Direct channels only suit stereo data: mono would go to a centre speaker that stereo
        // output lacks, so it is panned to the middle instead.
        const bool stereo = voice.decoder ? voice.decoder->channels() == 2
                                          : voice.sound && voice.sound->channels() == 2;
        alSourcei(source, AL_DIRECT_CHANNELS_SOFT, stereo ? AL_TRUE : AL_FALSE);
    }
}

void SoundSystemImpl::applyLooping(Voice& voice) const {
    if (voice.sound && voice.sound->isStream())
        voice.loopsLeft = (voice.mode & mode::LoopNormal) != 0 ? voice.loopCount : 0;
    else if (voice.source)
        alSourcei(voice.source->name(), AL_LOOPING, loopsForever(voice) ? AL_TRUE : AL_FALSE);
}

Result SoundSystemImpl::applyPause(Voice& voice) {
    const bool paused = effectivelyPaused(voice);
    if (!voice.started)
        return paused ? Result::Ok : startVoice(voice);
    if (!voice.source)
        return Result::Ok;
    const ALint state = voice.source->state();
    if (paused && state == AL_PLAYING)
        alSourcePause(voice.source->name());
    else if (!paused && state == AL_PAUSED)
        alSourcePlay(voice.source->name());
    return Result::Ok;
}

} // namespace vorn::audio
