#include "rendering/QualityGovernor.hpp"

#include <algorithm>
#include <cmath>

namespace vorn::rendering {

namespace {

size_t index(QualityLevel level) {
    return static_cast<size_t>(level);
}

} // namespace

QualityGovernor::QualityGovernor(QualityLevel level, float scale)
    : QualityGovernor(level, scale, Settings{}) {}

QualityGovernor::QualityGovernor(QualityLevel level, float scale, const Settings& settings)
    : tuning(settings), current(level),
      renderScale(std::clamp(scale, settings.minScale, settings.maxScale)) {
    retryWait.fill(tuning.retryAfter);
}

bool QualityGovernor::atFloor() const {
    return renderScale <= tuning.minScale + 1e-4f;
}

bool QualityGovernor::atTop() const {
    return renderScale >= tuning.maxScale - 1e-4f;
}

void QualityGovernor::changed(double now) {
    lastChange = now;
    samples.clear();
    // Steps are added and taken in float: snap to the step grid so repeated steps land exactly on
    // the floor and the top.
    renderScale = std::round(renderScale / tuning.step) * tuning.step;
    renderScale = std::clamp(renderScale, tuning.minScale, tuning.maxScale);
    floorSince = atFloor() ? now : -1.0;
    topSince = atTop() ? now : -1.0;
}

bool QualityGovernor::frame(double now, double work) {
    if (!started) {
        // The clock starts with the first frame: the floor and top timers count from here, and
        // the first decision waits for a whole window of frames (but not for minInterval).
        started = true;
        changed(now);
        lastChange = -1e9;
    }
    samples.push_back({now, work});
    while (!samples.empty() && samples.front().time < now - tuning.window)
        samples.pop_front();
    if (now - lastChange < tuning.minInterval)
        return false;
    // Only a full window of frames, all measured since the last change, decides anything.
    if (samples.size() < 4 || samples.front().time > now - tuning.window * 0.9)
        return false;

    size_t slow = 0;
    size_t fast = 0;
    for (const Sample& sample : samples) {
        slow += sample.work > tuning.slowAbove ? 1 : 0;
        fast += sample.work < tuning.roomBelow ? 1 : 0;
    }
    const double needed = tuning.share * static_cast<double>(samples.size());
    const QualityLevel lightest = qualityLevels().back();
    const QualityLevel heaviest = qualityLevels().front();

    if (static_cast<double>(slow) >= needed) {
        if (!atFloor()) {
            renderScale -= tuning.step;
            changed(now);
            return true;
        }
        if (current != lightest && floorSince >= 0.0 && now - floorSince >= tuning.floorHold) {
            // Leaving this level: it is tried again only after a wait that grows each time.
            retryAt[index(current)] = now + retryWait[index(current)];
            retryWait[index(current)] *= 2.0;
            current = static_cast<QualityLevel>(index(current) + 1);
            changed(now);
            return true;
        }
        return false;
    }
    if (static_cast<double>(fast) >= needed) {
        if (!atTop()) {
            renderScale += tuning.step;
            changed(now);
            return true;
        }
        if (current != heaviest && topSince >= 0.0 && now - topSince >= tuning.topHold) {
            const QualityLevel heavier = static_cast<QualityLevel>(index(current) - 1);
            if (now < retryAt[index(heavier)])
                return false;
            // The heavier level starts at its cheapest and climbs from there while there is room.
            current = heavier;
            renderScale = tuning.minScale;
            changed(now);
            return true;
        }
    }
    return false;
}

} // namespace vorn::rendering
