#pragma once

namespace game {

// The level designer's switches of one game run: the collider overlay (F3, --debug-draw), the
// frame meter (F2) and reloading the area's file when it changes on disk (--watch). Shared by the
// areas one run builds, so a switch stays as it was through doors and reloads.
struct DesignerSettings {
    bool debugDraw = false;
    bool frameMeter = false;
    bool watch = false;
};

} // namespace game
