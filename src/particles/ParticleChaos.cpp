#include "particles/ParticleChaos.hpp"

#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "particles/ParticleRandom.hpp"
#include "particles/ParticleSystem.hpp"

namespace vorn::components {

ParticleChaos::ParticleChaos(std::shared_ptr<vorn::rendering::Texture> texture)
    : ParticleEmitter(std::move(texture), "additive") {
    addName(componentName);
}

void ParticleChaos::update(float dt) {
    particleSystem().update(dt, continuous);
    if (getWorld()) {
        if (const auto* transform =
                getWorld()->getComponentAs<Transform>(handle(), Transform::componentName))
            particleSystem().moveTo(transform->position());
    }
    // One turn per update; the draws only apply what has accumulated.
    rotator.beginUpdate(dt);
    rotator.transformPoints(nullptr, 0);
    timer += dt;
    if (timer > 3.0f) {
        rotator.speed = vorn::particles::randomBetween(-30.0f, 20.0f);
        const float x = vorn::particles::randomUnit();
        const float y = vorn::particles::randomUnit();
        rotator.axis = glm::vec3(x, y, vorn::particles::randomUnit());
        timer = 0.0f;
    }
}

void ParticleChaos::preparePoints(vorn::particles::ParticleVertices& out) {
    ParticleEmitter::preparePoints(out);
    rotator.rotatePoints(out.positions.data(), out.pointCount);
}

} // namespace vorn::components
