#include "engine/InputScript.hpp"

#include "engine/KeyNames.hpp"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace vorn::engine {

namespace {

[[noreturn]] void fail(int lineNumber, const std::string& reason) {
    throw InputScriptError("input script line " + std::to_string(lineNumber) + ": " + reason);
}

// A non-negative decimal number that fits 64 bits, or nothing.
bool parseFrameNumber(const std::string& text, uint64_t& out) {
    if (text.empty() || text.size() > 18)
        return false;
    for (const char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    out = std::stoull(text);
    return true;
}

bool parseInt(const std::string& text, int& out) {
    if (text.empty() || text.size() > 9)
        return false;
    size_t start = text[0] == '-' ? 1 : 0;
    if (start == text.size())
        return false;
    for (size_t i = start; i < text.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    out = std::stoi(text);
    return true;
}

bool parseButton(std::string text, sf::Mouse::Button& out) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (text == "left")
        out = sf::Mouse::Left;
    else if (text == "right")
        out = sf::Mouse::Right;
    else if (text == "middle")
        out = sf::Mouse::Middle;
    else
        return false;
    return true;
}

// "JoyButton7" gives 7; buttons run from 0 to sf::Joystick::ButtonCount - 1.
bool parseJoyButton(const std::string& text, unsigned& out) {
    const std::string prefix = "JoyButton";
    if (text.compare(0, prefix.size(), prefix) != 0)
        return false;
    uint64_t number = 0;
    if (!parseFrameNumber(text.substr(prefix.size()), number) ||
        number >= sf::Joystick::ButtonCount)
        return false;
    out = static_cast<unsigned>(number);
    return true;
}

bool parseAxis(const std::string& text, sf::Joystick::Axis& out) {
    static const std::pair<const char*, sf::Joystick::Axis> names[] = {
        {"JoyX", sf::Joystick::X},       {"JoyY", sf::Joystick::Y},       {"JoyZ", sf::Joystick::Z},
        {"JoyR", sf::Joystick::R},       {"JoyU", sf::Joystick::U},       {"JoyV", sf::Joystick::V},
        {"JoyPovX", sf::Joystick::PovX}, {"JoyPovY", sf::Joystick::PovY},
    };
    for (const auto& [name, axis] : names)
        if (text == name) {
            out = axis;
            return true;
        }
    return false;
}

} // namespace

InputScript InputScript::parse(std::istream& in) {
    InputScript script;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        const size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        std::istringstream words(line);
        std::string frames;
        if (!(words >> frames))
            continue; // blank or comment-only line

        uint64_t first = 0;
        uint64_t last = 0;
        const size_t dash = frames.find('-');
        if (dash == std::string::npos) {
            if (!parseFrameNumber(frames, first))
                fail(lineNumber, "bad frame number '" + frames + "'");
            last = first;
        } else if (!parseFrameNumber(frames.substr(0, dash), first) ||
                   !parseFrameNumber(frames.substr(dash + 1), last)) {
            fail(lineNumber, "bad frame range '" + frames + "'");
        }
        if (last < first)
            fail(lineNumber, "frame range '" + frames + "' ends before it starts");

        std::string verb;
        if (!(words >> verb))
            fail(lineNumber, "missing instruction after the frames");
        if (verb == "hold") {
            std::string name;
            int count = 0;
            while (words >> name) {
                unsigned button = 0;
                if (parseJoyButton(name, button)) {
                    script.buttonHolds.push_back(ButtonHold{first, last, button});
                    ++count;
                    continue;
                }
                const auto key = keyFromName(name);
                if (!key)
                    fail(lineNumber, "unknown key '" + name + "'");
                script.holds.push_back(Hold{first, last, *key});
                ++count;
            }
            if (count == 0)
                fail(lineNumber, "hold names no key");
        } else if (verb == "click") {
            if (first != last)
                fail(lineNumber, "a click takes one frame, not a range");
            std::string xs, ys, buttonName, extra;
            Click click{first, 0, 0, sf::Mouse::Left};
            if (!(words >> xs >> ys >> buttonName))
                fail(lineNumber, "click needs x, y and a button");
            if (!parseInt(xs, click.x) || !parseInt(ys, click.y))
                fail(lineNumber, "bad click position '" + xs + " " + ys + "'");
            if (!parseButton(buttonName, click.button))
                fail(lineNumber, "unknown mouse button '" + buttonName + "'");
            if (words >> extra)
                fail(lineNumber, "unexpected '" + extra + "' after the click");
            script.clicks.push_back(click);
        } else if (verb == "axis") {
            std::string axisName, positionText, extra;
            AxisSpan span{first, last, sf::Joystick::X, 0.0f};
            int position = 0;
            if (!(words >> axisName >> positionText))
                fail(lineNumber, "axis needs an axis name and a position");
            if (!parseAxis(axisName, span.axis))
                fail(lineNumber, "unknown axis '" + axisName + "'");
            if (!parseInt(positionText, position) || position < -100 || position > 100)
                fail(lineNumber, "axis position '" + positionText + "' is not -100 to 100");
            if (words >> extra)
                fail(lineNumber, "unexpected '" + extra + "' after the axis");
            span.position = static_cast<float>(position);
            script.axes.push_back(span);
        } else if (verb == "focus" || verb == "resize") {
            if (first != last)
                fail(lineNumber, verb + " takes one frame, not a range");
            WindowEvent entry{first, sf::Event{}};
            std::string extra;
            if (verb == "focus") {
                std::string state;
                words >> state;
                if (state == "lost")
                    entry.event.type = sf::Event::LostFocus;
                else if (state == "gained")
                    entry.event.type = sf::Event::GainedFocus;
                else
                    fail(lineNumber, "focus is 'lost' or 'gained'");
            } else {
                std::string ws, hs;
                int w = 0;
                int h = 0;
                if (!(words >> ws >> hs) || !parseInt(ws, w) || !parseInt(hs, h) || w <= 0 ||
                    h <= 0)
                    fail(lineNumber, "resize needs a positive width and height");
                entry.event.type = sf::Event::Resized;
                entry.event.size.width = static_cast<unsigned>(w);
                entry.event.size.height = static_cast<unsigned>(h);
            }
            if (words >> extra)
                fail(lineNumber, "unexpected '" + extra + "' after " + verb);
            script.windowEvents.push_back(entry);
        } else {
            fail(lineNumber, "unknown instruction '" + verb + "'");
        }
    }
    return script;
}

InputScript InputScript::load(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        throw InputScriptError("cannot open input script " + path);
    return parse(in);
}

bool InputScript::isHeld(uint64_t frame, sf::Keyboard::Key key) const {
    for (const Hold& hold : holds)
        if (hold.key == key && hold.first <= frame && frame <= hold.last)
            return true;
    return false;
}

bool InputScript::isButtonHeld(uint64_t frame, unsigned button) const {
    for (const ButtonHold& hold : buttonHolds)
        if (hold.button == button && hold.first <= frame && frame <= hold.last)
            return true;
    return false;
}

float InputScript::axisAt(uint64_t frame, sf::Joystick::Axis axis) const {
    float position = 0.0f;
    for (const AxisSpan& span : axes)
        if (span.axis == axis && span.first <= frame && frame <= span.last)
            position = span.position;
    return position;
}

std::vector<sf::Event> InputScript::windowEventsAt(uint64_t frame) const {
    std::vector<sf::Event> result;
    for (const WindowEvent& entry : windowEvents)
        if (entry.frame == frame)
            result.push_back(entry.event);
    return result;
}

std::vector<InputScript::Click> InputScript::clicksAt(uint64_t frame) const {
    std::vector<Click> result;
    for (const Click& click : clicks)
        if (click.frame == frame)
            result.push_back(click);
    return result;
}

uint64_t InputScript::lastFrame() const {
    uint64_t last = 0;
    for (const Hold& hold : holds)
        last = std::max(last, hold.last);
    for (const Click& click : clicks)
        last = std::max(last, click.frame);
    for (const ButtonHold& hold : buttonHolds)
        last = std::max(last, hold.last);
    for (const AxisSpan& span : axes)
        last = std::max(last, span.last);
    for (const WindowEvent& entry : windowEvents)
        last = std::max(last, entry.frame);
    return last;
}

} // namespace vorn::engine
