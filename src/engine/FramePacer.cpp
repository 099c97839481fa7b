#include "engine/FramePacer.hpp"

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

} // namespace vorn::engine
