#pragma once

#include "engine/Behavior.hpp"
#include "engine/EntityHandle.hpp"

#include <string>

namespace components {

// Kicks up dirt while the ninja walks. The dust is an entity of its own, drawn by a DustEmitter,
// created when this component becomes active in a world whose entity moves by "simpleNav" and
// ended (a LifeSpan of 0) when it is removed. Every update it lets the emitter spawn only while
// the movement's animation is "walking", and then keeps it three units below the feet in the
// ninja's frame; dust already raised stays where it was raised. Answers "dustyFeet" and
// "behavior"; update priority 1, right after the movement.
class DustyFeet : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "dustyFeet";

    DustyFeet();

    // Creates the dust entity, only for an entity with "simpleNav" and unless one is live here.
    void onActivated() override;
    // Ends the dust entity on the next update.
    void onRemoved() override;
    // Switches the emitter on while walking and follows the feet.
    void update(float dt) override;

    // The dust entity (id 0 while there is none).
    vorn::engine::EntityHandle effect;
};

} // namespace components
