// Loading: sounds decoded whole into one buffer, and streams that keep only their file and format
// until a channel plays them. A file is checked (opened and its format read) in both cases, so a
// stream that cannot play fails here rather than when the music starts.
#include "audio/SoundSystemImpl.hpp"

#include "audio/Decoder.hpp"

#include <algorithm>
#include <cstdint>
#include <new>

namespace vorn::audio {

Result SoundSystem::createSound(const std::string& path, const unsigned mode, Sound*& sound) {
    const Lock lock(impl->mutex);
    impl->makeCurrent();
    return impl->createSound(path, mode, false, sound);
}

Result SoundSystem::createStream(const std::string& path, const unsigned mode, Sound*& sound) {
    const Lock lock(impl->mutex);
    impl->makeCurrent();
    return impl->createSound(path, mode, true, sound);
}

Result SoundSystemImpl::createSound(const std::string& path, const unsigned mode, const bool stream,
                                    Sound*& sound) {
    sound = nullptr;
    if (!initialized)
        return Result::Uninitialized;
    unsigned merged = 0;
    if (!mergeMode(mode::LoopOff | mode::TwoD, mode, merged))
        return Result::InvalidParam;
    const int channels = (merged & mode::ThreeD) != 0 ? 1 : 2;
    std::unique_ptr<Decoder> decoder;
    if (const Result result = Decoder::open(path, channels, decoder); result != Result::Ok)
        return result;
    std::unique_ptr<Sound> made(new Sound(path, merged, stream));
    made->channelCount = decoder->channels();
    made->rate = decoder->sampleRate();
    made->frameCount = decoder->announcedFrames();

    const double limitFrames = SoundSystem::maxWholeSeconds * decoder->sampleRate();
    if (!stream && static_cast<double>(decoder->announcedFrames()) > limitFrames)
        return Result::TooLong;
    if (!stream && !silent) {
        // Decode everything; the header's frame count is only a hint (damaged files end early).
        std::vector<std::int16_t> samples;
        std::size_t frames = 0;
        try {
            const std::size_t perFrame = static_cast<std::size_t>(decoder->channels());
            samples.reserve(static_cast<std::size_t>(
                std::min<double>(static_cast<double>(decoder->announcedFrames()), limitFrames) *
                perFrame));
            constexpr std::size_t piece = 16384;
            for (;;) {
                samples.resize((frames + piece) * perFrame);
                const std::size_t got = decoder->read(samples.data() + frames * perFrame, piece);
                frames += got;
                if (got == 0)
                    break;
                if (static_cast<double>(frames) > limitFrames)
                    return Result::TooLong;
            }
            samples.resize(frames * perFrame);
        } catch (const std::bad_alloc&) {
            return Result::Memory;
        }
        if (frames == 0)
            return Result::FileNoData;
        made->buffer = std::make_unique<AlBuffer>();
        if (!made->buffer->fill(samples.data(), frames, decoder->channels(), decoder->sampleRate()))
            return Result::Library;
        made->frameCount = static_cast<long long>(frames);
        made->decodedSize = samples.size() * sizeof(std::int16_t);
    }
    sounds.push_back(std::move(made));
    sound = sounds.back().get();
    return Result::Ok;
}

} // namespace vorn::audio
