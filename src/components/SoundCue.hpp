#pragma once

#include <glm/vec3.hpp>

#include <string>

namespace components {

// Plays one named sound of the sound manager at a point (volume 1, roll-off from 1 to 10000).
//
// Lifetime: the manager's sound instances belong to the scene slot that was current when they were
// created and are freed when that slot is released, which happens when the world that acquired it
// goes. A component carried to another world through a door would then hold a dangling instance,
// so a cue keeps only the name and looks the instance up in the current slot on every play
// (creating it there the first time).
class SoundCue {
public:
    explicit SoundCue(std::string soundName);
    // Plays the sound once at `point`; an unknown name is reported by the manager and plays
    // nothing.
    void play(const glm::vec3& point) const;
    // The sound's name in the sound table.
    const std::string& name() const { return soundName; }

private:
    std::string soundName;
};

} // namespace components
