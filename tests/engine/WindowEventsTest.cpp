// Window events reaching the main loop: focus loss stops world updates (the picture is still
// drawn), clicks are mapped into the 800 x 600 frame after a resize, F11 reaches its callback,
// and scripted focus and resize lines arrive as real window events would.

#include "engine/Application.hpp"
#include "engine/Behavior.hpp"
#include "engine/GraphicsContext.hpp"
#include "engine/InputScript.hpp"
#include "engine/InputSource.hpp"
#include "engine/World.hpp"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <sstream>
#include <vector>

using vorn::engine::Application;
using vorn::engine::Behavior;
using vorn::engine::GraphicsContext;
using vorn::engine::InputScript;
using vorn::engine::InputSource;
using vorn::engine::World;

namespace {

class FakeWindow : public GraphicsContext {
public:
    std::deque<sf::Event> events;
    int displays = 0;
    std::vector<std::pair<unsigned, unsigned>> viewports;
    bool pollEvent(sf::Event& event) override {
        if (events.empty())
            return false;
        event = events.front();
        events.pop_front();
        return true;
    }
    void display() override { ++displays; }
    void setViewport(unsigned w, unsigned h) override { viewports.emplace_back(w, h); }
    void prepareDefaultState() override {}
};

// Counts its world's updates and renders.
class Counter : public Behavior {
public:
    Counter() { addName(renderPassName); }
    void update(float) override { ++updates; }
    void render(float) override { ++renders; }
    int updates = 0;
    int renders = 0;
};

sf::Event windowEvent(sf::Event::EventType type) {
    sf::Event e{};
    e.type = type;
    return e;
}

sf::Event resized(unsigned w, unsigned h) {
    sf::Event e = windowEvent(sf::Event::Resized);
    e.size.width = w;
    e.size.height = h;
    return e;
}

sf::Event press(int x, int y) {
    sf::Event e = windowEvent(sf::Event::MouseButtonPressed);
    e.mouseButton.button = sf::Mouse::Left;
    e.mouseButton.x = x;
    e.mouseButton.y = y;
    return e;
}

struct Loop {
    FakeWindow window;
    Application app{&window, 20.0f, 60.0f, "assets/"};
    std::shared_ptr<World> world = std::make_shared<World>();
    Counter* counter = new Counter;
    std::vector<bool> focusCalls;
    Loop() {
        app.setFrameSize(800, 600);
        world->addComponent(counter);
        app.setWorld(world);
        app.setFocusCallback([this](bool focused) { focusCalls.push_back(focused); });
    }
};

struct ScriptGuard {
    ~ScriptGuard() { InputSource::instance().useScript(nullptr); }
};

} // namespace

TEST(WindowEventsTest, FocusLossStopsUpdatesButKeepsDrawing) {
    Loop loop;
    loop.app.runFrame(0.016f);
    loop.window.events.push_back(windowEvent(sf::Event::LostFocus));
    for (int i = 0; i < 5; ++i)
        loop.app.runFrame(0.016f);
    EXPECT_FALSE(loop.app.hasFocus());
    EXPECT_EQ(loop.counter->updates, 1) << "the world moved without the focus";
    EXPECT_EQ(loop.counter->renders, 6) << "the picture must stay";
    EXPECT_EQ(loop.window.displays, 6);
    loop.window.events.push_back(windowEvent(sf::Event::GainedFocus));
    loop.app.runFrame(0.016f);
    EXPECT_TRUE(loop.app.hasFocus());
    EXPECT_EQ(loop.counter->updates, 2);
    EXPECT_EQ(loop.focusCalls, (std::vector<bool>{false, true}));
}

TEST(WindowEventsTest, AFixedTimeStepRunIgnoresTheWindowsFocus) {
    // Headless runs at a fixed step must repeat frame for frame, whenever the X server happens
    // to move the focus.
    Loop loop;
    loop.app.setFixedTimeStep(0.016f);
    loop.window.events.push_back(windowEvent(sf::Event::LostFocus));
    for (int i = 0; i < 3; ++i)
        loop.app.runFrame(0.016f);
    EXPECT_TRUE(loop.app.hasFocus());
    EXPECT_EQ(loop.counter->updates, 3);
    EXPECT_TRUE(loop.focusCalls.empty());
}

TEST(WindowEventsTest, ClicksAreMappedIntoTheFrameAfterAResize) {
    struct Case {
        unsigned width, height; // window size, none for the original
        int x, y;               // window pixel clicked
        int frameX, frameY;     // where it lies in the 800 x 600 frame
    };
    const Case cases[] = {
        {0, 0, 400, 300, 400, 300},       {1600, 1200, 800, 600, 400, 300},
        {1600, 1200, 1599, 0, 799, 0},    {400, 300, 100, 150, 200, 300},
        {1920, 1080, 960, 810, 400, 450},
    };
    for (const Case& c : cases) {
        Loop loop;
        std::vector<std::pair<int, int>> seen;
        loop.world->mouseButtonPressed.connect(
            [&](const sf::Event::MouseButtonEvent& e) { seen.emplace_back(e.x, e.y); });
        if (c.width != 0)
            loop.window.events.push_back(resized(c.width, c.height));
        loop.window.events.push_back(press(c.x, c.y));
        loop.app.runFrame(0.016f);
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0], std::make_pair(c.frameX, c.frameY)) << c.width << "x" << c.height;
        if (c.width != 0) {
            ASSERT_EQ(loop.window.viewports.size(), 1u);
            EXPECT_EQ(loop.window.viewports[0], std::make_pair(c.width, c.height));
        }
    }
}

TEST(WindowEventsTest, F11GoesToTheFullscreenToggleNotTheWorld) {
    Loop loop;
    int toggles = 0;
    int keys = 0;
    loop.app.setFullscreenCallback([&] { ++toggles; });
    loop.world->keyPressed.connect([&](const sf::Event::KeyEvent&) { ++keys; });
    sf::Event f11 = windowEvent(sf::Event::KeyPressed);
    f11.key.code = sf::Keyboard::F11;
    sf::Event space = f11;
    space.key.code = sf::Keyboard::Space;
    loop.window.events = {f11, space, f11};
    loop.app.runFrame(0.016f);
    EXPECT_EQ(toggles, 2);
    EXPECT_EQ(keys, 1);
}

TEST(WindowEventsTest, ScriptedFocusAndResizeReplaceTheRealWindowsFocus) {
    ScriptGuard guard;
    std::istringstream text(
        "2 focus lost\n4 focus gained\n4 resize 1600 1200\n5 click 800 600 left\n");
    InputSource::instance().useScript(std::make_shared<InputScript>(InputScript::parse(text)));
    Loop loop;
    std::vector<std::pair<int, int>> seen;
    loop.world->mouseButtonPressed.connect(
        [&](const sf::Event::MouseButtonEvent& e) { seen.emplace_back(e.x, e.y); });
    // The real window losing the focus does not pause a replayed run.
    loop.window.events.push_back(windowEvent(sf::Event::LostFocus));
    for (int i = 0; i < 6; ++i)
        loop.app.runFrame(0.016f);
    EXPECT_EQ(loop.counter->updates, 4) << "frames 2 and 3 are without focus";
    EXPECT_EQ(loop.focusCalls, (std::vector<bool>{false, true}));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], std::make_pair(400, 300));
}
