#include "particles/DustEmitter.hpp"

#include "particles/ParticleSystem.hpp"

namespace vorn::components {

DustEmitter::DustEmitter(std::shared_ptr<vorn::rendering::Texture> texture)
    : ParticleEmitter(std::move(texture), "solid") {
    addName(componentName);
}

void DustEmitter::update(float dt) {
    particleSystem().update(dt, continuous);
    holdParticlesInWorld();
    timer += dt;
    if (timer > 3.0f)
        timer = 0.0f;
}

} // namespace vorn::components
