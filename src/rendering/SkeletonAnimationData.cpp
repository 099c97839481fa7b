#include "rendering/SkeletonAnimationData.hpp"

#include "rendering/AnimNode.hpp"

#include <glm/gtc/matrix_transform.hpp>

namespace vorn::rendering {

void SkeletonAnimationData::addSegment(const std::string& name, int start, int end, bool loop,
                                       float secondsPerFrame) {
    segments[name] = AnimSegment(start, end, loop, secondsPerFrame);
}

const AnimSegment* SkeletonAnimationData::findSegment(const std::string& name) const {
    const auto found = segments.find(name);
    return found == segments.end() ? nullptr : &found->second;
}

const std::vector<Keyframe>& SkeletonAnimationData::firstClip() const {
    static const std::vector<Keyframe> none;
    if (!hasClip)
        return none;
    const auto found = clips.find(firstClipName);
    return found == clips.end() ? none : found->second;
}

void SkeletonAnimationData::addClip(const std::string& name, std::vector<Keyframe> keyframes) {
    if (clips.count(name))
        return;
    clips.emplace(name, std::move(keyframes));
    if (!hasClip) {
        firstClipName = name;
        hasClip = true;
    }
}

void SkeletonAnimationData::computePose(const AnimNode* node, const glm::vec3& rootOffset,
                                        std::vector<glm::mat4>& skin) const {
    const std::vector<Keyframe>& keyframes = firstClip();
    const std::size_t count = bones.size();
    skin.resize(count);
    globals.resize(count);
    const glm::mat4 rootPlacement =
        glm::translate(glm::mat4(1.0f),
                       rootOffset + (node ? node->rootPosition(keyframes) : glm::vec3(0.0f))) *
        rootMatrix;
    for (std::size_t i = 0; i < count; ++i) {
        const Bone& bone = bones[i];
        // local = translate(offset) x rotation, built in place: the rotation's 3 x 3 block with
        // the offset as the translation column.
        glm::mat4 local = glm::mat4_cast(node ? node->boneRotation(keyframes, static_cast<int>(i))
                                              : glm::quat(1, 0, 0, 0));
        local[3] = glm::vec4(bone.offset, 1.0f);
        // Parents precede their children, so a parent's global matrix is always ready here; a
        // bone whose parent index is out of order is treated as a root.
        const bool hasParent = bone.parent >= 0 && static_cast<std::size_t>(bone.parent) < i;
        globals[i] =
            (hasParent ? globals[static_cast<std::size_t>(bone.parent)] : rootPlacement) * local;
        // skin = global x translate(-bindPosition): only the translation column changes.
        glm::mat4& out = skin[i];
        out = globals[i];
        out[3] = globals[i] * glm::vec4(-bone.bindPosition, 1.0f);
    }
}

} // namespace vorn::rendering
