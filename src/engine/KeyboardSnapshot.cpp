#include "engine/KeyboardSnapshot.hpp"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <array>

namespace vorn::engine {

namespace {

// The X key symbol of each SFML key, in the order of sf::Keyboard::Key. Letters use their lower
// case symbol: a key code is found from either case.
KeySym keySymbol(sf::Keyboard::Key key) {
    using K = sf::Keyboard;
    if (key >= K::A && key <= K::Z)
        return XK_a + (key - K::A);
    if (key >= K::Num0 && key <= K::Num9)
        return XK_0 + (key - K::Num0);
    if (key >= K::Numpad0 && key <= K::Numpad9)
        return XK_KP_0 + (key - K::Numpad0);
    if (key >= K::F1 && key <= K::F15)
        return XK_F1 + (key - K::F1);
    switch (key) {
    case K::Escape:
        return XK_Escape;
    case K::LControl:
        return XK_Control_L;
    case K::LShift:
        return XK_Shift_L;
    case K::LAlt:
        return XK_Alt_L;
    case K::LSystem:
        return XK_Super_L;
    case K::RControl:
        return XK_Control_R;
    case K::RShift:
        return XK_Shift_R;
    case K::RAlt:
        return XK_Alt_R;
    case K::RSystem:
        return XK_Super_R;
    case K::Menu:
        return XK_Menu;
    case K::LBracket:
        return XK_bracketleft;
    case K::RBracket:
        return XK_bracketright;
    case K::Semicolon:
        return XK_semicolon;
    case K::Comma:
        return XK_comma;
    case K::Period:
        return XK_period;
    case K::Quote:
        return XK_apostrophe;
    case K::Slash:
        return XK_slash;
    case K::Backslash:
        return XK_backslash;
    case K::Tilde:
        return XK_grave;
    case K::Equal:
        return XK_equal;
    case K::Hyphen:
        return XK_minus;
    case K::Space:
        return XK_space;
    case K::Enter:
        return XK_Return;
    case K::Backspace:
        return XK_BackSpace;
    case K::Tab:
        return XK_Tab;
    case K::PageUp:
        return XK_Prior;
    case K::PageDown:
        return XK_Next;
    case K::End:
        return XK_End;
    case K::Home:
        return XK_Home;
    case K::Insert:
        return XK_Insert;
    case K::Delete:
        return XK_Delete;
    case K::Add:
        return XK_KP_Add;
    case K::Subtract:
        return XK_KP_Subtract;
    case K::Multiply:
        return XK_KP_Multiply;
    case K::Divide:
        return XK_KP_Divide;
    case K::Left:
        return XK_Left;
    case K::Right:
        return XK_Right;
    case K::Up:
        return XK_Up;
    case K::Down:
        return XK_Down;
    case K::Pause:
        return XK_Pause;
    default:
        return NoSymbol;
    }
}

} // namespace

// Our own connection to the display server, used only to read the key map, and the key code of
// every SFML key on it (0 where the keyboard has no such key).
struct KeyboardSnapshot::Connection {
    Display* display = nullptr;
    std::array<KeyCode, sf::Keyboard::KeyCount> codes{};

    Connection() : display(XOpenDisplay(nullptr)) {
        if (!display)
            return;
        for (int k = 0; k < sf::Keyboard::KeyCount; ++k) {
            const KeySym symbol = keySymbol(static_cast<sf::Keyboard::Key>(k));
            codes[k] = symbol == NoSymbol ? 0 : XKeysymToKeycode(display, symbol);
        }
    }
    ~Connection() {
        if (display)
            XCloseDisplay(display);
    }
};

KeyboardSnapshot::KeyboardSnapshot() = default;
KeyboardSnapshot::~KeyboardSnapshot() = default;

void KeyboardSnapshot::refresh() {
    if (!connection)
        connection = std::make_unique<Connection>();
    if (!connection->display)
        return; // no snapshot: isDown keeps asking SFML key by key
    char keys[32] = {};
    XQueryKeymap(connection->display, keys);
    for (int k = 0; k < sf::Keyboard::KeyCount; ++k) {
        const KeyCode code = connection->codes[k];
        down.set(static_cast<size_t>(k), code != 0 && (keys[code / 8] & (1 << (code % 8))) != 0);
    }
    hasSnapshot = true;
}

bool KeyboardSnapshot::isDown(sf::Keyboard::Key key) const {
    if (key < 0 || key >= sf::Keyboard::KeyCount)
        return false;
    if (!hasSnapshot)
        return sf::Keyboard::isKeyPressed(key);
    return down.test(static_cast<size_t>(key));
}

} // namespace vorn::engine
