#pragma once

#include "audio/SoundInstance.hpp"
#include "audio/SoundManager.hpp"
#include "engine/Behavior.hpp"

#include <string>

namespace vorn::components {

// An entity's looping sound whose loudness gameplay changes (a rolling boulder). When activated it
// starts the named sound looping at the entity's "transform" position and keeps it there as the
// entity moves; setVolume makes it louder or softer without touching its pause state. The sound
// stops when the component leaves its world or is deleted. The emitter keeps a playback record of
// its own, so two emitters of the same sound never change each other's channel. Answers
// "soundEmitter" (and "behavior", to follow its entity).
class SoundEmitter : public vorn::engine::Behavior {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = "soundEmitter";

    // The named sound, its starting volume and roll-off distances.
    explicit SoundEmitter(
        const std::string& soundName, float volume = 1.0f, float minDistance = 1.0f,
        float maxDistance = 10000.0f,
        vorn::audio::SoundManager& manager = vorn::audio::SoundManager::instance());
    // Stops the sound.
    ~SoundEmitter() override;

    // Starts the looping sound if it is not playing.
    void onActivated() override;
    // Stops the sound.
    void onRemoved() override;
    // Keeps the sound at the entity's position.
    void update(float dt) override;

    // Stores the volume and applies it to the playing channel, keeping its pause state.
    void setVolume(float volume);
    // The volume last set.
    float volume() const { return record.volume; }
    // The emitter's playback record (its channel is the playing loop).
    const vorn::audio::SoundInstance& instance() const { return record; }

private:
    glm::vec3 entityPosition() const;
    void stop();

    vorn::audio::SoundManager& manager;
    std::string soundName;
    float minDistance;
    float maxDistance;
    vorn::audio::SoundInstance record;
};

} // namespace vorn::components
