#pragma once

#include "engine/Behavior.hpp"
#include "engine/EntityHandle.hpp"

#include <string>

namespace components {

// Surrounds its entity (the player) with the slow drifting cloud of sparkles. The cloud is an
// entity of its own, created when this component becomes active in a world and ended (a LifeSpan
// of 0) when it is removed; every update places it three units below the owner's feet, in the
// owner's frame. Answers "ambientParticleEmitter" and "behavior".
class AmbientParticleEmitter : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "ambientParticleEmitter";

    AmbientParticleEmitter();

    // Creates the cloud entity at the owner's position, unless one is already live here.
    void onActivated() override;
    // Ends the cloud entity on the next update.
    void onRemoved() override;
    // Places the cloud at the owner's position minus the owner's rotation applied to (0, 3, 0).
    void update(float dt) override;

    // The cloud entity (id 0 while there is none).
    vorn::engine::EntityHandle effect;
};

} // namespace components
