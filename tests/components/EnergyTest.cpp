// Energy: spending, draining, the regeneration delay and the floor at 0.
#include "components/Energy.hpp"

#include <gtest/gtest.h>

using vorn::components::Energy;

TEST(Energy, StartsWithTheNinjasValues) {
    const Energy energy;
    EXPECT_TRUE(energy.hasName("energy"));
    EXPECT_TRUE(energy.hasName("behavior"));
    EXPECT_EQ(energy.updatePriority, 0.0f);
    EXPECT_EQ(energy.regenRate, 0.1f);
    EXPECT_EQ(energy.capacity, 100.0f);
    EXPECT_EQ(energy.maximum, 100.0f);
    EXPECT_EQ(energy.current, 100.0f);
    EXPECT_EQ(energy.useCost, 0.05f);
    EXPECT_EQ(energy.drainRate, 0.05f);
    EXPECT_EQ(energy.timeSinceUse, 0.0f);
    EXPECT_EQ(energy.regenDelay, 4.0f);
    const Energy custom(0.2f, 50.0f, 60.0f, 30.0f, 0.1f, 0.3f, 1.0f, 2.0f);
    EXPECT_EQ(custom.capacity, 50.0f);
    EXPECT_EQ(custom.current, 30.0f);
    EXPECT_EQ(custom.drainRate, 0.3f);
    EXPECT_EQ(custom.regenDelay, 2.0f);
}

TEST(Energy, SpendCostsUseCostTimesCapacityPerUnit) {
    Energy energy;
    energy.timeSinceUse = 3.0f;
    EXPECT_TRUE(energy.spend(1.0f));
    EXPECT_FLOAT_EQ(energy.current, 95.0f);
    EXPECT_EQ(energy.timeSinceUse, 0.0f);
    EXPECT_TRUE(energy.spend(2.0f)); // a double jump's worth
    EXPECT_FLOAT_EQ(energy.current, 85.0f);
    Energy other(0.1f, 200.0f, 100.0f, 100.0f, 0.05f);
    EXPECT_TRUE(other.spend(1.0f));
    EXPECT_FLOAT_EQ(other.current, 90.0f); // capacity scales the cost, not the maximum
}

TEST(Energy, NothingLeftMeansSpendFailsAndCostsNothing) {
    Energy energy;
    energy.current = 0.0f;
    energy.timeSinceUse = 2.5f;
    EXPECT_FALSE(energy.spend(1.0f));
    EXPECT_EQ(energy.current, 0.0f);
    EXPECT_EQ(energy.timeSinceUse, 2.5f);
    EXPECT_FALSE(energy.drain(0.1f));
    EXPECT_EQ(energy.current, 0.0f);
    EXPECT_EQ(energy.timeSinceUse, 2.5f);
}

TEST(Energy, SpendIsFlooredAtZeroAndAnyPositiveAmountAllowsOneMore) {
    Energy energy;
    energy.current = 3.0f;
    EXPECT_TRUE(energy.spend(1.0f));
    EXPECT_EQ(energy.current, 0.0f); // not -2
    energy.current = 0.5f;
    EXPECT_TRUE(energy.spend(1.0f)); // a jump still succeeds
    EXPECT_EQ(energy.current, 0.0f);
    energy.current = 1e-6f;
    EXPECT_TRUE(energy.drain(10.0f));
    EXPECT_EQ(energy.current, 0.0f);
    EXPECT_FALSE(energy.spend(1.0f));
}

TEST(Energy, DrainCostsDrainRateTimesCapacityPerSecond) {
    Energy energy;
    energy.timeSinceUse = 1.0f;
    EXPECT_TRUE(energy.drain(0.5f));
    EXPECT_FLOAT_EQ(energy.current, 97.5f);
    EXPECT_EQ(energy.timeSinceUse, 0.0f);
    for (int i = 0; i < 10; ++i)
        energy.drain(0.1f);
    EXPECT_NEAR(energy.current, 92.5f, 1e-4f); // 5 per second
}

TEST(Energy, RegeneratesAfterFourQuietSecondsAtTenPerSecondUpToTheMaximum) {
    Energy energy;
    ASSERT_TRUE(energy.spend(10.0f)); // 100 - 50
    const float dt = 0.1f;
    float time = 0.0f;
    // While timeSinceUse has not passed 4 s, nothing comes back but the clock runs.
    while (energy.timeSinceUse <= 4.0f) {
        energy.update(dt);
        time += dt;
        if (energy.timeSinceUse <= 4.0f) {
            ASSERT_EQ(energy.current, 50.0f) << "at " << time;
        }
        ASSERT_LT(time, 5.0f);
    }
    EXPECT_NEAR(time, 4.1f, 0.11f);
    EXPECT_EQ(energy.current, 50.0f);
    // Then 10 per second: one second brings back 10.
    for (int i = 0; i < 10; ++i)
        energy.update(dt);
    EXPECT_NEAR(energy.current, 60.0f, 1e-3f);
    // timeSinceUse stops counting while regenerating.
    const float counted = energy.timeSinceUse;
    energy.update(dt);
    EXPECT_EQ(energy.timeSinceUse, counted);
    // Never beyond the maximum, and exactly at it in the end.
    for (int i = 0; i < 100; ++i)
        energy.update(dt);
    EXPECT_EQ(energy.current, 100.0f);
}

TEST(Energy, AtTheMaximumTheClockDoesNotAdvance) {
    Energy energy;
    energy.timeSinceUse = 1.0f;
    energy.update(0.5f);
    EXPECT_EQ(energy.timeSinceUse, 1.0f);
    EXPECT_EQ(energy.current, 100.0f);
}

TEST(Energy, SpendingDuringTheDelayRestartsIt) {
    Energy energy;
    energy.spend(1.0f);
    for (int i = 0; i < 30; ++i)
        energy.update(0.1f);
    EXPECT_NEAR(energy.timeSinceUse, 3.0f, 1e-4f);
    energy.spend(1.0f);
    EXPECT_EQ(energy.timeSinceUse, 0.0f);
    for (int i = 0; i < 30; ++i)
        energy.update(0.1f);
    EXPECT_FLOAT_EQ(energy.current, 90.0f);
}

TEST(Energy, ARaisedMaximumIsRefilledAndALoweredOneClamps) {
    Energy energy;
    energy.maximum = 110.0f; // candy corn raised it; current still 100
    energy.timeSinceUse = 5.0f;
    energy.update(0.5f);
    EXPECT_FLOAT_EQ(energy.current, 105.5f);
    energy.maximum = 50.0f;
    energy.update(0.1f);
    EXPECT_EQ(energy.current, 50.0f);
}
