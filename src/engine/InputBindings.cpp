#include "engine/InputBindings.hpp"

#include "engine/KeyNames.hpp"

#include <SFML/Window/Joystick.hpp>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vorn::engine {

namespace {

const char* const actionNames[] = {"left", "right", "up",     "down",
                                   "jump", "punch", "camera", "menu"};

} // namespace

InputBindings::InputBindings() {
    using K = sf::Keyboard;
    using J = sf::Joystick;
    // Pads: A/Cross (0) jumps, X/Square (2) punches, Y/Triangle (3) looks around, Start (7)
    // opens the menu; the left stick and the d-pad move.
    binding(Action::Left) = {{K::Left, K::A}, {}, {{J::X, false}, {J::PovX, false}}};
    binding(Action::Right) = {{K::Right, K::D}, {}, {{J::X, true}, {J::PovX, true}}};
    binding(Action::Up) = {{K::Up, K::W}, {}, {{J::Y, false}, {J::PovY, true}}};
    binding(Action::Down) = {{K::Down, K::S}, {}, {{J::Y, true}, {J::PovY, false}}};
    binding(Action::Jump) = {{K::Z, K::J, K::Space}, {0}, {}};
    binding(Action::Punch) = {{K::X, K::K}, {2}, {}};
    binding(Action::Camera) = {{K::C}, {3}, {}};
    binding(Action::Menu) = {{K::Escape}, {7}, {}};
}

const InputBindings::Binding& InputBindings::binding(Action action) const {
    return bindings[static_cast<size_t>(action)];
}

InputBindings::Binding& InputBindings::binding(Action action) {
    return bindings[static_cast<size_t>(action)];
}

std::optional<Action> InputBindings::actionFromName(const std::string& name) {
    for (size_t i = 0; i < static_cast<size_t>(Action::Count); ++i)
        if (name == actionNames[i])
            return static_cast<Action>(i);
    return std::nullopt;
}

int InputBindings::readKeys(std::istream& in, const std::string& fileName, std::ostream& report) {
    std::string line;
    int lineNumber = 0;
    int applied = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        const size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        const auto bad = [&](const std::string& reason) {
            report << "mossfang: " << fileName << " line " << lineNumber << ": " << reason
                   << "; line ignored\n";
        };
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            bad("expected 'action = key'");
            continue;
        }
        std::istringstream left(line.substr(0, equals));
        std::istringstream right(line.substr(equals + 1));
        std::string name, extra;
        if (!(left >> name) || (left >> extra)) {
            bad("expected one action name before '='");
            continue;
        }
        const std::optional<Action> action = actionFromName(name);
        if (!action) {
            bad("unknown action '" + name + "'");
            continue;
        }
        std::vector<sf::Keyboard::Key> keys;
        std::string keyText;
        bool ok = true;
        while (right >> keyText) {
            const auto key = keyFromName(keyText);
            if (!key) {
                bad("unknown key '" + keyText + "'");
                ok = false;
                break;
            }
            keys.push_back(*key);
        }
        if (!ok)
            continue;
        if (keys.empty()) {
            bad("no key after '='");
            continue;
        }
        binding(*action).keys = keys;
        ++applied;
    }
    return applied;
}

int InputBindings::loadKeys(const std::string& path, std::ostream& report) {
    if (path.empty())
        return 0;
    std::ifstream in(path);
    if (!in)
        return 0;
    return readKeys(in, path, report);
}

std::string InputBindings::keyFilePath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/')
        return std::string(config) + "/mossfang/keys.txt";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return std::string(home) + "/.config/mossfang/keys.txt";
    return "";
}

} // namespace vorn::engine
