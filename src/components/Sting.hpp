#pragma once

#include "engine/Behavior.hpp"

#include <string>

namespace components {

// The harm a flying or hanging creature does by touching: when its entity's "collisionTracker"
// holds an entity carrying `targetTag`, that entity loses `amount` of its "health", is thrown away
// from the creature at `knockBack` units per second and its "hurtAction" runs; then the sting
// rests for `cooldown` seconds. The throw goes aside and a little up: the direction away from the
// creature in the play plane, with its sideways part raised to at least `minimumSideways` and its
// rise to at least `minimumLift` before it is normalised, so a victim under a creature is thrown
// clear of it instead of into the floor or back into it.
// Only the tracker's first contact with the tag counts. A sting on an entity carrying "dead" does
// nothing. Answers "sting"; update priority 1000, after the trackers (102) have found the frame's
// contacts, with the other damage.
class Sting : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "sting";
    static constexpr float minimumSideways = 0.7f;
    static constexpr float minimumLift = 0.5f;

    Sting(const std::string& targetTag, float amount, float cooldown, float knockBack);

    // Stings the first tagged entity the tracker holds, once the rest is over.
    void update(float dt) override;

    std::string targetTag;
    float amount;
    float cooldown;
    float knockBack;
    // Seconds since the last sting; starts at the cooldown, so the first touch stings at once.
    float sinceLast;
};

} // namespace components
