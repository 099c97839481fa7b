#include "engine/Application.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/Behavior.hpp"
#include "engine/FramePacer.hpp"
#include "engine/GraphicsContext.hpp"
#include "engine/InputScript.hpp"
#include "engine/InputSource.hpp"
#include "engine/World.hpp"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using vorn::engine::Application;
using vorn::engine::Behavior;
using vorn::engine::FramePacer;
using vorn::engine::GraphicsContext;
using vorn::engine::InputScript;
using vorn::engine::InputSource;
using vorn::engine::World;

namespace {

// A window stand-in: hands out queued events, counts displays, records viewports.
class FakeContext : public GraphicsContext {
public:
    std::deque<sf::Event> events;
    int displays = 0;
    int prepared = 0;
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
    void prepareDefaultState() override { ++prepared; }
};

// Records updates and renders of its world into a shared log.
class Recorder : public Behavior {
public:
    Recorder(std::vector<std::string>& log, std::string tag) : log(log), tag(std::move(tag)) {
        addName(renderPassName);
    }
    void initialize() override { log.push_back(tag + ":initialize"); }
    void onActivated() override { log.push_back(tag + ":activated"); }
    void update(float) override {
        log.push_back(tag + ":update");
        if (onUpdate)
            onUpdate();
    }
    void render(float) override { log.push_back(tag + ":render"); }
    std::vector<std::string>& log;
    std::string tag;
    std::function<void()> onUpdate;
};

sf::Event keyEvent(sf::Event::EventType type, sf::Keyboard::Key key) {
    sf::Event e{};
    e.type = type;
    e.key.code = key;
    return e;
}

// Resets the process-wide input source whatever a test did to it.
struct ScriptGuard {
    ~ScriptGuard() { InputSource::instance().useScript(nullptr); }
};

} // namespace

TEST(FramePacing, ShortFrameSleepsTowardsTheTarget) {
    const FramePacer pacer(20.0f, 60.0f);
    EXPECT_NEAR(pacer.sleepFor(0.01f), 1.0f / 60.0f - 0.01f, 1e-6f);
    EXPECT_NEAR(pacer.timeStep(0.01f, pacer.sleepFor(0.01f)), 1.0f / 60.0f, 1e-6f);
}

TEST(FramePacing, FrameLongerThanTheTargetDoesNotSleep) {
    const FramePacer pacer(20.0f, 60.0f);
    EXPECT_EQ(pacer.sleepFor(0.03f), 0.0f);
    EXPECT_FLOAT_EQ(pacer.timeStep(0.03f, 0.0f), 0.03f);
}

TEST(FramePacing, ExactlyTheLargestStepIsKeptAndLongerFramesAreClamped) {
    const FramePacer pacer(20.0f, 60.0f);
    const float limit = 1.0f / 20.0f;
    EXPECT_EQ(pacer.sleepFor(limit), 0.0f);
    EXPECT_EQ(pacer.timeStep(limit, 0.0f), limit);
    EXPECT_EQ(pacer.sleepFor(0.2f), 0.0f);
    EXPECT_EQ(pacer.timeStep(0.2f, 0.0f), limit);
    // An oversleep is clamped too.
    EXPECT_EQ(pacer.timeStep(0.04f, 0.03f), limit);
}

// A frame's time in update steps: one step up to half the largest, then equal steps of at most
// half the largest, never more than four, and those never longer than the largest.
TEST(FramePacing, LongFramesSplitIntoEqualStepsOfAtMostTheLargest) {
    const FramePacer pacer(20.0f, 60.0f);
    struct Case {
        float seconds;
        int count;
        float step;
    };
    for (const Case& c : {Case{0.01f, 1, 0.01f}, Case{0.025f, 1, 0.025f}, Case{0.03f, 2, 0.015f},
                          Case{0.05f, 2, 0.025f}, Case{0.1f, 4, 0.025f}, Case{0.12f, 4, 0.03f},
                          Case{0.2f, 4, 0.05f}, Case{0.5f, 4, 0.05f}, Case{3.0f, 4, 0.05f}}) {
        const FramePacer::Steps steps = pacer.split(c.seconds);
        EXPECT_EQ(steps.count, c.count) << c.seconds;
        EXPECT_NEAR(steps.step, c.step, 1e-6f) << c.seconds;
    }
}

// The loop on a fake clock whose frames each take `work` seconds: every update step, the render
// pass's time and the audio step, frame by frame.
TEST(ApplicationLoop, SlowFramesKeepRealTimeInUpToFourStepsAndTheGameSpeedScalesThem) {
    struct Case {
        double work;
        float speed;
        int steps;
        float step;
        float audio;
    };
    const Case cases[] = {
        {0.0, 1.0f, 1, 1.0f / 60.0f, 1.0f / 60.0f}, // sleeps towards 60 frames a second
        {0.02, 1.0f, 1, 0.02f, 0.02f},
        {0.03, 1.0f, 2, 0.015f, 0.03f},
        {0.1, 1.0f, 4, 0.025f, 0.1f},  // 10 frames a second: four steps
        {0.12, 1.0f, 4, 0.03f, 0.12f}, // four equal steps
        {0.5, 1.0f, 4, 0.05f, 0.2f},   // 2 frames a second: four steps, the world slows down
        {0.1, 0.6f, 3, 0.02f, 0.1f},   // 60 % speed: 0.06 s of world time, sound in real time
        {0.03, 0.5f, 1, 0.015f, 0.03f},
    };
    for (const Case& c : cases) {
        FakeContext context;
        Application app(&context, 20.0f, 60.0f, "assets/");
        double now = 0.0;
        app.setClock({[&] { return now; }, [&](double seconds) { now += seconds; }});
        app.setGameSpeed(c.speed);
        struct StepRecorder : Behavior {
            std::vector<std::vector<float>>* frames;
            std::vector<float>* renders;
            StepRecorder() { addName(renderPassName); }
            void update(float dt) override { frames->back().push_back(dt); }
            void render(float dt) override { renders->push_back(dt); }
        };
        std::vector<std::vector<float>> frames(1);
        std::vector<float> renders;
        std::vector<float> audio;
        auto* recorder = new StepRecorder;
        recorder->frames = &frames;
        recorder->renders = &renders;
        auto world = std::make_shared<World>();
        world->addComponent(world->createEntity(), recorder);
        app.setWorld(world);
        app.setAudioUpdate([&](float dt) { audio.push_back(dt); });
        app.setFrameEndCallback([&](uint64_t) {
            now += c.work;
            frames.emplace_back();
        });
        app.setFrameLimit(4);
        app.run();
        // Frame 0 measures the start-up; each later frame measures the work of the one before.
        ASSERT_EQ(renders.size(), 4u);
        for (size_t f = 1; f < 4; ++f) {
            ASSERT_EQ(frames[f].size(), static_cast<size_t>(c.steps)) << c.work << " frame " << f;
            for (const float dt : frames[f])
                EXPECT_NEAR(dt, c.step, 1e-5f) << c.work;
            EXPECT_NEAR(renders[f], c.step * static_cast<float>(c.steps), 1e-5f) << c.work;
            EXPECT_NEAR(audio[f], c.audio, 1e-5f) << c.work;
            EXPECT_EQ(app.lastStepCount(), c.steps);
        }
    }
}

// A fixed time step keeps one update a frame, scaled by the game speed.
TEST(ApplicationLoop, FixedStepKeepsOneUpdateAFrameAtAnyGameSpeed) {
    for (const float speed : {1.0f, 0.8f}) {
        FakeContext context;
        Application app(&context, 20.0f, 60.0f, "assets/");
        std::vector<float> steps;
        struct StepRecorder : Behavior {
            std::vector<float>* steps;
            void update(float dt) override { steps->push_back(dt); }
        };
        auto* recorder = new StepRecorder;
        recorder->steps = &steps;
        auto world = std::make_shared<World>();
        world->addComponent(world->createEntity(), recorder);
        app.setWorld(world);
        app.setFrameLimit(3);
        app.setFixedTimeStep(0.02f);
        app.setGameSpeed(speed);
        app.run();
        EXPECT_EQ(steps, std::vector<float>(3, 0.02f * speed));
    }
}

TEST(ApplicationLoop, ConstructorPreparesStateAndPublishesTheAssetRoot) {
    FakeContext context;
    Application app(&context, 20.0f, 60.0f, "some/root/");
    EXPECT_EQ(context.prepared, 1);
    EXPECT_EQ(vorn::engine::assetRoot(), "some/root/");
    vorn::engine::setAssetRoot("assets/");
}

TEST(ApplicationLoop, FrameLimitAndFixedStepDriveTheLoop) {
    FakeContext context;
    Application app(&context, 20.0f, 60.0f, "assets/");
    std::vector<std::string> log;
    auto world = std::make_shared<World>();
    std::vector<float> steps;
    struct StepRecorder : Behavior {
        std::vector<float>* steps;
        void update(float dt) override { steps->push_back(dt); }
    };
    auto* recorder = new StepRecorder;
    recorder->steps = &steps;
    world->addComponent(world->createEntity(), recorder);
    app.setWorld(world);
    app.setFrameLimit(5);
    app.setFixedTimeStep(0.2f); // clamped like any measured step
    std::vector<float> audio;
    app.setAudioUpdate([&](float dt) { audio.push_back(dt); });
    app.run();
    EXPECT_EQ(steps, std::vector<float>(5, 0.05f));
    EXPECT_EQ(audio, std::vector<float>(5, 0.05f));
    EXPECT_EQ(context.displays, 5);
    EXPECT_EQ(app.frameCount(), 5u);
}

TEST(ApplicationLoop, ClosedSkipsTheUpdateButStillRendersAndDisplaysOnce) {
    FakeContext context;
    Application app(&context, 20.0f, 60.0f, "assets/");
    std::vector<std::string> log;
    auto world = std::make_shared<World>();
    world->addComponent(world->createEntity(), new Recorder(log, "w"));
    app.setWorld(world);
    sf::Event closed{};
    closed.type = sf::Event::Closed;
    context.events.push_back(closed);
    app.setFixedTimeStep(0.01f);
    app.run();
    EXPECT_EQ(log, (std::vector<std::string>{"w:initialize", "w:activated", "w:render"}));
    EXPECT_EQ(context.displays, 1);
}

TEST(ApplicationLoop, ResizeOnlySetsTheViewport) {
    FakeContext context;
    Application app(&context, 20.0f, 60.0f, "assets/");
    sf::Event resized{};
    resized.type = sf::Event::Resized;
    resized.size.width = 1024;
    resized.size.height = 700;
    context.events.push_back(resized);
    app.setWorld(std::make_shared<World>());
    app.runFrame(0.01f);
    ASSERT_EQ(context.viewports.size(), 1u);
    EXPECT_EQ(context.viewports[0], std::make_pair(1024u, 700u));
}

TEST(ApplicationLoop, WindowEventsReachTheCurrentWorldsSignals) {
    FakeContext context;
    Application app(&context, 20.0f, 60.0f, "assets/");
    auto world = std::make_shared<World>();
    app.setWorld(world);
    std::vector<std::string> seen;
    world->keyPressed.connect(
        [&](const sf::Event::KeyEvent& k) { seen.push_back("kp" + std::to_string(k.code)); });
    world->keyReleased.connect(
        [&](const sf::Event::KeyEvent& k) { seen.push_back("kr" + std::to_string(k.code)); });
    world->mouseButtonPressed.connect([&](const sf::Event::MouseButtonEvent& m) {
        seen.push_back("mp" + std::to_string(m.x) + "," + std::to_string(m.y));
    });
    world->mouseButtonReleased.connect(
        [&](const sf::Event::MouseButtonEvent&) { seen.push_back("mr"); });
    context.events.push_back(keyEvent(sf::Event::KeyPressed, sf::Keyboard::Space));
    context.events.push_back(keyEvent(sf::Event::KeyReleased, sf::Keyboard::Space));
    sf::Event press{};
    press.type = sf::Event::MouseButtonPressed;
    press.mouseButton.x = 12;
    press.mouseButton.y = 34;
    context.events.push_back(press);
    sf::Event release = press;
    release.type = sf::Event::MouseButtonReleased;
    context.events.push_back(release);
    sf::Event ignored{};
    ignored.type = sf::Event::GainedFocus;
    context.events.push_back(ignored);
    app.runFrame(0.01f);
    EXPECT_EQ(seen, (std::vector<std::string>{"kp57", "kr57", "mp12,34", "mr"}));
}

TEST(WorldSwitching, FirstWorldIsInstalledAndStartedAtOnce) {
    std::vector<std::string> log;
    Application app(nullptr, 20.0f, 60.0f, "assets/");
    auto world = std::make_shared<World>();
    world->addComponent(world->createEntity(), new Recorder(log, "a"));
    EXPECT_FALSE(world->isActive());
    app.setWorld(world);
    EXPECT_EQ(app.currentWorld(), world);
    EXPECT_EQ(world->application(), &app);
    EXPECT_EQ(log, (std::vector<std::string>{"a:initialize", "a:activated"}));
}

TEST(WorldSwitching, SwitchFromInsideUpdateStartsAtOnceAndIsRenderedTheSameFrame) {
    std::vector<std::string> log;
    Application app(nullptr, 20.0f, 60.0f, "assets/");
    auto oldWorld = std::make_shared<World>();
    auto newWorld = std::make_shared<World>();
    auto* oldFirst = new Recorder(log, "old1");
    oldWorld->addComponent(oldWorld->createEntity(), oldFirst);
    oldWorld->addComponent(oldWorld->createEntity(), new Recorder(log, "old2"));
    newWorld->addComponent(newWorld->createEntity(), new Recorder(log, "new"));
    app.setWorld(oldWorld);
    std::weak_ptr<World> watchOld = oldWorld;
    World* oldRaw = oldWorld.get();
    oldFirst->onUpdate = [&] {
        app.setWorld(newWorld);
        // Started at once, while the old world is still current.
        EXPECT_EQ(app.currentWorld().get(), oldRaw);
        EXPECT_EQ(app.nextWorld(), newWorld);
    };
    oldWorld.reset();
    log.clear();
    app.runFrame(0.01f);
    EXPECT_EQ(log, (std::vector<std::string>{"old1:update", "new:initialize", "new:activated",
                                             "old2:update", "new:render"}));
    EXPECT_EQ(app.currentWorld(), newWorld);
    EXPECT_TRUE(watchOld.expired()); // the Application held the old world's last reference
}

TEST(WorldSwitching, SecondSetWorldBeforeTheSwitchReplacesTheNextWorld) {
    std::vector<std::string> log;
    Application app(nullptr, 20.0f, 60.0f, "assets/");
    app.setWorld(std::make_shared<World>());
    auto b = std::make_shared<World>();
    auto c = std::make_shared<World>();
    app.setWorld(b);
    app.setWorld(c);
    app.update(0.01f);
    EXPECT_EQ(app.currentWorld(), c);
    EXPECT_FALSE(app.nextWorld());
}

TEST(WorldSwitching, QueuedDestructionsOfTheOldWorldRunBeforeTheSwitch) {
    std::vector<std::string> log;
    Application app(nullptr, 20.0f, 60.0f, "assets/");
    auto oldWorld = std::make_shared<World>();
    const auto doomed = oldWorld->createEntity();
    struct Doomed : Behavior {
        std::vector<std::string>* log;
        void onRemoved() override { log->push_back("doomed:removed"); }
    };
    auto* d = new Doomed;
    d->log = &log;
    oldWorld->addComponent(doomed, d);
    auto* trigger = new Recorder(log, "trigger");
    oldWorld->addComponent(oldWorld->createEntity(), trigger);
    app.setWorld(oldWorld);
    auto newWorld = std::make_shared<World>();
    trigger->onUpdate = [&] {
        oldWorld->destroyEntityLater(doomed);
        app.setWorld(newWorld);
    };
    log.clear();
    app.update(0.01f);
    EXPECT_EQ(log, (std::vector<std::string>{"trigger:update", "doomed:removed"}));
    EXPECT_EQ(app.currentWorld(), newWorld);
}

TEST(InputScripts, ParseHoldsRangesAndClicks) {
    std::istringstream text("# a comment\n"
                            "0-2 hold Right   # trailing comment\n"
                            "\n"
                            "3 hold Space LControl\n"
                            "4 click 300 410 left\n");
    const InputScript script = InputScript::parse(text);
    EXPECT_TRUE(script.isHeld(0, sf::Keyboard::Right));
    EXPECT_TRUE(script.isHeld(2, sf::Keyboard::Right));
    EXPECT_FALSE(script.isHeld(3, sf::Keyboard::Right));
    EXPECT_TRUE(script.isHeld(3, sf::Keyboard::LControl));
    const auto clicks = script.clicksAt(4);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].x, 300);
    EXPECT_EQ(clicks[0].y, 410);
    EXPECT_EQ(clicks[0].button, sf::Mouse::Left);
    EXPECT_EQ(script.lastFrame(), 4u);
}

TEST(InputScripts, MalformedLinesAreRejectedWithTheirLineNumber) {
    const char* bad[] = {"1 hold NoSuchKey",
                         "x hold A",
                         "5-3 hold A",
                         "1 jump A",
                         "1 hold",
                         "1-2 click 1 2 left",
                         "1 click 1 left",
                         "1 click 1 2 thumb",
                         "1 click 1 2 left extra",
                         "-1 hold A"};
    for (const char* line : bad) {
        std::istringstream text(std::string("0 hold A\n# fine\n") + line + "\n");
        try {
            InputScript::parse(text);
            ADD_FAILURE() << "accepted: " << line;
        } catch (const vorn::engine::InputScriptError& e) {
            EXPECT_NE(std::string(e.what()).find("line 3"), std::string::npos) << e.what();
        }
    }
}

TEST(InputScripts, ScriptedPressReachesKeyPressedOnItsFrameAndPollingAgrees) {
    ScriptGuard guard;
    std::istringstream text("3-4 hold Space\n6 click 10 20 right\n");
    InputSource::instance().useScript(std::make_shared<InputScript>(InputScript::parse(text)));
    FakeContext context;
    // A real key event from the window must be ignored while a script plays.
    context.events.push_back(keyEvent(sf::Event::KeyPressed, sf::Keyboard::A));
    Application app(&context, 20.0f, 60.0f, "assets/");
    auto world = std::make_shared<World>();
    app.setWorld(world);
    std::vector<std::string> seen;
    world->keyPressed.connect([&](const sf::Event::KeyEvent& k) {
        seen.push_back("press " + std::to_string(k.code) + " @" + std::to_string(app.frameCount()));
    });
    world->keyReleased.connect([&](const sf::Event::KeyEvent& k) {
        seen.push_back("release " + std::to_string(k.code) + " @" +
                       std::to_string(app.frameCount()));
    });
    world->mouseButtonPressed.connect([&](const sf::Event::MouseButtonEvent& m) {
        seen.push_back("click " + std::to_string(m.button) + " @" +
                       std::to_string(app.frameCount()));
    });
    std::vector<bool> polled;
    struct Poller : Behavior {
        std::vector<bool>* polled;
        void update(float) override {
            polled->push_back(InputSource::instance().isKeyPressed(sf::Keyboard::Space));
        }
    };
    auto* poller = new Poller;
    poller->polled = &polled;
    world->addComponent(world->createEntity(), poller);
    app.setFrameLimit(8);
    app.setFixedTimeStep(1.0f / 60.0f);
    app.run();
    EXPECT_EQ(seen, (std::vector<std::string>{"press 57 @3", "release 57 @5", "click 1 @6"}));
    EXPECT_EQ(polled, (std::vector<bool>{false, false, false, true, true, false, false, false}));
}
