#pragma once

#include "particles/ParticleEmitter.hpp"

namespace vorn::components {

// The emitter of kicked-up dirt. Answers "dustEmitter", "particleEmitter", "behavior",
// "renderable" and "solid". Every update it moves the system's reference point to its entity's
// position, so dust already raised stays where it was raised while the emitter follows the feet.
class DustEmitter : public ParticleEmitter {
public:
    inline static const std::string componentName = "dustEmitter";

    explicit DustEmitter(std::shared_ptr<vorn::rendering::Texture> texture);

    // Updates the system, moves its reference point to the entity's position and advances the
    // timer (back to 0 once past 3 s).
    void update(float dt) override;

    float timer = 0.0f;
};

} // namespace vorn::components
