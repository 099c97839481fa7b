#pragma once

#include "rendering/MeshPart.hpp"

#include <glm/vec3.hpp>

#include <string>
#include <vector>

namespace vorn::rendering {

// A model's geometry as loaded from an OBJ file: one part per material group, plus the box around
// every vertex the parts draw (for framing cameras).
class Mesh {
public:
    std::vector<MeshPart> parts;
    glm::vec3 boundsMin{0.0f};
    glm::vec3 boundsMax{0.0f};
    bool hasBounds = false;
    // Why no part has a material to draw it with, in a few words for tools that show the model
    // ("no material library", ...); empty when some part has one.
    std::string whyNothingDraws;
};

// The parts a drawable is built from: the cached mesh's parts, copied (new vertex arrays, shared
// materials). Each copy's buffer reference also holds the whole mesh, so the cached mesh stays
// alive, and is not loaded again, while any drawable uses its buffers.
std::vector<MeshPart> makeParts(const std::string& objName);

} // namespace vorn::rendering
