#include "engine/InputSource.hpp"

#include <cmath>

namespace vorn::engine {

namespace {
// How far a stick must be pushed (of 100) before it counts as a direction.
constexpr float stickThreshold = 50.0f;
} // namespace

InputSource& InputSource::instance() {
    static InputSource source;
    return source;
}

void InputSource::useScript(std::shared_ptr<const InputScript> newScript) {
    script = std::move(newScript);
    frame = 0;
    held.reset();
    padHeld.reset();
}

bool InputSource::isKeyPressed(sf::Keyboard::Key key) const {
    if (key < 0 || key >= sf::Keyboard::KeyCount)
        return false;
    if (script)
        return held.test(static_cast<size_t>(key));
    return keyboard.isDown(key);
}

bool InputSource::isJoystickButtonPressed(unsigned button) const {
    if (button >= sf::Joystick::ButtonCount)
        return false;
    if (script)
        return script->isButtonHeld(frame, button);
    for (unsigned pad = 0; pad < sf::Joystick::Count; ++pad)
        if (sf::Joystick::isConnected(pad) && sf::Joystick::isButtonPressed(pad, button))
            return true;
    return false;
}

float InputSource::joystickAxis(sf::Joystick::Axis axis) const {
    if (script)
        return script->axisAt(frame, axis);
    for (unsigned pad = 0; pad < sf::Joystick::Count; ++pad)
        if (sf::Joystick::isConnected(pad) && sf::Joystick::hasAxis(pad, axis))
            return sf::Joystick::getAxisPosition(pad, axis);
    return 0.0f;
}

bool InputSource::isActionDown(Action action) const {
    const InputBindings::Binding& binding = actionBindings.binding(action);
    for (const sf::Keyboard::Key key : binding.keys)
        if (isKeyPressed(key))
            return true;
    for (const unsigned button : binding.buttons)
        if (isJoystickButtonPressed(button))
            return true;
    for (const AxisDirection& direction : binding.axes) {
        const float position = joystickAxis(static_cast<sf::Joystick::Axis>(direction.axis));
        if (direction.positive ? position > stickThreshold : position < -stickThreshold)
            return true;
    }
    return false;
}

InputSource::ActionSet InputSource::padActions() const {
    ActionSet result;
    for (size_t i = 0; i < static_cast<size_t>(Action::Count); ++i) {
        const InputBindings::Binding& binding = actionBindings.binding(static_cast<Action>(i));
        bool down = false;
        for (const unsigned button : binding.buttons)
            down = down || isJoystickButtonPressed(button);
        for (const AxisDirection& direction : binding.axes) {
            const float position = joystickAxis(static_cast<sf::Joystick::Axis>(direction.axis));
            down = down ||
                   (direction.positive ? position > stickThreshold : position < -stickThreshold);
        }
        result.set(i, down);
    }
    return result;
}

InputSource::KeySet InputSource::heldOn(uint64_t f) const {
    KeySet result;
    for (int k = 0; k < sf::Keyboard::KeyCount; ++k)
        if (script->isHeld(f, static_cast<sf::Keyboard::Key>(k)))
            result.set(static_cast<size_t>(k));
    return result;
}

sf::Event InputSource::keyEvent(sf::Event::EventType type, sf::Keyboard::Key key,
                                const KeySet& held) {
    sf::Event event{};
    event.type = type;
    event.key.code = key;
    event.key.alt = held.test(sf::Keyboard::LAlt) || held.test(sf::Keyboard::RAlt);
    event.key.control = held.test(sf::Keyboard::LControl) || held.test(sf::Keyboard::RControl);
    event.key.shift = held.test(sf::Keyboard::LShift) || held.test(sf::Keyboard::RShift);
    event.key.system = held.test(sf::Keyboard::LSystem) || held.test(sf::Keyboard::RSystem);
    return event;
}

void InputSource::beginFrame(uint64_t newFrame, std::vector<sf::Event>& events) {
    frame = newFrame;
    if (!script)
        keyboard.refresh();
    if (script) {
        for (const sf::Event& event : script->windowEventsAt(frame))
            events.push_back(event);
        const KeySet now = heldOn(frame);
        for (int k = 0; k < sf::Keyboard::KeyCount; ++k)
            if (held.test(k) && !now.test(k))
                events.push_back(
                    keyEvent(sf::Event::KeyReleased, static_cast<sf::Keyboard::Key>(k), now));
        for (int k = 0; k < sf::Keyboard::KeyCount; ++k)
            if (!held.test(k) && now.test(k))
                events.push_back(
                    keyEvent(sf::Event::KeyPressed, static_cast<sf::Keyboard::Key>(k), now));
        held = now;
        for (const InputScript::Click& click : script->clicksAt(frame)) {
            for (const auto type :
                 {sf::Event::MouseButtonPressed, sf::Event::MouseButtonReleased}) {
                sf::Event event{};
                event.type = type;
                event.mouseButton.button = click.button;
                event.mouseButton.x = click.x;
                event.mouseButton.y = click.y;
                events.push_back(event);
            }
        }
    }
    // Gamepad actions that changed since the last frame become key events of their first key.
    const ActionSet pads = padActions();
    for (size_t i = 0; i < pads.size(); ++i) {
        if (pads.test(i) == padHeld.test(i))
            continue;
        const std::vector<sf::Keyboard::Key>& keys =
            actionBindings.binding(static_cast<Action>(i)).keys;
        if (keys.empty())
            continue;
        events.push_back(keyEvent(pads.test(i) ? sf::Event::KeyPressed : sf::Event::KeyReleased,
                                  keys.front(), KeySet()));
    }
    padHeld = pads;
}

} // namespace vorn::engine
