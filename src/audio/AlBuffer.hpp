#pragma once

#include <AL/al.h>

#include <cstddef>
#include <cstdint>

namespace vorn::audio {

// Owns one OpenAL buffer name. The context it was made in must be current on the calling thread
// when it is created, filled and destroyed.
class AlBuffer {
public:
    // Generates a buffer name; valid() tells whether that worked.
    AlBuffer();
    // Deletes the buffer name.
    ~AlBuffer();
    AlBuffer(const AlBuffer&) = delete;
    AlBuffer& operator=(const AlBuffer&) = delete;
    // Takes over the other buffer's name.
    AlBuffer(AlBuffer&& other) noexcept;
    // Takes over the other buffer's name, deleting its own.
    AlBuffer& operator=(AlBuffer&& other) noexcept;

    // Uploads interleaved 16-bit samples (1 or 2 channels); returns false if OpenAL refused them.
    bool fill(const std::int16_t* samples, std::size_t frames, int channels, int sampleRate);
    // The OpenAL name (0 when generation failed).
    ALuint name() const { return id; }
    // Whether a buffer name is held.
    bool valid() const { return id != 0; }

private:
    ALuint id = 0;
};

} // namespace vorn::audio
