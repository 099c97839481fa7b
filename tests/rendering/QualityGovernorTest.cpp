// The quality governor fed synthetic frame times: the render scale steps down under slow frames
// and settles, comes back with room to spare, ignores frames swinging around its thresholds,
// never changes twice within a second, and leaves a level only after the floor scale has held.
#include "rendering/QualityGovernor.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

using vorn::rendering::QualityGovernor;
using vorn::rendering::QualityLevel;

namespace {

struct Change {
    double time;
    QualityLevel level;
    float scale;
};

// Runs `seconds` of frames whose work frame `i` takes `work(i)`; frames are paced to 1/60 s at
// the shortest, as the main loop paces them. Returns every change with its time.
std::vector<Change> drive(QualityGovernor& governor, double seconds,
                          const std::function<double(int)>& work) {
    std::vector<Change> changes;
    double now = 0.0;
    for (int i = 0; now < seconds; ++i) {
        const double w = work(i);
        now += std::max(w, 1.0 / 60.0);
        if (governor.frame(now, w))
            changes.push_back({now, governor.level(), governor.scale()});
    }
    return changes;
}

} // namespace

TEST(QualityGovernor, MovesTheScaleInStepsSettlesAndNeverPumps) {
    struct Case {
        const char* name;
        QualityLevel level;
        float scale;
        std::function<double(int)> work;
        QualityLevel endLevel;
        float endScale;
        size_t changes; // how many changes in the run
    };
    const auto steady = [](double w) { return [w](int) { return w; }; };
    const auto alternating = [](double a, double b) {
        return [a, b](int i) { return i % 2 == 0 ? a : b; };
    };
    const Case cases[] = {
        // Slow: five steps to the floor, then a level at a time down to the lightest.
        {"steady 25 ms", QualityLevel::full, 1.0f, steady(0.025), QualityLevel::minimal, 0.5f, 8},
        // Room to spare: back up to full scale, and no further at the heaviest level.
        {"steady 10 ms", QualityLevel::full, 0.5f, steady(0.010), QualityLevel::full, 1.0f, 5},
        // From the lightest level: full scale, then each heavier level from its floor upwards.
        {"steady 10 ms, lightest", QualityLevel::minimal, 0.5f, steady(0.010), QualityLevel::full,
         1.0f, 5 + 3 * 6},
        // Frames swinging around either threshold leave everything as it is.
        {"around the slow threshold", QualityLevel::low, 0.7f, alternating(0.015, 0.020),
         QualityLevel::low, 0.7f, 0},
        {"around the room threshold", QualityLevel::low, 0.7f, alternating(0.010, 0.013),
         QualityLevel::low, 0.7f, 0},
        {"fast and slow in turn", QualityLevel::low, 0.7f, alternating(0.008, 0.030),
         QualityLevel::low, 0.7f, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QualityGovernor governor(c.level, c.scale);
        const std::vector<Change> changes = drive(governor, 90.0, c.work);
        EXPECT_EQ(changes.size(), c.changes);
        EXPECT_EQ(governor.level(), c.endLevel);
        EXPECT_FLOAT_EQ(governor.scale(), c.endScale);
        for (size_t i = 0; i < changes.size(); ++i) {
            // Never two changes within a second, and the scale moves one step at a time.
            if (i > 0) {
                EXPECT_GE(changes[i].time - changes[i - 1].time, 1.0) << "change " << i;
            }
            const float previous = i > 0 ? changes[i - 1].scale : c.scale;
            if (changes[i].level == (i > 0 ? changes[i - 1].level : c.level)) {
                EXPECT_NEAR(std::abs(changes[i].scale - previous), 0.1f, 1e-5f) << "change " << i;
            }
        }
        // Settled: nothing changes in the last half minute.
        if (!changes.empty()) {
            EXPECT_LT(changes.back().time, 60.0);
        }
    }
}

TEST(QualityGovernor, LeavesALevelOnlyAfterTheFloorScaleHasHeld) {
    QualityGovernor governor(QualityLevel::full, 0.7f);
    const std::vector<Change> changes = drive(governor, 20.0, [](int) { return 0.030; });
    ASSERT_GE(changes.size(), 3u);
    // Two steps to the floor, then the level drops after the hold, not at the next chance.
    EXPECT_EQ(changes[1].level, QualityLevel::full);
    EXPECT_FLOAT_EQ(changes[1].scale, 0.5f);
    EXPECT_EQ(changes[2].level, QualityLevel::medium);
    EXPECT_GE(changes[2].time - changes[1].time, governor.settings().floorHold);
    EXPECT_LT(changes[2].time - changes[1].time, governor.settings().floorHold + 1.0);
}

TEST(QualityGovernor, ALevelLeftForBeingSlowIsRetriedOnlyAfterAWait) {
    // Fast at the lighter level, too slow at the heavier: it must not bounce between them.
    QualityGovernor governor(QualityLevel::low, 0.5f);
    const auto work = [&](int) { return governor.level() == QualityLevel::low ? 0.030 : 0.008; };
    const std::vector<Change> changes = drive(governor, 120.0, work);
    std::vector<double> climbs;
    for (size_t i = 1; i < changes.size(); ++i)
        if (changes[i].level == QualityLevel::low && changes[i - 1].level == QualityLevel::minimal)
            climbs.push_back(changes[i].time);
    // Tried again 30 s after it was left, then 60 s after that: twice in two minutes, not every
    // few seconds.
    ASSERT_EQ(climbs.size(), 2u);
    EXPECT_GT(climbs[1] - climbs[0], 60.0);
}
