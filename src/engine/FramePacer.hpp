#pragma once

namespace vorn::engine {

// The frame-pacing arithmetic of the main loop, kept free of clocks so it can be checked exactly.
// A frame shorter than 1/minFrameRate sleeps towards 1/targetFrameRate; every time step is clamped
// to 1/minFrameRate.
class FramePacer {
public:
    FramePacer(float minFrameRate, float targetFrameRate);

    // Seconds to sleep after a frame whose work took `measured` seconds (0 when none).
    float sleepFor(float measured) const;
    // The frame's time step: the work time plus the time the sleep really took, clamped.
    float timeStep(float measured, float slept) const;
    // The largest time step, 1/minFrameRate.
    float maxStep() const { return maxDt; }

private:
    float maxDt;
    float targetDt;
};

} // namespace vorn::engine
