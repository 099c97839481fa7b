#pragma once

#include <memory>

namespace vorn::engine {

// The link between a Signal and one slot connected to it. Copies refer to the same link;
// disconnecting through any of them stops the slot, and doing so after the signal is gone is
// harmless (the link is shared with the signal and only weakly held here).
class Connection {
public:
    // What a signal keeps for each slot; the flag is all a connection touches.
    struct Link {
        bool connected = true;
    };

    Connection() = default;
    explicit Connection(std::weak_ptr<Link> link) : link(std::move(link)) {}

    // Stops the slot from being called again; nothing if it already is.
    void disconnect();
    // Whether the slot is connected to a signal that still exists.
    bool connected() const;

private:
    std::weak_ptr<Link> link;
};

} // namespace vorn::engine
