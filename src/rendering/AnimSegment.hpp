#pragma once

#include "rendering/AnimNode.hpp"

namespace vorn::rendering {

// Plays the keyframes startFrame .. endFrame of a clip, one keyframe per `secondsPerFrame`,
// without interpolation. A looping segment shows startFrame .. endFrame - 1 and wraps; a
// one-shot segment stops on endFrame and keeps showing it.
//
// Frames that lie outside the clip are clamped to its first and last keyframe, and a segment of
// zero length (or with no positive frame time) holds its start frame with `time` at 0.
class AnimSegment : public AnimNode {
public:
    AnimSegment() = default;
    AnimSegment(int startFrame, int endFrame, bool loop, float secondsPerFrame);

    // Advances `time` (wrapping or holding at the end); never replaces itself.
    void advance(float dt, std::unique_ptr<AnimNode>& slot) override;
    // The rotation of the bone in the current keyframe.
    glm::quat boneRotation(const std::vector<Keyframe>& keyframes, int boneIndex) const override;
    // The root position of the current keyframe.
    glm::vec3 rootPosition(const std::vector<Keyframe>& keyframes) const override;

    // Advances without a slot (segments never replace themselves).
    void advance(float dt);
    // The segment's length in seconds: (endFrame - startFrame) x secondsPerFrame, never negative.
    float length() const;
    // The keyframe index the current time shows, before clamping to a clip.
    int currentFrame() const;

    int startFrame = 0;
    int endFrame = 0;
    float time = 0.0f;
    bool loop = true;
    float secondsPerFrame = 1.0f;

private:
    // The keyframe shown now, or null when the clip is empty.
    const Keyframe* currentKeyframe(const std::vector<Keyframe>& keyframes) const;
};

} // namespace vorn::rendering
