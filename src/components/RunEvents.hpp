#pragma once

#include <glm/vec3.hpp>

#include <functional>

namespace vorn::engine {
class World;
}

namespace components {

// Moments of a run that the game layer listens for (to save the run there, say), announced by the
// components that see them happen. The game installs its listeners at start-up and tests install
// their own; until one is installed an announcement goes nowhere.
class RunEvents {
public:
    // Hears that the player reached a checkpoint of `world` standing at `position`.
    using CheckpointListener =
        std::function<void(vorn::engine::World& world, const glm::vec3& position)>;

    // Installs (or, with an empty function, removes) the checkpoint listener.
    static void setCheckpointListener(CheckpointListener listener);
    // Tells the installed listener, if any, that a checkpoint was reached.
    static void checkpointReached(vorn::engine::World& world, const glm::vec3& position);

private:
    static CheckpointListener& checkpointListener();
};

} // namespace components
