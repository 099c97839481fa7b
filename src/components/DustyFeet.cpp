#include "components/DustyFeet.hpp"

#include "components/EffectOwnership.hpp"
#include "components/SimpleNavigation.hpp"
#include "engine/World.hpp"
#include "particles/DustEmitter.hpp"
#include "particles/ParticleEffects.hpp"

namespace components {

using vorn::components::SimpleNavigation;

DustyFeet::DustyFeet() {
    addName(componentName);
    // Just after the movement (0), so every frame it reads the state chosen in that same frame
    // rather than whichever of the two the update order happened to put first.
    updatePriority = 1.0f;
}

void DustyFeet::onActivated() {
    vorn::engine::World* world = getWorld();
    if (world == nullptr || EffectOwnership::isLive(*this, effect))
        return;
    if (world->getComponent(handle(), SimpleNavigation::componentName) == nullptr)
        return;
    effect =
        vorn::particles::ParticleEffects::createDust(*world, EffectOwnership::ownerPosition(*this));
    // No dust until the first step.
    if (auto* emitter = world->getComponentAs<vorn::components::DustEmitter>(
            effect, vorn::components::DustEmitter::componentName))
        emitter->continuous = false;
    EffectOwnership::placeBelowFeet(*this, effect);
}

void DustyFeet::onRemoved() {
    EffectOwnership::end(*this, effect);
}

void DustyFeet::update(float) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr || !EffectOwnership::isLive(*this, effect))
        return;
    auto* emitter = world->getComponentAs<vorn::components::DustEmitter>(
        effect, vorn::components::DustEmitter::componentName);
    if (emitter == nullptr)
        return;
    emitter->continuous = false;
    const auto* navigation =
        world->getComponentAs<SimpleNavigation>(handle(), SimpleNavigation::componentName);
    if (navigation != nullptr && navigation->animationState == SimpleNavigation::Walking) {
        emitter->continuous = true;
        EffectOwnership::placeBelowFeet(*this, effect);
    }
}

} // namespace components
