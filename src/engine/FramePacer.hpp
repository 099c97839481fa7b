#pragma once

namespace vorn::engine {

// The frame-pacing arithmetic of the main loop, kept free of clocks so it can be checked exactly.
// A frame shorter than 1/minFrameRate sleeps towards 1/targetFrameRate. No update step is ever
// longer than 1/minFrameRate, and a slow frame is caught up with several equal steps of at most
// half that, so that the world moves as it does at full speed: the ninja's walk, for one, pushes
// and brakes a step at a time and runs 7 % slower in steps of 1/20 s than of 1/60 s, but the same
// in steps of 1/40 s. At most maxSteps steps a frame: below minFrameRate / maxSteps frames a
// second the world runs slower than the clock rather than spending ever longer frames catching up.
class FramePacer {
public:
    // How one frame's time is handed to the world: `count` updates of `step` seconds each.
    struct Steps {
        int count = 1;
        float step = 0.0f;
        // The world time the frame covers.
        float total() const { return static_cast<float>(count) * step; }
    };
    static constexpr int maxSteps = 4;

    FramePacer(float minFrameRate, float targetFrameRate);

    // Seconds to sleep after a frame whose work took `measured` seconds (0 when none).
    float sleepFor(float measured) const;
    // One step for the frame: the work time plus the time the sleep really took, clamped to the
    // largest step (the fixed-time-step runs, which keep one update a frame).
    float timeStep(float measured, float slept) const;
    // The updates that cover `seconds` of world time: k = ceil(seconds / splitStep()) equal steps
    // of seconds / k, at most maxSteps of at most maxStep() each.
    Steps split(float seconds) const;
    // The largest time step, 1/minFrameRate.
    float maxStep() const { return maxDt; }
    // The longest step a frame is split into while it can keep up: half the largest.
    float splitStep() const { return maxDt * 0.5f; }

private:
    float maxDt;
    float targetDt;
};

} // namespace vorn::engine
