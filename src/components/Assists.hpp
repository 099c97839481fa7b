#pragma once

namespace components {

// The player's assists as chosen in the settings: a slower world, energy that never runs out,
// and blows that cost no health. All off by default.
struct Assists {
    // The world's speed in percent of normal: 100, 80 or 60.
    int gameSpeed = 100;
    bool unlimitedEnergy = false;
    bool noDamage = false;

    // Whether any assist is on: a run that had one on is marked as assisted.
    bool any() const { return gameSpeed != 100 || unlimitedEnergy || noDamage; }
};

} // namespace components
