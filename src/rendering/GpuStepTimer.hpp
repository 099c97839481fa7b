#pragma once

#include <GL/glew.h>

#include <array>
#include <cstdint>
#include <vector>

namespace vorn::rendering {

// Measures how long the GPU spends on each of a fixed number of steps of a frame, with
// GL_TIME_ELAPSED queries, and keeps the running mean per frame.
//
// Results are read two frames late, so asking for them never stalls the pipeline: each frame
// writes one of three query sets and reads back the oldest. A step that did not run in a frame
// counts as zero time in that frame. Only one step is timed at a time (GL allows one active
// elapsed-time query). The query objects belong to the context current at the first frame.
class GpuStepTimer {
public:
    explicit GpuStepTimer(int steps);
    GpuStepTimer(const GpuStepTimer&) = delete;
    GpuStepTimer& operator=(const GpuStepTimer&) = delete;
    ~GpuStepTimer();

    // Starts a frame: collects the results of the frame that used this query set before.
    void beginFrame();
    // Starts timing `step`; ends the step being timed, if any.
    void begin(int step);
    // Ends the step being timed.
    void end();
    // Ends the frame.
    void endFrame();
    // Waits for every pending result and adds it to the means.
    void collectAll();

    // Frames whose results have been added so far.
    uint64_t frames() const { return framesCollected; }
    // Mean GPU milliseconds of `step` per collected frame (0 before any).
    double meanMilliseconds(int step) const;

private:
    static constexpr int sets = 3;

    void collect(int set);

    int steps;
    int current = 0;
    int active = -1;
    bool created = false;
    std::array<std::vector<GLuint>, sets> queries;
    std::array<std::vector<bool>, sets> used;
    std::array<bool, sets> pending{};
    std::vector<uint64_t> totals;
    uint64_t framesCollected = 0;
};

} // namespace vorn::rendering
