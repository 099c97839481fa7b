#pragma once

#include "engine/InputScript.hpp"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <bitset>
#include <cstdint>
#include <memory>
#include <vector>

namespace vorn::engine {

// The one place the game asks which keys are down. By default it reads the real keyboard; with a
// script it replays the script instead and the real devices are ignored. The Application moves it
// to each new frame before polling events, so a scripted press is seen by the key signals and by
// keyboard polling on the same frame.
class InputSource {
public:
    // The process-wide input source.
    static InputSource& instance();

    // Replays `script` from now on (null returns to the real devices) and rewinds to frame 0.
    void useScript(std::shared_ptr<const InputScript> script);
    // Whether a script replaces the real devices.
    bool scripted() const { return script != nullptr; }

    // Whether a key is down on the current frame.
    bool isKeyPressed(sf::Keyboard::Key key) const;

    // Moves to `frame` and appends the key and mouse events the script produces on it: releases
    // of keys no longer held, presses of keys newly held, then each click as a press and release.
    // Without a script it only records the frame.
    void beginFrame(uint64_t frame, std::vector<sf::Event>& events);
    // The frame last begun.
    uint64_t currentFrame() const { return frame; }

private:
    using KeySet = std::bitset<sf::Keyboard::KeyCount>;
    KeySet heldOn(uint64_t frame) const;
    static sf::Event keyEvent(sf::Event::EventType type, sf::Keyboard::Key key, const KeySet& held);

    std::shared_ptr<const InputScript> script;
    uint64_t frame = 0;
    KeySet held;
};

} // namespace vorn::engine
