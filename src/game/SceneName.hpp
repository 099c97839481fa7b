#pragma once

#include "engine/Component.hpp"

#include <string>

namespace game {

// Names the scene a world holds, on the world's own entity; state dumps and tests read it.
class SceneName : public vorn::engine::Component {
public:
    inline static const std::string componentName = "sceneName";

    explicit SceneName(std::string name) : name(std::move(name)) { addName(componentName); }

    const std::string name;
};

} // namespace game
