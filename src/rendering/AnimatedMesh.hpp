#pragma once

#include "rendering/MeshPart.hpp"

#include <glm/vec3.hpp>

#include <memory>
#include <string>
#include <vector>

namespace vorn::rendering {

class ShaderProgram;
class SkeletonAnimationData;
class Texture;

// A skinned model as loaded: its parts (skinned vertex layout: "pos", "UV", "normal", optionally
// "tangent" and "bitangent", then "index" and "weight"), the shared skeleton with its clips and
// segments, and the root offset every animated model built from it starts with.
//
// Lifetime: the animated mesh cache holds only weak references. Scene code that wants its own
// program, textures or root offset works on a copy (instanceOf() keeps the cached original alive
// through the copy's buffers, so it is not imported again while the copy's models live).
class AnimatedMesh {
public:
    // An empty mesh: no parts, a skeleton without bones, clips or segments.
    AnimatedMesh();

    // A copy of `cached` whose parts (new vertex arrays, shared materials) hold the whole cached
    // mesh alive through their buffer references; a null `cached` gives an empty mesh.
    static AnimatedMesh instanceOf(const std::shared_ptr<const AnimatedMesh>& cached);

    // Gives every part this program, first copying any material that is shared.
    void setShaderProgram(const std::shared_ptr<ShaderProgram>& program);
    // Gives every part this texture under `samplerName`, first copying shared materials.
    void setTexture(const std::string& samplerName, const std::shared_ptr<Texture>& texture);

    std::vector<MeshPart> parts;
    std::shared_ptr<SkeletonAnimationData> skeleton;
    glm::vec3 rootOffset{0.0f};
    // The box around every vertex in the bind pose (mesh space, root offset not applied).
    glm::vec3 boundsMin{0.0f};
    glm::vec3 boundsMax{0.0f};
    bool hasBounds = false;
};

} // namespace vorn::rendering
