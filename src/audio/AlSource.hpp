#pragma once

#include <AL/al.h>

namespace vorn::audio {

// Owns one OpenAL source name. The context it was made in must be current on the calling thread
// when it is created, used and destroyed.
class AlSource {
public:
    // Generates a source name; valid() tells whether that worked.
    AlSource();
    // Stops the source, detaches its buffers and deletes the name.
    ~AlSource();
    AlSource(const AlSource&) = delete;
    AlSource& operator=(const AlSource&) = delete;
    // Takes over the other source's name.
    AlSource(AlSource&& other) noexcept;
    // Takes over the other source's name, deleting its own.
    AlSource& operator=(AlSource&& other) noexcept;

    // The OpenAL name (0 when generation failed).
    ALuint name() const { return id; }
    // Whether a source name is held.
    bool valid() const { return id != 0; }
    // AL_INITIAL, AL_PLAYING, AL_PAUSED or AL_STOPPED.
    ALint state() const;
    // Stops playback and detaches every buffer, so the buffers may be reused or deleted.
    void reset();

private:
    void release();

    ALuint id = 0;
};

} // namespace vorn::audio
