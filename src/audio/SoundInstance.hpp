#pragma once

#include "audio/Channel.hpp"

#include <glm/vec3.hpp>

#include <string>
#include <vector>

namespace vorn::audio {

class Sound;

// A playback record of the sound manager: a positioned sound instance of a scene slot, or one of
// the two music records. `mode` is -1 in a record that has never held anything.
struct SoundInstance {
    std::string name;       // at most 41 characters
    Sound* sound = nullptr; // null when the file could not be loaded: plays nothing
    int channelGroup = 1;   // index of the manager's channel group
    glm::vec3 position{0.0f};
    glm::vec3 velocity{0.0f};
    int mode = -1;
    float volume = 1.0f;
    Channel channel;               // the channel of the last play
    std::vector<Channel> channels; // every play that may still sound, so a slot release stops all
};

} // namespace vorn::audio
