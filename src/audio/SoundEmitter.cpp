#include "audio/SoundEmitter.hpp"

#include "engine/Transform.hpp"
#include "engine/World.hpp"

namespace vorn::components {

SoundEmitter::SoundEmitter(const std::string& soundName, const float volume,
                           const float minDistance, const float maxDistance,
                           vorn::audio::SoundManager& manager)
    : manager(manager), soundName(soundName), minDistance(minDistance), maxDistance(maxDistance) {
    addName(componentName);
    record.volume = volume;
}

SoundEmitter::~SoundEmitter() {
    stop();
}

glm::vec3 SoundEmitter::entityPosition() const {
    if (getWorld() == nullptr) {
        return record.position;
    }
    const auto* transform =
        getWorld()->getComponentAs<Transform>(handle(), Transform::componentName);
    return transform != nullptr ? transform->position() : record.position;
}

void SoundEmitter::onActivated() {
    bool playing = false;
    if (record.channel.isSet() && record.channel.isPlaying(playing) == vorn::audio::Result::Ok &&
        playing) {
        return;
    }
    const glm::vec3 position = entityPosition();
    const vorn::audio::SoundInstance* shared =
        manager.createSoundInstance(soundName, position, glm::vec3(0.0f));
    if (shared == nullptr) {
        return; // unknown name: the manager has said so
    }
    // A record of our own: the slot's shared instance may be played by others too.
    const float volume = record.volume;
    record = vorn::audio::SoundInstance();
    record.name = shared->name;
    record.sound = shared->sound;
    record.mode = shared->mode;
    record.channelGroup = shared->channelGroup;
    record.position = position;
    record.volume = volume;
    manager.playInstance(&record, position, volume, minDistance, maxDistance);
    manager.loopInstance(&record);
}

void SoundEmitter::onRemoved() {
    stop();
}

void SoundEmitter::update(float /*dt*/) {
    const glm::vec3 position = entityPosition();
    if (position != record.position) {
        manager.setInstancePosition(&record, position);
    }
}

void SoundEmitter::setVolume(const float volume) {
    manager.setInstanceVolume(&record, volume);
}

void SoundEmitter::stop() {
    manager.stopInstance(&record);
}

} // namespace vorn::components
