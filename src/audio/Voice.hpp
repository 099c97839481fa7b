#pragma once

#include "audio/AlBuffer.hpp"
#include "audio/AlSource.hpp"
#include "audio/Decoder.hpp"

#include <glm/vec3.hpp>

#include <cstdint>
#include <memory>
#include <vector>

namespace vorn::audio {

class ChannelGroup;
class Sound;

// The state behind one channel of a SoundSystem. Only the system touches it, always under its
// lock. A voice is in use from playSound until it is stopped or has finished; `generation` grows
// every time it is freed, which is what makes older Channel handles stale.
struct Voice {
    std::uint32_t generation = 1;
    bool inUse = false;
    bool started = false;       // resumed at least once: buffers attached and playback requested
    bool silentExpired = false; // without an output: a one-shot that "finished" at an update
    Sound* sound = nullptr;
    unsigned mode = 0;
    int loopCount = -1;
    float volume = 1.0f;
    bool paused = false;
    ChannelGroup* group = nullptr;
    glm::vec3 position{0.0f};
    glm::vec3 velocity{0.0f};
    float minDistance = 1.0f;
    float maxDistance = 10000.0f;
    std::uint64_t serial = 0; // order of plays, to take the oldest channel when all are busy

    std::unique_ptr<AlSource> source;

    // Streaming: a decoder of its own and a short queue of buffers refilled as they play.
    std::unique_ptr<Decoder> decoder;
    std::vector<AlBuffer> streamBuffers;
    std::vector<std::int16_t> chunk;
    int loopsLeft = 0; // passes still to come after the current one (-1: forever)
    bool streamEnded = false;
};

} // namespace vorn::audio
