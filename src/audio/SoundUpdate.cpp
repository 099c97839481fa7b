#include "audio/SoundUpdate.hpp"

namespace vorn::systems {

SoundUpdate::SoundUpdate(vorn::audio::SoundManager& manager)
    : manager(manager), sceneSlot(manager.currentSlot()) {
    addName(componentName);
}

SoundUpdate::~SoundUpdate() {
    manager.setActive(true);
    manager.releaseSlot(sceneSlot);
    manager.freeSlot(sceneSlot);
}

} // namespace vorn::systems
