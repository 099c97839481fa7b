#include "components/TouchEmitter.hpp"

#include "components/EffectOwnership.hpp"
#include "engine/World.hpp"
#include "particles/ParticleEffects.hpp"
#include "particles/ParticleEmitter.hpp"
#include "particles/ParticleSystem.hpp"
#include "physics/CollisionTracker.hpp"

namespace components {

using vorn::components::CollisionTracker;
using vorn::components::ParticleEmitter;

TouchEmitter::TouchEmitter() {
    addName(componentName);
}

void TouchEmitter::onActivated() {
    if (!getWorld() || EffectOwnership::isLive(*this, effect))
        return;
    effect = vorn::particles::ParticleEffects::createSugarSparkle(
        *getWorld(), EffectOwnership::ownerPosition(*this));
    // The pile starts untouched: nothing sparkles until the player arrives.
    if (auto* emitter =
            getWorld()->getComponentAs<ParticleEmitter>(effect, ParticleEmitter::componentName))
        emitter->continuous = false;
    touched = false;
}

void TouchEmitter::onRemoved() {
    EffectOwnership::end(*this, effect);
}

void TouchEmitter::update(float) {
    if (!EffectOwnership::isLive(*this, effect))
        return;
    vorn::engine::World& world = *getWorld();
    auto* emitter = world.getComponentAs<ParticleEmitter>(effect, ParticleEmitter::componentName);
    if (!emitter)
        return;
    const auto* tracker = world.getComponentAs<CollisionTracker>(handle(), "collisionTracker");
    const bool touching = tracker && !tracker->contacts.empty();
    // A new touch refills every particle's respawns, so each visit to the pile sparkles again.
    if (touching && !touched)
        emitter->particleSystem().resetRespawns();
    touched = touching;
    emitter->continuous = touching;
}

} // namespace components
