#pragma once

#include <SFML/Window/Keyboard.hpp>

#include <array>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vorn::engine {

// What the player can do, whatever device asks for it.
enum class Action { Left, Right, Up, Down, Jump, Punch, Camera, Menu, Count };

// A stick direction: an axis pushed past half-way towards one end.
struct AxisDirection {
    int axis;      // sf::Joystick::Axis
    bool positive; // towards +100 (right, down) or -100 (left, up)
};

// Which keys, gamepad buttons and stick directions trigger each action. The defaults are the
// game's own keys; a key file (`jump = Space W`, one action a line, '#' starts a comment) replaces
// the keys of the actions it names and leaves the gamepad alone.
class InputBindings {
public:
    struct Binding {
        std::vector<sf::Keyboard::Key> keys;
        std::vector<unsigned> buttons;
        std::vector<AxisDirection> axes;
    };

    // The game's default bindings.
    InputBindings();

    const Binding& binding(Action action) const;
    Binding& binding(Action action);

    // Reads key lines from `in`; every bad line is reported on `report` with its number and
    // ignored. Returns the number of lines applied.
    int readKeys(std::istream& in, const std::string& fileName, std::ostream& report);
    // Reads the key file at `path` if it exists (a missing file is not an error).
    int loadKeys(const std::string& path, std::ostream& report);

    // The key file's path: $XDG_CONFIG_HOME/mossfang/keys.txt, or ~/.config/mossfang/keys.txt;
    // empty when neither variable is set.
    static std::string keyFilePath();

    // The action called `name` in a key file ("left", "jump", ...).
    static std::optional<Action> actionFromName(const std::string& name);

private:
    std::array<Binding, static_cast<size_t>(Action::Count)> bindings;
};

} // namespace vorn::engine
