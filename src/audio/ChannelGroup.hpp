#pragma once

#include "audio/Result.hpp"

#include <string>

namespace vorn::audio {

class SoundSystem;
struct SoundSystemImpl;

// A set of channels sharing a volume and a pause flag: a channel's loudness is its own volume
// times its group's (times the master group's), and it is silent while either is paused. Groups
// belong to their system and live as long as it does.
class ChannelGroup {
public:
    // Sets the group's volume, 0 to 1, and applies it to every channel in the group at once.
    Result setVolume(float volume);
    // Reads the group's volume.
    Result getVolume(float& volume) const;
    // Pauses or resumes every channel in the group (their own pause flags are kept).
    Result setPaused(bool paused);
    // Reads the group's pause flag.
    Result getPaused(bool& paused) const;
    // The name given at creation.
    const std::string& name() const { return groupName; }

private:
    friend class Channel; // checks that a group belongs to the channel's system
    friend class SoundSystem;
    friend struct SoundSystemImpl;
    ChannelGroup(SoundSystem* owner, std::string name)
        : system(owner), groupName(std::move(name)) {}

    SoundSystem* system;
    std::string groupName;
    float volume = 1.0f;
    bool paused = false;
};

} // namespace vorn::audio
