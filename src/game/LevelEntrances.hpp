#pragma once

#include "engine/Component.hpp"
#include "engine/World.hpp"

#include <glm/vec3.hpp>

#include <string>
#include <vector>

namespace game {

// The entrances of the level file an area was read from, on the world's own entity: each one's
// name and position, recorded by the level loader as it reads them, so that tools can show them
// without reading the file a second time.
class LevelEntrances : public vorn::engine::Component {
public:
    inline static const std::string componentName = "levelEntrances";

    struct Entrance {
        std::string name;
        glm::vec3 position{0.0f};
    };

    LevelEntrances() { addName(componentName); }

    // The entrances recorded in `world`, in the file's order; none when no level was read into it.
    static std::vector<Entrance> of(const vorn::engine::World& world) {
        const auto* recorded = world.getComponentAs<LevelEntrances>(
            vorn::engine::EntityHandle{0, const_cast<vorn::engine::World*>(&world)}, componentName);
        return recorded ? recorded->entrances : std::vector<Entrance>{};
    }

    std::vector<Entrance> entrances;
};

} // namespace game
