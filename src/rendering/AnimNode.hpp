#pragma once

#include <glm/gtc/quaternion.hpp>
#include <glm/vec3.hpp>

#include <memory>
#include <vector>

namespace vorn::rendering {

struct Keyframe;

// One node of an animated model's playback tree: something that advances with time and answers
// the pose of every bone from a clip's keyframes.
//
// Ownership: a node is owned by exactly one slot (the model's root slot or a cross-fade's `from`
// or `to`). advance() may replace the node in its slot; the node that did so is destroyed by that
// replacement, so a caller must not touch a node after advancing it through its own slot.
class AnimNode {
public:
    virtual ~AnimNode() = default;

    // Moves playback on by `dt` seconds. `slot` is the owner of this node; a node that has
    // finished its job may store its successor there (which destroys this node).
    virtual void advance(float dt, std::unique_ptr<AnimNode>& slot) = 0;
    // The rotation of bone `boneIndex` at the current time (identity where the keyframes have
    // none).
    virtual glm::quat boneRotation(const std::vector<Keyframe>& keyframes, int boneIndex) const = 0;
    // The position of the root bone at the current time (zero where the keyframes have none).
    virtual glm::vec3 rootPosition(const std::vector<Keyframe>& keyframes) const = 0;
};

} // namespace vorn::rendering
