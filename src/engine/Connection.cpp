#include "engine/Connection.hpp"
#include "engine/ScopedConnection.hpp"

namespace vorn::engine {

void Connection::disconnect() {
    if (const std::shared_ptr<Link> shared = link.lock())
        shared->connected = false;
    link.reset();
}

bool Connection::connected() const {
    const std::shared_ptr<Link> shared = link.lock();
    return shared && shared->connected;
}

ScopedConnection::ScopedConnection(ScopedConnection&& other) noexcept
    : connection(std::move(other.connection)) {
    other.connection = Connection();
}

ScopedConnection& ScopedConnection::operator=(ScopedConnection&& other) noexcept {
    if (this != &other) {
        connection.disconnect();
        connection = std::move(other.connection);
        other.connection = Connection();
    }
    return *this;
}

} // namespace vorn::engine
