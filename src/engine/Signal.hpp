#pragma once

#include "engine/Connection.hpp"

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace vorn::engine {

template <class Signature> class Signal;

// A list of callbacks called in the order they were connected, each time the signal is emitted.
// The world's component and input signals are these.
//
// Emission is safe against changes made by the slots being called: a slot disconnected during an
// emission (itself or another) is not called once disconnected, and a slot connected during an
// emission is first called by the next one. Disconnected slots are forgotten once no emission is
// in progress. Single-threaded, like the world.
template <class... Args> class Signal<void(Args...)> {
public:
    using Slot = std::function<void(Args...)>;

    Signal() = default;
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;

    // Connects a slot behind the ones already connected.
    Connection connect(Slot slot) {
        if (depth == 0)
            forgetDisconnected();
        auto entry = std::make_shared<Entry>();
        entry->function = std::move(slot);
        entries.push_back(entry);
        return Connection(std::weak_ptr<Connection::Link>(entry));
    }

    // Calls every connected slot with the arguments.
    void operator()(Args... args) {
        const EmissionGuard guard(*this);
        const size_t count = entries.size();
        for (size_t i = 0; i < count; ++i) {
            // The entry lives on the heap: a slot that connects more (growing the vector) does
            // not move it, and one that disconnects only clears its flag.
            Entry& entry = *entries[i];
            if (entry.connected)
                entry.function(args...);
        }
    }

    // Number of connected slots.
    size_t size() const {
        return static_cast<size_t>(std::count_if(entries.begin(), entries.end(),
                                                 [](const auto& e) { return e->connected; }));
    }
    bool empty() const { return size() == 0; }

private:
    struct Entry : Connection::Link {
        Slot function;
    };

    // Counts nested emissions and tidies up when the outermost one ends, even by an exception.
    struct EmissionGuard {
        explicit EmissionGuard(Signal& signal) : signal(signal) { ++signal.depth; }
        ~EmissionGuard() {
            if (--signal.depth == 0)
                signal.forgetDisconnected();
        }
        Signal& signal;
    };

    void forgetDisconnected() {
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [](const auto& e) { return !e->connected; }),
                      entries.end());
    }

    std::vector<std::shared_ptr<Entry>> entries;
    int depth = 0;
};

} // namespace vorn::engine
