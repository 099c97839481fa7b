#include "rendering/AnimSegment.hpp"

#include "rendering/SkeletonAnimationData.hpp"

#include <algorithm>
#include <cmath>

namespace vorn::rendering {

AnimSegment::AnimSegment(int startFrame, int endFrame, bool loop, float secondsPerFrame)
    : startFrame(startFrame), endFrame(endFrame), loop(loop), secondsPerFrame(secondsPerFrame) {}

void AnimSegment::advance(float dt, std::unique_ptr<AnimNode>&) {
    advance(dt);
}

void AnimSegment::advance(float dt) {
    const float total = length();
    // A segment without length or frame time shows its start frame for ever; holding time at 0
    // also keeps the looping subtraction below from running without end.
    if (!(total > 0.0f) || !std::isfinite(total)) {
        time = 0.0f;
        return;
    }
    time += dt;
    if (!std::isfinite(time) || time < 0.0f)
        time = 0.0f;
    if (loop) {
        // fmod instead of repeated subtraction: a huge dt (a stalled frame) costs nothing extra.
        if (time >= total)
            time = std::fmod(time, total);
    } else if (time > total) {
        time = total;
    }
}

float AnimSegment::length() const {
    if (!(secondsPerFrame > 0.0f))
        return 0.0f;
    const long long span = std::max(0LL, static_cast<long long>(endFrame) - startFrame);
    return static_cast<float>(span) * secondsPerFrame;
}

int AnimSegment::currentFrame() const {
    const long long span = std::max(0LL, static_cast<long long>(endFrame) - startFrame);
    if (span == 0 || !(secondsPerFrame > 0.0f))
        return startFrame;
    // Frame time and length are rounded differently, so the quotient may land a hair on the wrong
    // side of a segment's last frame: a loop never shows endFrame, a finished one-shot always does.
    if (!loop && time >= length())
        return endFrame;
    // Frame times such as 0.05 s have no exact binary form, so a time that is exactly on a frame
    // boundary in decimal may divide to a hair below the whole number; a ten-thousandth of a
    // frame of tolerance puts it on the frame it names.
    const double steps = std::floor(static_cast<double>(time) / secondsPerFrame + 1e-4);
    const double last = static_cast<double>(loop ? span - 1 : span);
    return static_cast<int>(startFrame + static_cast<long long>(std::clamp(steps, 0.0, last)));
}

const Keyframe* AnimSegment::currentKeyframe(const std::vector<Keyframe>& keyframes) const {
    if (keyframes.empty())
        return nullptr;
    const int last = static_cast<int>(keyframes.size()) - 1;
    return &keyframes[static_cast<std::size_t>(std::clamp(currentFrame(), 0, last))];
}

glm::quat AnimSegment::boneRotation(const std::vector<Keyframe>& keyframes, int boneIndex) const {
    const Keyframe* key = currentKeyframe(keyframes);
    if (!key || boneIndex < 0 || static_cast<std::size_t>(boneIndex) >= key->rotations.size())
        return glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
    return key->rotations[static_cast<std::size_t>(boneIndex)];
}

glm::vec3 AnimSegment::rootPosition(const std::vector<Keyframe>& keyframes) const {
    const Keyframe* key = currentKeyframe(keyframes);
    return key ? key->rootPosition : glm::vec3(0.0f);
}

} // namespace vorn::rendering
