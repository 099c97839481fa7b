#include "engine/KeyNames.hpp"

#include <unordered_map>

namespace vorn::engine {

namespace {
#define KEY(name)                                                                                  \
    { #name, sf::Keyboard::name }
const std::unordered_map<std::string, sf::Keyboard::Key>& keyTable() {
    static const std::unordered_map<std::string, sf::Keyboard::Key> table = {
        KEY(A),         KEY(B),        KEY(C),        KEY(D),        KEY(E),        KEY(F),
        KEY(G),         KEY(H),        KEY(I),        KEY(J),        KEY(K),        KEY(L),
        KEY(M),         KEY(N),        KEY(O),        KEY(P),        KEY(Q),        KEY(R),
        KEY(S),         KEY(T),        KEY(U),        KEY(V),        KEY(W),        KEY(X),
        KEY(Y),         KEY(Z),        KEY(Num0),     KEY(Num1),     KEY(Num2),     KEY(Num3),
        KEY(Num4),      KEY(Num5),     KEY(Num6),     KEY(Num7),     KEY(Num8),     KEY(Num9),
        KEY(Escape),    KEY(LControl), KEY(LShift),   KEY(LAlt),     KEY(LSystem),  KEY(RControl),
        KEY(RShift),    KEY(RAlt),     KEY(RSystem),  KEY(Menu),     KEY(LBracket), KEY(RBracket),
        KEY(Semicolon), KEY(Comma),    KEY(Period),   KEY(Quote),    KEY(Slash),    KEY(Backslash),
        KEY(Tilde),     KEY(Equal),    KEY(Hyphen),   KEY(Space),    KEY(Enter),    KEY(Backspace),
        KEY(Tab),       KEY(PageUp),   KEY(PageDown), KEY(End),      KEY(Home),     KEY(Insert),
        KEY(Delete),    KEY(Add),      KEY(Subtract), KEY(Multiply), KEY(Divide),   KEY(Left),
        KEY(Right),     KEY(Up),       KEY(Down),     KEY(Numpad0),  KEY(Numpad1),  KEY(Numpad2),
        KEY(Numpad3),   KEY(Numpad4),  KEY(Numpad5),  KEY(Numpad6),  KEY(Numpad7),  KEY(Numpad8),
        KEY(Numpad9),   KEY(F1),       KEY(F2),       KEY(F3),       KEY(F4),       KEY(F5),
        KEY(F6),        KEY(F7),       KEY(F8),       KEY(F9),       KEY(F10),      KEY(F11),
        KEY(F12),       KEY(F13),      KEY(F14),      KEY(F15),      KEY(Pause),
    };
    return table;
}
#undef KEY
} // namespace

std::optional<sf::Keyboard::Key> keyFromName(const std::string& name) {
    const auto found = keyTable().find(name);
    if (found == keyTable().end())
        return std::nullopt;
    return found->second;
}

std::string keyName(sf::Keyboard::Key key) {
    for (const auto& entry : keyTable())
        if (entry.second == key)
            return entry.first;
    return "Unknown";
}

} // namespace vorn::engine
