// Key bindings and the key file, gamepad lines of input scripts, and the actions they drive.

#include "engine/InputBindings.hpp"
#include "engine/InputScript.hpp"
#include "engine/InputSource.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

using vorn::engine::Action;
using vorn::engine::InputBindings;
using vorn::engine::InputScript;
using vorn::engine::InputScriptError;
using vorn::engine::InputSource;

namespace {

using Keys = std::vector<sf::Keyboard::Key>;

struct InputSourceGuard {
    ~InputSourceGuard() {
        InputSource::instance().useScript(nullptr);
        InputSource::instance().bindings() = InputBindings();
    }
};

// Runs the process-wide input source over `text` up to `frame` and returns the events of it.
std::vector<sf::Event> replayTo(const std::string& text, uint64_t frame) {
    std::istringstream in(text);
    InputSource::instance().useScript(std::make_shared<InputScript>(InputScript::parse(in)));
    std::vector<sf::Event> events;
    for (uint64_t f = 0; f <= frame; ++f) {
        events.clear();
        InputSource::instance().beginFrame(f, events);
    }
    return events;
}

} // namespace

TEST(InputBindingsTest, KeyFileReplacesNamedActionsAndReportsBadLines) {
    struct Case {
        const char* file;
        Keys jump;
        Keys punch;
        std::vector<std::string> reports; // fragments of the report, one per bad line
    };
    const Keys defaultJump{sf::Keyboard::Z, sf::Keyboard::J, sf::Keyboard::Space};
    const Keys defaultPunch{sf::Keyboard::X, sf::Keyboard::K};
    const Case cases[] = {
        {"jump = W\n", {sf::Keyboard::W}, defaultPunch, {}},
        {"# mine\n  jump=Up LShift  # two keys\n\npunch = F\n",
         {sf::Keyboard::Up, sf::Keyboard::LShift},
         {sf::Keyboard::F},
         {}},
        {"jump = Spacebar\n", defaultJump, defaultPunch, {"line 1: unknown key 'Spacebar'"}},
        {"fly = Q\njump W\njump =\npunch = F\n",
         defaultJump,
         {sf::Keyboard::F},
         {"line 1: unknown action 'fly'", "line 2: expected 'action = key'",
          "line 3: no key after '='"}},
    };
    for (const Case& c : cases) {
        InputBindings bindings;
        std::istringstream in(c.file);
        std::ostringstream report;
        bindings.readKeys(in, "keys.txt", report);
        EXPECT_EQ(bindings.binding(Action::Jump).keys, c.jump) << c.file;
        EXPECT_EQ(bindings.binding(Action::Punch).keys, c.punch) << c.file;
        const std::string text = report.str();
        for (const std::string& fragment : c.reports)
            EXPECT_NE(text.find("keys.txt " + fragment), std::string::npos) << text;
        const auto lines = std::count(text.begin(), text.end(), '\n');
        EXPECT_EQ(lines, static_cast<long>(c.reports.size())) << text;
        // A key file never touches the pad.
        EXPECT_EQ(bindings.binding(Action::Jump).buttons, std::vector<unsigned>{0});
    }
}

TEST(InputBindingsTest, KeyFileIsFoundInTheXdgConfigFolder) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("mossfang-xdg-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "mossfang");
    std::ofstream(dir / "mossfang" / "keys.txt") << "jump = Q\n";
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = oldConfig ? oldConfig : "";
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    EXPECT_EQ(InputBindings::keyFilePath(), (dir / "mossfang" / "keys.txt").string());
    InputBindings bindings;
    std::ostringstream report;
    EXPECT_EQ(bindings.loadKeys(InputBindings::keyFilePath(), report), 1);
    EXPECT_EQ(bindings.binding(Action::Jump).keys, Keys{sf::Keyboard::Q});
    // No file: the defaults stay and nothing is reported.
    InputBindings untouched;
    EXPECT_EQ(untouched.loadKeys((dir / "none.txt").string(), report), 0);
    EXPECT_EQ(untouched.binding(Action::Jump).keys.size(), 3u);
    EXPECT_EQ(report.str(), "");
    if (oldConfig)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(dir);
}

TEST(InputBindingsTest, ScriptedPadDrivesActionsAndSendsKeyEvents) {
    InputSourceGuard guard;
    const std::string script = "0-9 axis JoyX 100\n"
                               "5-6 hold JoyButton0\n"
                               "20-29 axis JoyPovY -100\n"
                               "20 axis JoyX -30\n";
    const InputSource& input = InputSource::instance();

    std::vector<sf::Event> events = replayTo(script, 0);
    EXPECT_TRUE(input.isActionDown(Action::Right));
    EXPECT_FALSE(input.isActionDown(Action::Left));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, sf::Event::KeyPressed);
    EXPECT_EQ(events[0].key.code, sf::Keyboard::Right);

    events = replayTo(script, 5);
    EXPECT_TRUE(input.isActionDown(Action::Jump));
    EXPECT_TRUE(input.isJoystickButtonPressed(0));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].key.code, sf::Keyboard::Z);

    events = replayTo(script, 7);
    EXPECT_FALSE(input.isActionDown(Action::Jump));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, sf::Event::KeyReleased);

    // A light push is no direction; the d-pad down is.
    replayTo(script, 20);
    EXPECT_FLOAT_EQ(input.joystickAxis(sf::Joystick::X), -30.0f);
    EXPECT_FALSE(input.isActionDown(Action::Left));
    EXPECT_TRUE(input.isActionDown(Action::Down));
    EXPECT_FALSE(input.isActionDown(Action::Right));
}

TEST(InputBindingsTest, ScriptWindowLinesAndTheirErrors) {
    std::istringstream good("3 focus lost\n4 focus gained\n5 resize 1600 1200\n");
    const InputScript script = InputScript::parse(good);
    ASSERT_EQ(script.windowEventsAt(3).size(), 1u);
    EXPECT_EQ(script.windowEventsAt(3)[0].type, sf::Event::LostFocus);
    EXPECT_EQ(script.windowEventsAt(4)[0].type, sf::Event::GainedFocus);
    ASSERT_EQ(script.windowEventsAt(5).size(), 1u);
    EXPECT_EQ(script.windowEventsAt(5)[0].size.width, 1600u);
    EXPECT_EQ(script.windowEventsAt(5)[0].size.height, 1200u);
    EXPECT_EQ(script.lastFrame(), 5u);

    const char* bad[] = {"1 hold JoyButton32", "1 hold JoyButton", "1 axis JoyW 10",
                         "1 axis JoyX 101",    "1 axis JoyX",      "1-3 focus lost",
                         "1 focus away",       "1 resize 0 600",   "1 resize 800 600 2"};
    for (const char* line : bad) {
        std::istringstream in(std::string("# header\n") + line + "\n");
        try {
            InputScript::parse(in);
            ADD_FAILURE() << "accepted: " << line;
        } catch (const InputScriptError& e) {
            EXPECT_NE(std::string(e.what()).find("line 2"), std::string::npos) << e.what();
        }
    }
}
