#include "particles/DustEmitter.hpp"

#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "particles/ParticleSystem.hpp"

namespace vorn::components {

DustEmitter::DustEmitter(std::shared_ptr<vorn::rendering::Texture> texture)
    : ParticleEmitter(std::move(texture), "solid") {
    addName(componentName);
}

void DustEmitter::update(float dt) {
    particleSystem().update(dt, continuous);
    if (getWorld()) {
        if (const auto* transform =
                getWorld()->getComponentAs<Transform>(handle(), Transform::componentName))
            particleSystem().moveTo(transform->position());
    }
    timer += dt;
    if (timer > 3.0f)
        timer = 0.0f;
}

} // namespace vorn::components
