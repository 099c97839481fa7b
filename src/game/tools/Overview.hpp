#pragma once

#include <memory>
#include <string>

namespace vorn::engine {
class World;
}

namespace game {

// The scene of `mossfang --area FILE --overview PNG`: the whole area at once, every entity the
// level builds, seen straight on through an orthographic camera framed on all of them, with the
// areas' lights and no HUD, so a level can be read at a glance.
class Overview {
public:
    // Loads the level and frames it for a window of the given aspect (width over height).
    static std::shared_ptr<vorn::engine::World> build(const std::string& levelFile, float aspect);
};

} // namespace game
