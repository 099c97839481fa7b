#pragma once

#include "rendering/QualityLevel.hpp"

#include <array>
#include <deque>

namespace vorn::rendering {

// Keeps the play areas near their target frame rate by trading picture for time, from frame times
// alone (no OpenGL, so it can be fed synthetic ones). It moves the render scale (the share of the
// window's width and height the 3D scene is drawn at) between a floor and 1 in steps, and moves to
// a lighter quality level only when the scale has sat at its floor, still too slow, for several
// seconds; with room to spare at full scale for several seconds it climbs back a level.
//
// Hysteresis: a frame is slow when its work took longer than `slowAbove`, fast when it took less
// than `roomBelow`, well apart; the governor acts only when a clear majority (`share`) of the
// frames of the last `window` seconds agree, all measured since its last change, and never
// changes anything twice within `minInterval`. Frames that swing around one threshold therefore
// change nothing, and the picture never pumps. A level it had to leave is tried again only after
// `retryAfter` seconds, twice that after the next failure, and so on.
class QualityGovernor {
public:
    struct Settings {
        double slowAbove = 0.0175; // a little over 1/60 s: the frame missed the target
        double roomBelow = 0.0115; // the frame had about a third of its time to spare
        double window = 0.5;
        double share = 0.75;
        double minInterval = 1.0;
        double floorHold = 4.0; // seconds at the floor scale, still slow, before a lighter level
        double topHold = 4.0;   // seconds at full scale with room before a heavier level
        double retryAfter = 30.0;
        float step = 0.1f;
        float minScale = 0.5f;
        float maxScale = 1.0f;
    };

    QualityGovernor(QualityLevel level, float scale);
    QualityGovernor(QualityLevel level, float scale, const Settings& settings);

    // One frame ended at `now` (seconds from any start, never decreasing) after `work` seconds of
    // work (without any pacing sleep). True when the level or the scale changed.
    bool frame(double now, double work);

    QualityLevel level() const { return current; }
    float scale() const { return renderScale; }
    const Settings& settings() const { return tuning; }

private:
    struct Sample {
        double time;
        double work;
    };
    // Applies a change made at `now` and starts a fresh window.
    void changed(double now);
    bool atFloor() const;
    bool atTop() const;

    Settings tuning;
    QualityLevel current;
    float renderScale;
    std::deque<Sample> samples;
    double lastChange = -1e9;
    double floorSince = -1.0; // when the scale reached its floor (negative: not there)
    double topSince = -1.0;   // when the scale reached full scale (negative: not there)
    // Per level: when it may be tried again after it was left for being too slow, and the wait
    // after the next time.
    std::array<double, 4> retryAt{};
    std::array<double, 4> retryWait{};
    bool started = false;
};

} // namespace vorn::rendering
