#pragma once

#include "engine/Behavior.hpp"

#include <string>

namespace components {

// Hurts entities carrying `targetTag` that touch its own entity, at most once per `cooldown`.
// With a collision tracker it looks at the tracker's first contact only; otherwise at the first
// rigid-body contact carrying the tag, which it also throws away from itself by `knockback` / mass.
// A hit damages the other's "health" and invokes its "hurtAction". Answers "damage" and
// "behavior"; update priority 1000, after the physics of the frame.
class Damage : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "damage";
    Damage(const std::string& targetTag, float amount, float cooldown, float knockback);
    // Advances the cooldown and deals a hit when it has run out and a target touches.
    void update(float dt) override;

    float amount;
    float cooldown;
    // Starts at `cooldown`, so the first hit can happen at once.
    float timer;
    float knockback;
    std::string targetTag;
};

} // namespace components
