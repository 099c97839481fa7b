// Stream feeding: every streaming channel has its own decoder and a queue of streamBufferCount
// buffers of streamChunkFrames frames (see SoundSystem); whenever OpenAL has played a buffer it is
// refilled from the decoder (rewinding while loops remain) and queued again.
//
// Lock rule: the system's one mutex guards everything the feeding touches (voices, decoders,
// buffers, the device's context). With a real device the worker thread takes it for each round,
// every 20 ms, makes the context current on its own thread and feeds every stream; the public
// calls take the same lock, so a round never overlaps a play, a stop or a change of a channel.
// Nothing here locks again: serviceStreams and fillStreamBuffer run with the lock held, called by
// the worker or, for a loopback system that has no worker, by update(). Only the underrun counter
// is read without the lock, hence atomic.
#define AL_ALEXT_PROTOTYPES
#include "audio/SoundSystemImpl.hpp"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <chrono>

namespace vorn::audio {

namespace {
constexpr auto workerPeriod = std::chrono::milliseconds(20);
} // namespace

bool SoundSystemImpl::fillStreamBuffer(Voice& voice, AlBuffer& buffer) {
    if (!voice.decoder || voice.streamEnded)
        return false;
    const std::size_t channels = static_cast<std::size_t>(voice.decoder->channels());
    voice.chunk.resize(SoundSystem::streamChunkFrames * channels);
    std::size_t filled = 0;
    bool justRewound = false;
    while (filled < SoundSystem::streamChunkFrames) {
        const std::size_t got = voice.decoder->read(voice.chunk.data() + filled * channels,
                                                    SoundSystem::streamChunkFrames - filled);
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
        if (voice.loopsLeft > 0)
            --voice.loopsLeft;
        justRewound = true;
    }
    return filled > 0 && buffer.fill(voice.chunk.data(), filled, voice.decoder->channels(),
                                     voice.decoder->sampleRate());
}

void SoundSystemImpl::serviceStreams() {
    if (silent)
        return;
    for (Voice& voice : voices) {
        if (!voice.inUse || !voice.started || !voice.source || !voice.sound ||
            !voice.sound->isStream())
            continue;
        const ALuint source = voice.source->name();
        ALint processed = 0;
        alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
        for (; processed > 0; --processed) {
            ALuint name = 0;
            alSourceUnqueueBuffers(source, 1, &name);
            const auto buffer =
                std::find_if(voice.streamBuffers.begin(), voice.streamBuffers.end(),
                             [name](const AlBuffer& b) { return b.name() == name; });
            if (buffer != voice.streamBuffers.end() && fillStreamBuffer(voice, *buffer))
                alSourceQueueBuffers(source, 1, &name);
        }
        if (voice.source->state() == AL_STOPPED && !effectivelyPaused(voice)) {
            ALint queued = 0;
            alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
            if (queued > 0) {
                alSourcePlay(source);
                ++underruns;
            }
        }
    }
}

void SoundSystemImpl::workerLoop() {
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        wake.wait_for(lock, workerPeriod, [this] { return stopping; });
        if (stopping)
            break;
        makeCurrent();
        serviceStreams();
    }
    alcSetThreadContext(nullptr); // the thread lets go of the context before it ends
}

} // namespace vorn::audio
