#include "components/SoundCue.hpp"

#include "audio/SoundManager.hpp"

#include <utility>

namespace components {

SoundCue::SoundCue(std::string soundName) : soundName(std::move(soundName)) {}

void SoundCue::play(const glm::vec3& point) const {
    vorn::audio::SoundManager& manager = vorn::audio::SoundManager::instance();
    vorn::audio::SoundInstance* instance =
        manager.createSoundInstance(soundName, point, glm::vec3(0.0f));
    manager.playInstance(instance, point, 1.0f, 1.0f, 10000.0f);
}

} // namespace components
