#pragma once

#include "engine/Behavior.hpp"
#include "engine/EntityHandle.hpp"

#include <string>

namespace components {

// Hurts entities carrying `targetTag` that touch its own entity, at most once per `cooldown`.
// With a collision tracker it looks at the tracker's first contact only; otherwise at the first
// rigid-body contact carrying the tag, which it also throws away from itself by `knockback` / mass.
// A hit damages the other's "health" and invokes its "hurtAction". Answers "damage" and
// "behavior"; update priority 1000, after the physics of the frame.
//
// A part that strikes for another entity (an ant's head and abdomen bite for its body) names that
// entity as its `source` and runs at `onBehalfPriority`, after every other Damage of the frame:
// when the ninja's punch or landing meets the ant in the same frame as its bite, his blow is dealt
// first, and a part whose source has no health left (or is gone) deals nothing.
class Damage : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "damage";
    static constexpr float onBehalfPriority = 1000.5f;

    Damage(const std::string& targetTag, float amount, float cooldown, float knockback);
    // Advances the cooldown and deals a hit when it has run out and a target touches.
    void update(float dt) override;

    float amount;
    float cooldown;
    // Starts at `cooldown`, so the first hit can happen at once.
    float timer;
    float knockback;
    std::string targetTag;
    // The entity this one strikes for; none (id 0) when it strikes for itself.
    vorn::engine::EntityHandle source;

private:
    // Whether the source, if there is one, is still alive to strike.
    bool sourceAlive(vorn::engine::World& world) const;
};

} // namespace components
