#pragma once

#include "audio/AlBuffer.hpp"
#include "audio/Result.hpp"

#include <cstddef>
#include <memory>
#include <string>

namespace vorn::audio {

class SoundSystem;

// A loaded sound: either decoded whole into one OpenAL buffer (SoundSystem::createSound), or a
// stream that keeps only its file name and format and is decoded piece by piece by each channel
// that plays it (SoundSystem::createStream). Sounds belong to the system that created them and
// live as long as it does.
class Sound {
public:
    // The mode flags a channel starts with when this sound is played.
    unsigned getMode() const { return mode_; }
    // Changes the named groups of mode flags for later plays; both flags of one group is invalid.
    Result setMode(unsigned mode);
    // The distances new channels of this sound start with.
    Result get3DMinMaxDistance(float& minimum, float& maximum) const;
    // Sets the distances new channels of this sound start with (0 <= minimum <= maximum).
    Result set3DMinMaxDistance(float minimum, float maximum);

    // Whether the sound is decoded piece by piece while it plays.
    bool isStream() const { return stream_; }
    // Length in seconds as far as the file announces it.
    double lengthSeconds() const;
    // Bytes of decoded samples this sound holds (0 for a stream).
    std::size_t decodedBytes() const { return decodedBytes_; }
    // Channels of the decoded samples (1 or 2).
    int channels() const { return channels_; }
    // Frames per second of the decoded samples.
    int sampleRate() const { return sampleRate_; }
    // The file it was made from.
    const std::string& path() const { return path_; }

private:
    friend class SoundSystem;
    Sound(std::string path, unsigned mode, bool stream);

    std::string path_;
    unsigned mode_ = 0;
    bool stream_ = false;
    float minDistance_ = 1.0f;
    float maxDistance_ = 10000.0f;
    int channels_ = 1;
    int sampleRate_ = 44100;
    long long frames_ = 0;
    std::size_t decodedBytes_ = 0;
    std::unique_ptr<AlBuffer> buffer_; // whole sounds with an output device only
};

// Applies the groups of flags named in `change` to `current`; false if a group names both flags.
bool mergeMode(unsigned current, unsigned change, unsigned& merged);

} // namespace vorn::audio
