#include "audio/AlSource.hpp"

#include <utility>

namespace vorn::audio {

AlSource::AlSource() {
    alGetError();
    alGenSources(1, &name_);
    if (alGetError() != AL_NO_ERROR) {
        name_ = 0;
    }
}

AlSource::~AlSource() {
    release();
}

AlSource::AlSource(AlSource&& other) noexcept : name_(std::exchange(other.name_, 0)) {}

AlSource& AlSource::operator=(AlSource&& other) noexcept {
    if (this != &other) {
        release();
        name_ = std::exchange(other.name_, 0);
    }
    return *this;
}

ALint AlSource::state() const {
    ALint value = AL_STOPPED;
    if (name_ != 0) {
        alGetSourcei(name_, AL_SOURCE_STATE, &value);
    }
    return value;
}

void AlSource::reset() {
    if (name_ == 0) {
        return;
    }
    alSourceStop(name_);
    alSourcei(name_, AL_LOOPING, AL_FALSE);
    // Detaching with AL_BUFFER 0 also empties the queue of a streaming source.
    alSourcei(name_, AL_BUFFER, 0);
}

void AlSource::release() {
    if (name_ != 0) {
        reset();
        alDeleteSources(1, &name_);
        name_ = 0;
    }
}

} // namespace vorn::audio
