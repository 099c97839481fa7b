#pragma once

#include "engine/Connection.hpp"

namespace vorn::engine {

// A connection that disconnects its slot when it is destroyed or assigned over, for members
// whose slot captures `this`. Movable, not copyable.
class ScopedConnection {
public:
    ScopedConnection() = default;
    ScopedConnection(Connection connection) : connection(std::move(connection)) {}
    ScopedConnection(const ScopedConnection&) = delete;
    ScopedConnection& operator=(const ScopedConnection&) = delete;
    ScopedConnection(ScopedConnection&& other) noexcept;
    ScopedConnection& operator=(ScopedConnection&& other) noexcept;
    ~ScopedConnection() { connection.disconnect(); }

    // Disconnects now.
    void disconnect() { connection.disconnect(); }
    // Whether the slot is still connected.
    bool connected() const { return connection.connected(); }

private:
    Connection connection;
};

} // namespace vorn::engine
