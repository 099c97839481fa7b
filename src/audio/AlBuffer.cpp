#include "audio/AlBuffer.hpp"

#include <utility>

namespace vorn::audio {

AlBuffer::AlBuffer() {
    alGetError();
    alGenBuffers(1, &name_);
    if (alGetError() != AL_NO_ERROR) {
        name_ = 0;
    }
}

AlBuffer::~AlBuffer() {
    if (name_ != 0) {
        alDeleteBuffers(1, &name_);
    }
}

AlBuffer::AlBuffer(AlBuffer&& other) noexcept : name_(std::exchange(other.name_, 0)) {}

AlBuffer& AlBuffer::operator=(AlBuffer&& other) noexcept {
    if (this != &other) {
        if (name_ != 0) {
            alDeleteBuffers(1, &name_);
        }
        name_ = std::exchange(other.name_, 0);
    }
    return *this;
}

bool AlBuffer::fill(const std::int16_t* samples, const std::size_t frames, const int channels,
                    const int sampleRate) {
    if (name_ == 0 || (channels != 1 && channels != 2)) {
        return false;
    }
    const ALenum format = channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
    const std::size_t bytes = frames * static_cast<std::size_t>(channels) * sizeof(std::int16_t);
    alGetError();
    alBufferData(name_, format, samples, static_cast<ALsizei>(bytes), sampleRate);
    return alGetError() == AL_NO_ERROR;
}

} // namespace vorn::audio
