#pragma once

#include <SFML/Window/Keyboard.hpp>

#include <optional>
#include <string>

namespace vorn::engine {

// The key whose sf::Keyboard enumerator is called `name` ("A", "Num1", "Space", "LControl"...).
std::optional<sf::Keyboard::Key> keyFromName(const std::string& name);

// The enumerator name of a key ("Unknown" for keys without one).
std::string keyName(sf::Keyboard::Key key);

} // namespace vorn::engine
