#pragma once

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Joystick.hpp>
#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>

#include <cstdint>
#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorn::engine {

// A malformed input script; the message names the line.
class InputScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Keyboard, mouse, gamepad and window input recorded as text, replayed frame by frame instead of
// the real devices. One instruction a line, '#' starts a comment, frames count from 0:
//   0-59 hold Right            keys held on frames 0 to 59 inclusive
//   60 hold Space              one frame
//   75-80 hold Left Z          several keys
//   120 click 300 410 left     a button press and release at window pixel (x, y), y from the top
//   0-59 hold JoyButton0       a gamepad button held (JoyButton0 to JoyButton31)
//   10-40 axis JoyX 100        a stick axis at a position from -100 to 100 (JoyX, JoyY, JoyZ,
//                              JoyR, JoyU, JoyV, JoyPovX, JoyPovY); 0 elsewhere
//   200 focus lost             the window loses (or, with "gained", regains) the focus
//   210 resize 1024 768        the window is resized to width x height pixels
class InputScript {
public:
    struct Click {
        uint64_t frame;
        int x;
        int y;
        sf::Mouse::Button button;
    };

    // Reads a script; throws InputScriptError naming the first malformed line.
    static InputScript parse(std::istream& in);
    // Reads a script file; throws InputScriptError when it cannot be opened or is malformed.
    static InputScript load(const std::string& path);

    // Whether `key` is held on `frame`.
    bool isHeld(uint64_t frame, sf::Keyboard::Key key) const;
    // Whether gamepad button `button` is held on `frame`.
    bool isButtonHeld(uint64_t frame, unsigned button) const;
    // The position of a stick axis on `frame` (the last matching line wins; 0 when none).
    float axisAt(uint64_t frame, sf::Joystick::Axis axis) const;
    // The window events (focus, resize) of one frame, in script order.
    std::vector<sf::Event> windowEventsAt(uint64_t frame) const;
    // The clicks of one frame, in script order.
    std::vector<Click> clicksAt(uint64_t frame) const;
    // The last frame on which the script does anything (0 for an empty script).
    uint64_t lastFrame() const;

private:
    struct Hold {
        uint64_t first;
        uint64_t last;
        sf::Keyboard::Key key;
    };
    struct ButtonHold {
        uint64_t first;
        uint64_t last;
        unsigned button;
    };
    struct AxisSpan {
        uint64_t first;
        uint64_t last;
        sf::Joystick::Axis axis;
        float position;
    };
    struct WindowEvent {
        uint64_t frame;
        sf::Event event;
    };
    std::vector<Hold> holds;
    std::vector<Click> clicks;
    std::vector<ButtonHold> buttonHolds;
    std::vector<AxisSpan> axes;
    std::vector<WindowEvent> windowEvents;
};

} // namespace vorn::engine
