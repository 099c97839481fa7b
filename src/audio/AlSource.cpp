#include "audio/AlSource.hpp"

#include <utility>

namespace vorn::audio {

AlSource::AlSource() {
    alGetError();
    alGenSources(1, &id);
    if (alGetError() != AL_NO_ERROR)
        id = 0;
}

AlSource::~AlSource() {
    release();
}

AlSource::AlSource(AlSource&& other) noexcept : id(std::exchange(other.id, 0)) {}

AlSource& AlSource::operator=(AlSource&& other) noexcept {
    if (this != &other) {
        release();
        id = std::exchange(other.id, 0);
    }
    return *this;
}

ALint AlSource::state() const {
    ALint value = AL_STOPPED;
    if (id != 0)
        alGetSourcei(id, AL_SOURCE_STATE, &value);
    return value;
}

void AlSource::reset() {
    if (id == 0)
        return;
    alSourceStop(id);
    alSourcei(id, AL_LOOPING, AL_FALSE);
    // Detaching with AL_BUFFER 0 also empties the queue of a streaming source.
    alSourcei(id, AL_BUFFER, 0);
}

void AlSource::release() {
    if (id != 0) {
        reset();
        alDeleteSources(1, &id);
        id = 0;
    }
}

} // namespace vorn::audio
