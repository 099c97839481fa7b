// The engine's signal: call order, changes made by slots during an emission, and connection
// lifetimes.
#include "engine/Signal.hpp"
#include "engine/ScopedConnection.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using vorn::engine::Connection;
using vorn::engine::ScopedConnection;
using vorn::engine::Signal;

TEST(Signal, SlotsRunInConnectionOrderAndChangesDuringAnEmissionApplyAsDocumented) {
    Signal<void(int)> signal;
    std::vector<std::string> calls;
    Connection third;
    Connection late;
    signal.connect([&](int v) {
        calls.push_back("first " + std::to_string(v));
        third.disconnect(); // not yet called in this emission: skipped
        if (!late.connected())
            late = signal.connect([&](int w) { calls.push_back("late " + std::to_string(w)); });
    });
    Connection second;
    second = signal.connect([&](int v) {
        calls.push_back("second " + std::to_string(v));
        second.disconnect(); // disconnecting itself while running is safe
    });
    third = signal.connect([&](int v) { calls.push_back("third " + std::to_string(v)); });

    signal(1);
    EXPECT_EQ(calls, (std::vector<std::string>{"first 1", "second 1"}));
    EXPECT_EQ(signal.size(), 2u); // first and late
    calls.clear();
    signal(2);
    EXPECT_EQ(calls, (std::vector<std::string>{"first 2", "late 2"}));
}

TEST(Signal, ConnectionsOutliveTheirSignalAndScopedOnesDisconnect) {
    int calls = 0;
    Connection plain;
    {
        Signal<void()> signal;
        {
            const ScopedConnection scoped = signal.connect([&] { calls += 100; });
            plain = signal.connect([&] { ++calls; });
            ScopedConnection moved = signal.connect([&] { calls += 10; });
            ScopedConnection target = std::move(moved); // the move keeps exactly one owner
            signal();
            EXPECT_EQ(calls, 111);
            EXPECT_TRUE(target.connected());
            EXPECT_FALSE(moved.connected());
        }
        signal();
        EXPECT_EQ(calls, 112);
        EXPECT_TRUE(plain.connected());
    }
    EXPECT_FALSE(plain.connected());
    plain.disconnect(); // harmless once the signal is gone
}

TEST(Signal, ASlotThatThrowsLeavesTheSignalUsable) {
    Signal<void()> signal;
    int calls = 0;
    bool fail = true;
    Connection failing = signal.connect([&] {
        if (fail)
            throw std::runtime_error("slot failed");
    });
    signal.connect([&] { ++calls; });
    EXPECT_THROW(signal(), std::runtime_error);
    failing.disconnect();
    fail = false;
    signal();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(signal.size(), 1u);
}
