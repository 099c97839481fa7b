#pragma once

#include <SFML/Window/Keyboard.hpp>

#include <bitset>
#include <memory>

namespace vorn::engine {

// The real keyboard, read whole once a frame. Asking the window system about one key at a time
// costs a round trip to the display server per key, and the ninja alone asks about a dozen keys a
// frame; on a busy machine those waits were most of the update pass. One read of the server's key
// map answers every key of the frame from memory. Where no display connection can be opened, each
// question goes to SFML as before.
class KeyboardSnapshot {
public:
    KeyboardSnapshot();
    ~KeyboardSnapshot();
    KeyboardSnapshot(const KeyboardSnapshot&) = delete;
    KeyboardSnapshot& operator=(const KeyboardSnapshot&) = delete;

    // Reads the state of every key now.
    void refresh();
    // Whether a snapshot has been taken (refresh() was called at least once).
    bool taken() const { return hasSnapshot; }
    // Whether `key` was down at the last refresh (asks SFML directly when no snapshot exists).
    bool isDown(sf::Keyboard::Key key) const;

private:
    struct Connection;
    std::unique_ptr<Connection> connection;
    std::bitset<sf::Keyboard::KeyCount> down;
    bool hasSnapshot = false;
};

} // namespace vorn::engine
