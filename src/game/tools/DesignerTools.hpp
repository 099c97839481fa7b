#pragma once

#include "game/Scenes.hpp"

#include <memory>

namespace game {

struct DesignerSettings;

// The level designer's tools as a run adds them to every area: the collider overlay over the
// finished picture, the frame meter on the HUD, the reload of the level file, and their keys
// (F2 frame meter, F3 overlay, F5 reload).
class DesignerTools {
public:
    // The area extras of a run whose designer switches are `settings`, shared by every area the
    // run builds so a switch stays as it was through doors and reloads.
    static Scenes::AreaExtras areaExtras(std::shared_ptr<DesignerSettings> settings);
};

} // namespace game
