#pragma once

#include "audio/Result.hpp"

#include <cstddef>
#include <memory>
#include <string>

namespace vorn::audio {

class AlBuffer;
class SoundSystem;
struct SoundSystemImpl;

// A loaded sound: either decoded whole into one OpenAL buffer (SoundSystem::createSound), or a
// stream that keeps only its file name and format and is decoded piece by piece by each channel
// that plays it (SoundSystem::createStream). Sounds belong to the system that created them and
// live as long as it does.
class Sound {
public:
    // Frees the decoded samples (the system's context must be current, as it is when the system
    // frees its sounds).
    ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // The mode flags a channel starts with when this sound is played.
    unsigned getMode() const { return playMode; }
    // Changes the named groups of mode flags for later plays; both flags of one group is invalid.
    Result setMode(unsigned mode);
    // The distances new channels of this sound start with.
    Result get3DMinMaxDistance(float& minimum, float& maximum) const;
    // Sets the distances new channels of this sound start with (0 <= minimum <= maximum).
    Result set3DMinMaxDistance(float minimum, float maximum);

    // Whether the sound is decoded piece by piece while it plays.
    bool isStream() const { return streamed; }
    // Length in seconds as far as the file announces it.
    double lengthSeconds() const;
    // Bytes of decoded samples this sound holds (0 for a stream).
    std::size_t decodedBytes() const { return decodedSize; }
    // Channels of the decoded samples (1 or 2).
    int channels() const { return channelCount; }
    // Frames per second of the decoded samples.
    int sampleRate() const { return rate; }
    // The file it was made from.
    const std::string& path() const { return file; }

private:
    friend struct SoundSystemImpl;
    Sound(std::string path, unsigned mode, bool stream);

    std::string file;
    unsigned playMode = 0;
    bool streamed = false;
    float minDistance = 1.0f;
    float maxDistance = 10000.0f;
    int channelCount = 1;
    int rate = 44100;
    long long frameCount = 0;
    std::size_t decodedSize = 0;
    std::unique_ptr<AlBuffer> buffer; // whole sounds with an output device only
};

// Applies the groups of flags named in `change` to `current`; false if a group names both flags.
bool mergeMode(unsigned current, unsigned change, unsigned& merged);

} // namespace vorn::audio
