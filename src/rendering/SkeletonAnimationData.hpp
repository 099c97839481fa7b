#pragma once

#include "rendering/AnimSegment.hpp"

#include <glm/gtc/quaternion.hpp>
#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <string>
#include <unordered_map>
#include <vector>

namespace vorn::rendering {

class AnimNode;

// The pose of every bone at one instant of a clip.
struct Keyframe {
    // One rotation per bone, in bone order.
    std::vector<glm::quat> rotations;
    // The position of bone 0.
    glm::vec3 rootPosition{0.0f};
};

// One joint of a skeleton.
struct Bone {
    std::string name;
    // Index of the parent bone, -1 for the root. Parents always come before their children.
    int parent = -1;
    // Translation relative to the parent.
    glm::vec3 offset{0.0f};
    // Position in the mesh's space in the bind pose.
    glm::vec3 bindPosition{0.0f};
};

// A skeleton, its keyframed clips and the named segments that cut the first clip into actions.
// Shared by every animated model of the same animated mesh; poses are computed on demand.
class SkeletonAnimationData {
public:
    // Adds the segment template `name`, replacing one of the same name.
    void addSegment(const std::string& name, int start, int end, bool loop, float secondsPerFrame);
    // The segment template of that name, or null.
    const AnimSegment* findSegment(const std::string& name) const;
    // The keyframes playback reads: those of the first clip imported (empty when there is none).
    const std::vector<Keyframe>& firstClip() const;
    // Adds a clip under `name`; the first clip added is the one played. A name already present
    // keeps its keyframes.
    void addClip(const std::string& name, std::vector<Keyframe> keyframes);

    // Computes the skinning matrix of every bone for the pose `node` shows now, with `rootOffset`
    // added to the root's placement. `skin` is resized to the bone count. A null node shows the
    // bind pose moved by `rootOffset`.
    void computePose(const AnimNode* node, const glm::vec3& rootOffset,
                     std::vector<glm::mat4>& skin) const;

    std::vector<Bone> bones;
    std::unordered_map<std::string, std::vector<Keyframe>> clips;
    // Identity except for the scale entries of the skeleton root node's transformation.
    glm::mat4 rootMatrix{1.0f};
    std::unordered_map<std::string, AnimSegment> segments;
    std::unordered_map<std::string, int> boneIndex;

private:
    std::string firstClipName;
    bool hasClip = false;
    // Scratch space of computePose (global bone matrices), kept to avoid an allocation per draw.
    mutable std::vector<glm::mat4> globals;
};

} // namespace vorn::rendering
