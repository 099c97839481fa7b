#include "components/AmbientParticleEmitter.hpp"

#include "components/EffectOwnership.hpp"
#include "particles/ParticleEffects.hpp"

namespace components {

AmbientParticleEmitter::AmbientParticleEmitter() {
    addName(componentName);
}

void AmbientParticleEmitter::onActivated() {
    if (!getWorld() || EffectOwnership::isLive(*this, effect))
        return;
    effect = vorn::particles::ParticleEffects::createAmbientCloud(
        *getWorld(), EffectOwnership::ownerPosition(*this));
    EffectOwnership::placeBelowFeet(*this, effect);
}

void AmbientParticleEmitter::onRemoved() {
    EffectOwnership::end(*this, effect);
}

void AmbientParticleEmitter::update(float) {
    EffectOwnership::placeBelowFeet(*this, effect);
}

} // namespace components
