#include "rendering/GpuStepTimer.hpp"

#include <cassert>

namespace vorn::rendering {

GpuStepTimer::GpuStepTimer(int steps) : steps(steps), totals(static_cast<std::size_t>(steps), 0) {
    assert(steps > 0);
    for (int s = 0; s < sets; ++s)
        used[static_cast<std::size_t>(s)].assign(static_cast<std::size_t>(steps), false);
}

GpuStepTimer::~GpuStepTimer() {
    if (!created)
        return;
    for (auto& set : queries)
        glDeleteQueries(static_cast<GLsizei>(set.size()), set.data());
}

void GpuStepTimer::beginFrame() {
    if (!created) {
        for (auto& set : queries) {
            set.assign(static_cast<std::size_t>(steps), 0);
            glGenQueries(static_cast<GLsizei>(steps), set.data());
        }
        created = true;
    }
    current = (current + 1) % sets;
    collect(current);
}

void GpuStepTimer::begin(int step) {
    assert(step >= 0 && step < steps);
    if (!created)
        return;
    end();
    const auto s = static_cast<std::size_t>(current);
    glBeginQuery(GL_TIME_ELAPSED, queries[s][static_cast<std::size_t>(step)]);
    used[s][static_cast<std::size_t>(step)] = true;
    active = step;
}

void GpuStepTimer::end() {
    if (active < 0)
        return;
    glEndQuery(GL_TIME_ELAPSED);
    active = -1;
}

void GpuStepTimer::endFrame() {
    end();
    pending[static_cast<std::size_t>(current)] = created;
}

void GpuStepTimer::collectAll() {
    // Oldest first, so the sets are read in the order they were written.
    for (int i = 1; i <= sets; ++i)
        collect((current + i) % sets);
}

void GpuStepTimer::collect(int set) {
    const auto s = static_cast<std::size_t>(set);
    if (!pending[s])
        return;
    for (int step = 0; step < steps; ++step) {
        const auto i = static_cast<std::size_t>(step);
        if (!used[s][i])
            continue;
        GLuint64 nanoseconds = 0;
        glGetQueryObjectui64v(queries[s][i], GL_QUERY_RESULT, &nanoseconds);
        totals[i] += nanoseconds;
        used[s][i] = false;
    }
    pending[s] = false;
    ++framesCollected;
}

double GpuStepTimer::meanMilliseconds(int step) const {
    if (framesCollected == 0 || step < 0 || step >= steps)
        return 0.0;
    return static_cast<double>(totals[static_cast<std::size_t>(step)]) / 1.0e6 /
           static_cast<double>(framesCollected);
}

} // namespace vorn::rendering
