#pragma once

#include "audio/SoundManager.hpp"
#include "engine/Behavior.hpp"

namespace vorn::systems {

// Ties the sounds a scene starts to the scene's World: it remembers the sound manager's current
// slot when it is built (the slot the level loader acquired for this scene), and when the world
// destroys it, it stops and frees every instance of that slot and gives the slot back. It must be
// built after the scene's acquisition and before any other scene acquires. Answers "soundUpdate".
class SoundUpdate : public vorn::engine::Behavior {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = "soundUpdate";

    // Remembers the manager's current slot.
    explicit SoundUpdate(
        vorn::audio::SoundManager& manager = vorn::audio::SoundManager::instance());
    // Releases the slot: its sounds stop and a later acquisition may take it.
    ~SoundUpdate() override;

    // The slot this scene's sounds belong to.
    int slot() const { return sceneSlot; }

private:
    vorn::audio::SoundManager& manager;
    int sceneSlot;
};

} // namespace vorn::systems
