#include "audio/AlBuffer.hpp"

#include <utility>

namespace vorn::audio {

AlBuffer::AlBuffer() {
    alGetError();
    alGenBuffers(1, &id);
    if (alGetError() != AL_NO_ERROR)
        id = 0;
}

AlBuffer::~AlBuffer() {
    if (id != 0)
        alDeleteBuffers(1, &id);
}

AlBuffer::AlBuffer(AlBuffer&& other) noexcept : id(std::exchange(other.id, 0)) {}

AlBuffer& AlBuffer::operator=(AlBuffer&& other) noexcept {
    if (this != &other) {
        if (id != 0)
            alDeleteBuffers(1, &id);
        id = std::exchange(other.id, 0);
    }
    return *this;
}

bool AlBuffer::fill(const std::int16_t* samples, const std::size_t frames, const int channels,
                    const int sampleRate) {
    if (id == 0 || (channels != 1 && channels != 2))
        return false;
    const ALenum format = channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
    const std::size_t bytes = frames * static_cast<std::size_t>(channels) * sizeof(std::int16_t);
    alGetError();
    alBufferData(id, format, samples, static_cast<ALsizei>(bytes), sampleRate);
    return alGetError() == AL_NO_ERROR;
}

} // namespace vorn::audio
