#pragma once

#include "engine/Behavior.hpp"
#include "engine/EntityHandle.hpp"

#include <string>

namespace components {

// Makes a sugar pile sparkle while the player touches it. The sparkle is an entity of its own at
// the pile's position, created when this component becomes active in a world and ended (a
// LifeSpan of 0) when it is removed. The pile's "collisionTracker" decides: while it holds a
// contact the sparkle's emitter runs; each new touch lets every sparkle particle be spawned up to
// its respawn limit again, and once the touch ends the particles in flight die out. Answers
// "touchEmitter" and "behavior".
class TouchEmitter : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "touchEmitter";

    TouchEmitter();

    // Creates the sparkle entity at the owner's position, unless one is already live here.
    void onActivated() override;
    // Ends the sparkle entity on the next update.
    void onRemoved() override;
    // Sets the sparkle emitter's continuous flag while the tracker holds a contact.
    void update(float dt) override;

    // The sparkle entity (id 0 while there is none).
    vorn::engine::EntityHandle effect;

private:
    bool touched = false;
};

} // namespace components
