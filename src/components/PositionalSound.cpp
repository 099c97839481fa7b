#include "components/PositionalSound.hpp"

#include "audio/SoundManager.hpp"

namespace vorn::components {

void PositionalSound::play(const std::string& name, const glm::vec3& position,
                           const float minDistance, const float maxDistance) {
    vorn::audio::SoundManager& manager = vorn::audio::SoundManager::instance();
    vorn::audio::SoundInstance* instance =
        manager.createSoundInstance(name, position, glm::vec3(0.0f));
    manager.playInstance(instance, position, 1.0f, minDistance, maxDistance);
}

} // namespace vorn::components
