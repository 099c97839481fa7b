#pragma once

#include "engine/Behavior.hpp"

#include <string>

namespace components {

// A door: when its "collisionTracker" reports a contact, the first touching entity (the player;
// doors track "player") leaves this world with all its components and arrives at `entrance` of
// the area in `levelFile`, built by the installed area builder and handed to the Application.
// Update priority 10000, after everything else of the frame, so the player is carried as the
// frame left him. A door hands the player over once; a door with no area builder, or whose area
// could not be built, leaves him where he is and says so once.
class Exit : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "exit";

    Exit(const std::string& levelFile, const std::string& entrance);

    // Takes the touching entity's components and switches to the area built from them.
    void update(float dt) override;

    // Level file of the next area, relative to the levels folder.
    std::string levelFile;
    // Entrance of the next area where the player arrives.
    std::string entrance;

    // Whether this door has handed a player over.
    bool hasHandedOver() const { return handedOver; }

private:
    bool handedOver = false;
    bool reported = false;
};

} // namespace components
