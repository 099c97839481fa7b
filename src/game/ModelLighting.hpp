#pragma once

#include "rendering/UniformSet.hpp"

#include <string>

namespace game {

// How the play areas light and shade their models, for every scene that shows them that way: the
// areas themselves, the credits' showcase and the designer's viewers.
class ModelLighting {
public:
    // The light set of the play areas: ambient light and lights 0, 1 and 3 (light 2 is unset).
    static vorn::rendering::UniformSet sceneLights();

    // The object-space normal map the level templates give a model file (by its file name, any
    // folder before it ignored), or "" for models drawn with the default material.
    static std::string normalMapFor(const std::string& name);
};

} // namespace game
