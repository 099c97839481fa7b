#pragma once

#include "engine/InputBindings.hpp"
#include "engine/InputScript.hpp"
#include "engine/KeyboardSnapshot.hpp"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Joystick.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <vector>

namespace vorn::engine {

// The one place the game asks which keys, gamepad buttons and sticks are down. By default it reads
// the real keyboard (once a frame, as one snapshot) and every joystick SFML sees; with a script it
// replays the script instead and the real devices are ignored. The Application moves it to each new
// frame before polling events, so a scripted press is seen by the key signals and by polling on the
// same frame.
//
// Gamepad presses also reach the world as key events: a button or stick direction that becomes
// active sends a key-pressed event of the first key bound to its action (and a release when it
// lets go), so scenes and menus that listen to keys work with a pad unchanged.
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
    // Whether a gamepad button is down on any pad (or in the script).
    bool isJoystickButtonPressed(unsigned button) const;
    // A stick position from -100 to 100 (the first pad that has the axis, or the script).
    float joystickAxis(sf::Joystick::Axis axis) const;
    // Whether any key, button or stick direction bound to `action` is down.
    bool isActionDown(Action action) const;

    // The bindings used by isActionDown (the key file is read into them at start-up).
    InputBindings& bindings() { return actionBindings; }
    const InputBindings& bindings() const { return actionBindings; }

    // Moves to `frame` and appends the events the script produces on it: window events (focus,
    // resize), releases of keys no longer held, presses of keys newly held, then each click as a
    // press and release, then the key events of gamepad actions that changed.
    void beginFrame(uint64_t frame, std::vector<sf::Event>& events);
    // The frame last begun.
    uint64_t currentFrame() const { return frame; }

private:
    using KeySet = std::bitset<sf::Keyboard::KeyCount>;
    using ActionSet = std::bitset<static_cast<size_t>(Action::Count)>;
    KeySet heldOn(uint64_t frame) const;
    ActionSet padActions() const;
    static sf::Event keyEvent(sf::Event::EventType type, sf::Keyboard::Key key, const KeySet& held);

    std::shared_ptr<const InputScript> script;
    uint64_t frame = 0;
    KeySet held;
    ActionSet padHeld;
    InputBindings actionBindings;
    // The real keyboard, read once at the start of each unscripted frame.
    KeyboardSnapshot keyboard;
};

} // namespace vorn::engine
