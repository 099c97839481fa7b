#pragma once

#include "components/SoundCue.hpp"
#include "engine/Behavior.hpp"

#include <string>

namespace components {

// Hit points with regeneration in steps. While `current` is at or below 0 the entity's
// "deathAction" is invoked every frame (the action guards itself against repeats); otherwise, once
// `regenDelay` seconds have passed since the last blow or heal, one heal of `regenRate` * dt is
// made and the wait starts again. Answers "health"; update priority 1001, after damage (1000).
class Health : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "health";
    // `unused` is accepted for the callers' sake and read by nothing.
    Health(float maximum, const std::string& hurtSoundName, float regenRate, float regenDelay,
           float unused = 0.0f);
    // Death action, then regeneration.
    void update(float dt) override;
    // Takes `amount` (floored at 0) and plays the hurt sound; false, and no change, when already
    // at 0. While `invulnerable`, the blow still sounds but takes nothing.
    bool damage(float amount);
    // Adds `fraction` of the maximum while alive and not above the maximum; whether it healed.
    bool heal(float fraction);

    float regenRate;
    float maximum;
    float current;
    float timeSinceDamage = 0.0f;
    float regenDelay;
    std::string hurtSoundName;
    // The no-damage assist: blows land (sound, hurt reaction, knockback) but cost no health.
    bool invulnerable = false;

private:
    SoundCue hurtSound;
};

} // namespace components
