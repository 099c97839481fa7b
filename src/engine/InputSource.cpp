#include "engine/InputSource.hpp"

namespace vorn::engine {

InputSource& InputSource::instance() {
    static InputSource source;
    return source;
}

void InputSource::useScript(std::shared_ptr<const InputScript> newScript) {
    script = std::move(newScript);
    frame = 0;
    held.reset();
}

bool InputSource::isKeyPressed(sf::Keyboard::Key key) const {
    if (key < 0 || key >= sf::Keyboard::KeyCount)
        return false;
    if (script)
        return held.test(static_cast<size_t>(key));
    return sf::Keyboard::isKeyPressed(key);
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
        return;
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
        for (const auto type : {sf::Event::MouseButtonPressed, sf::Event::MouseButtonReleased}) {
            sf::Event event{};
            event.type = type;
            event.mouseButton.button = click.button;
            event.mouseButton.x = click.x;
            event.mouseButton.y = click.y;
            events.push_back(event);
        }
    }
}

} // namespace vorn::engine
