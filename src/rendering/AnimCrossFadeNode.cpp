#include "rendering/AnimCrossFadeNode.hpp"

#include <cmath>

namespace vorn::rendering {

AnimCrossFadeNode::AnimCrossFadeNode(std::unique_ptr<AnimNode> from,
                                     std::unique_ptr<AnimSegment> to, float duration)
    : from(std::move(from)), to(std::move(to)), duration(duration) {}

void AnimCrossFadeNode::advance(float dt, std::unique_ptr<AnimNode>& slot) {
    if (from)
        from->advance(dt, from);
    if (to)
        to->advance(dt);
    elapsed += dt;
    if (elapsed > duration && to) {
        // Keep this node alive until the function returns: storing `to` into the slot releases
        // what the slot held, which is this node with its whole `from` subtree.
        std::unique_ptr<AnimNode> self = std::move(slot);
        slot = std::move(to);
    }
}

float AnimCrossFadeNode::blendFactor() const {
    if (!(duration > 0.0f))
        return 1.0f;
    const float t = elapsed / duration;
    return t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
}

glm::quat AnimCrossFadeNode::boneRotation(const std::vector<Keyframe>& keyframes,
                                          int boneIndex) const {
    if (!to)
        return from ? from->boneRotation(keyframes, boneIndex) : glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
    const glm::quat target = to->boneRotation(keyframes, boneIndex);
    if (!from)
        return target;
    return slerp(from->boneRotation(keyframes, boneIndex), target, blendFactor());
}

glm::vec3 AnimCrossFadeNode::rootPosition(const std::vector<Keyframe>& keyframes) const {
    if (!to)
        return from ? from->rootPosition(keyframes) : glm::vec3(0.0f);
    const glm::vec3 target = to->rootPosition(keyframes);
    if (!from)
        return target;
    const glm::vec3 source = from->rootPosition(keyframes);
    return source + (target - source) * blendFactor();
}

glm::quat slerp(const glm::quat& a, const glm::quat& b, float t) {
    if (t <= 0.0f)
        return a;
    if (t >= 1.0f)
        return b;
    glm::quat end = b;
    float cosine = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    // q and -q are the same rotation; going to the nearer of the two takes the shorter arc.
    if (cosine < 0.0f) {
        end = -end;
        cosine = -cosine;
    }
    float weightA = 1.0f - t;
    float weightB = t;
    // Nearly parallel: sin(theta) is too small to divide by, and linear weights are as good.
    if (cosine <= 0.9999) {
        const float theta = std::atan2(std::sqrt(1.0f - cosine * cosine), cosine);
        const float sinTheta = std::sin(theta);
        weightA = std::sin((1.0f - t) * theta) / sinTheta;
        weightB = std::sin(t * theta) / sinTheta;
    }
    return glm::quat(weightA * a.w + weightB * end.w, weightA * a.x + weightB * end.x,
                     weightA * a.y + weightB * end.y, weightA * a.z + weightB * end.z);
}

} // namespace vorn::rendering
