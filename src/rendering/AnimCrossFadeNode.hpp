#pragma once

#include "rendering/AnimNode.hpp"
#include "rendering/AnimSegment.hpp"

namespace vorn::rendering {

// Blends from whatever was playing (`from`, possibly itself a cross-fade) to a new segment over
// `duration` seconds, both moving on meanwhile. On the first advance after the fade has run its
// time it puts `to` into its own slot, which destroys this node and the whole `from` subtree.
class AnimCrossFadeNode : public AnimNode {
public:
    // `from` may be null (the fade then shows `to` alone); `to` must not be.
    AnimCrossFadeNode(std::unique_ptr<AnimNode> from, std::unique_ptr<AnimSegment> to,
                      float duration);

    // Advances both sides and the fade; collapses into `to` once the fade is over.
    void advance(float dt, std::unique_ptr<AnimNode>& slot) override;
    // slerp(from, to, t) with t = elapsed / duration.
    glm::quat boneRotation(const std::vector<Keyframe>& keyframes, int boneIndex) const override;
    // from + (to - from) x t.
    glm::vec3 rootPosition(const std::vector<Keyframe>& keyframes) const override;

    // The blend factor elapsed / duration, within [0, 1] (1 for a fade without duration).
    float blendFactor() const;

    std::unique_ptr<AnimNode> from;
    std::unique_ptr<AnimSegment> to;
    float duration = 0.0f;
    float elapsed = 0.0f;
};

// Spherical interpolation of unit quaternions along the shorter arc: a at t <= 0, b at t >= 1,
// plain linear weights when the two are nearly parallel (cosine above 0.9999). The result is not
// renormalised.
glm::quat slerp(const glm::quat& a, const glm::quat& b, float t);

} // namespace vorn::rendering
