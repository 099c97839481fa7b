#pragma once

#include "rendering/AnimNode.hpp"
#include "rendering/MeshPart.hpp"
#include "rendering/Renderable.hpp"

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <memory>
#include <string>
#include <vector>

namespace vorn::rendering {
class AnimatedMesh;
class ShaderProgram;
class SkeletonAnimationData;
} // namespace vorn::rendering

namespace vorn::components {

// One playing instance of an animated mesh. Answers "renderable", "animatedModel" and
// "behavior": the world's update pass advances its playback tree, the renderer draws it with the
// skinning matrices of the current pose uploaded to the program's "bones" array.
//
// Playback: a single segment, or cross-fades from the previous tree to a new segment that
// collapse into that segment when they end. The pose is computed on the CPU during draw, once
// per draw, without interpolation between keyframes.
class AnimatedModel : public Renderable {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = "animatedModel";

    // The program, normal map and root offset the hero is drawn with.
    static const char* const skinnedProgramName;
    static const char* const heroNormalMapName;
    static const glm::vec3 heroRootOffset;

    // Copies the mesh's parts (new vertex arrays; materials and buffers stay shared), shares its
    // skeleton, copies its root offset, plays "default" and then `initialSegment` unless empty.
    explicit AnimatedModel(const vorn::rendering::AnimatedMesh& mesh,
                           const std::string& initialSegment = "", bool blending = false);

    // Builds a model the way the hero is built: a copy of the cached animated mesh `name` (an
    // animation definition or model file under the asset root) with the skinned program, the
    // normal map `normalMap` on "normalMap" (none when empty) and `rootOffset`, playing
    // `segment`. An unknown segment is reported and "default" plays.
    static std::unique_ptr<AnimatedModel>
    createSkinned(const std::string& name, const std::string& segment,
                  const std::string& normalMap = heroNormalMapName,
                  const glm::vec3& rootOffset = heroRootOffset);

    // Restarts playback with the segment `name` at time 0, dropping the whole playback tree.
    // False (and playback unchanged) when the skeleton has no such segment.
    bool play(const std::string& name);
    // Fades from what plays now to the segment `name` over `duration` seconds. False (and
    // playback unchanged) when the skeleton has no such segment.
    bool crossFade(const std::string& name, float duration);

    // Advances the playback tree.
    void update(float dt) override;
    // Draws every drawable part: material, "MVP", "MV", "M", "V", then the skinning matrices
    // into "bones" when the program has that array.
    void draw(vorn::rendering::RenderState& state, const glm::mat4& model,
              vorn::rendering::UniformSet& perDraw) override;

    // The skinning matrices of the current pose, one per bone (root offset included).
    const std::vector<glm::mat4>& computePose();

    std::vector<vorn::rendering::MeshPart> parts;
    std::shared_ptr<vorn::rendering::SkeletonAnimationData> skeleton;
    std::unique_ptr<vorn::rendering::AnimNode> current;
    glm::vec3 rootOffset{0.0f};
    // The mesh's bind-pose box (mesh space, root offset not applied), for framing cameras.
    glm::vec3 boundsMin{0.0f};
    glm::vec3 boundsMax{0.0f};
    bool hasBounds = false;

private:
    // How many "bones" entries `program` has (cached for the last program seen).
    int boneCapacity(const std::shared_ptr<vorn::rendering::ShaderProgram>& program);

    std::vector<glm::mat4> skin;
    std::weak_ptr<vorn::rendering::ShaderProgram> sizedProgram;
    int sizedCapacity = 0;
};

} // namespace vorn::components
