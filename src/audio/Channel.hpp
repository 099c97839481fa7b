#pragma once

#include "audio/Result.hpp"

#include <glm/vec3.hpp>

#include <cstdint>

namespace vorn::audio {

class ChannelGroup;
class SoundSystem;
struct SoundSystemImpl;

// A handle to one playing sound, returned by SoundSystem::playSound. It is a small value that may
// be copied freely; once the sound has finished or been stopped (or its channel was taken for a
// newer sound) every call answers Result::InvalidHandle. A default-constructed handle names no
// channel. Handles must not be used after their system is destroyed.
class Channel {
public:
    Channel() = default;

    // Places the sound (positioned channels only); null arguments keep the current value.
    Result set3DAttributes(const glm::vec3* position, const glm::vec3* velocity);
    // Changes the named groups of mode flags (looping, 2D/3D).
    Result setMode(unsigned mode);
    // Reads the mode flags.
    Result getMode(unsigned& mode) const;
    // How often a looping channel repeats: -1 forever, 0 plays once, n plays n + 1 times.
    Result setLoopCount(int count);
    // Sets the channel's own volume, 0 to 1 (its group's volume scales it further).
    Result setVolume(float volume);
    // Reads the channel's own volume.
    Result getVolume(float& volume) const;
    // Sets the roll-off distances: full volume up to minimum, minimum / distance beyond it, and no
    // further drop past maximum.
    Result set3DMinMaxDistance(float minimum, float maximum);
    // Moves the channel into a group (null: the master group).
    Result setChannelGroup(ChannelGroup* group);
    // Reads the channel's group.
    Result getChannelGroup(ChannelGroup*& group) const;
    // Pauses or resumes the channel; a channel started paused begins playing when resumed.
    Result setPaused(bool paused);
    // Reads the channel's own pause flag.
    Result getPaused(bool& paused) const;
    // Stops the sound and frees the channel.
    Result stop();
    // Whether the channel still plays (or waits paused); a stale handle gives false, not an error.
    Result isPlaying(bool& playing) const;

    // Whether this handle was ever given a channel.
    bool isSet() const { return system != nullptr; }
    // Whether both handles name the same play of the same channel.
    bool operator==(const Channel& other) const {
        return system == other.system && index == other.index && generation == other.generation;
    }
    bool operator!=(const Channel& other) const { return !(*this == other); }

private:
    friend struct SoundSystemImpl;
    Channel(SoundSystem* owner, std::uint32_t voice, std::uint32_t play)
        : system(owner), index(voice), generation(play) {}

    SoundSystem* system = nullptr;
    std::uint32_t index = 0;      // the voice in the system's pool
    std::uint32_t generation = 0; // the voice's generation when this play began
};

} // namespace vorn::audio
