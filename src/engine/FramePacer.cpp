#include "engine/FramePacer.hpp"

#include <cmath>

namespace vorn::engine {

FramePacer::FramePacer(float minFrameRate, float targetFrameRate)
    : maxDt(1.0f / minFrameRate), targetDt(1.0f / targetFrameRate) {}

float FramePacer::sleepFor(float measured) const {
    if (!(measured < maxDt))
        return 0.0f;
    const float remaining = targetDt - measured;
    return remaining > 0.0f ? remaining : 0.0f;
}

float FramePacer::timeStep(float measured, float slept) const {
    const float dt = measured + slept;
    return dt > maxDt ? maxDt : dt;
}

FramePacer::Steps FramePacer::split(float seconds) const {
    Steps steps;
    if (!(seconds > splitStep())) {
        steps.step = seconds > 0.0f ? seconds : 0.0f;
        return steps;
    }
    // A frame of exactly k split steps is k steps, not k + 1: the quotient is taken in double
    // with a little slack, so that float rounding cannot add a step.
    const double wanted =
        std::ceil(static_cast<double>(seconds) / static_cast<double>(splitStep()) - 1e-6);
    steps.count = wanted < maxSteps ? static_cast<int>(wanted) : maxSteps;
    const float even = seconds / static_cast<float>(steps.count);
    steps.step = even < maxDt ? even : maxDt;
    return steps;
}

} // namespace vorn::engine
