#include "components/RunEvents.hpp"

namespace components {

RunEvents::CheckpointListener& RunEvents::checkpointListener() {
    static CheckpointListener listener;
    return listener;
}

void RunEvents::setCheckpointListener(CheckpointListener listener) {
    checkpointListener() = std::move(listener);
}

void RunEvents::checkpointReached(vorn::engine::World& world, const glm::vec3& position) {
    // Copied: a listener may install another one while it runs.
    const CheckpointListener listener = checkpointListener();
    if (listener)
        listener(world, position);
}

} // namespace components
