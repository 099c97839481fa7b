// Losing the window's focus silences the game and stops its world; regaining it brings both back.
// The main loop runs over a window stand-in that delivers the focus events, with the sound
// manager over a loopback system whose mix is captured.

#include "AudioTestSupport.hpp"

#include "audio/SoundManager.hpp"
#include "engine/Application.hpp"
#include "engine/Behavior.hpp"
#include "engine/GraphicsContext.hpp"
#include "engine/World.hpp"

#include <gtest/gtest.h>

#include <deque>
#include <memory>

using namespace vorn::audio;

namespace {

class FocusWindow : public vorn::engine::GraphicsContext {
public:
    std::deque<sf::Event> events;
    bool pollEvent(sf::Event& event) override {
        if (events.empty())
            return false;
        event = events.front();
        events.pop_front();
        return true;
    }
    void display() override {}
    void setViewport(unsigned, unsigned) override {}
    void prepareDefaultState() override {}
};

class UpdateCounter : public vorn::engine::Behavior {
public:
    void update(float) override { ++updates; }
    int updates = 0;
};

} // namespace

TEST(FocusMuteTest, FocusLossStopsUpdatesAndSilencesTheMixUntilFocusReturns) {
    audiotest::TempDir dir;
    std::unique_ptr<SoundManager> manager = audiotest::makeLoopbackManager();
    const std::string path = dir.file("tune.wav");
    audiotest::writeTone(path, 440.0, 1.0, 0.5);
    manager->registerMusic(path, "tune");
    manager->playMusic("tune", 1.0f, 0.0f);

    FocusWindow window;
    vorn::engine::Application app(&window, 20.0f, 60.0f, "assets/");
    auto world = std::make_shared<vorn::engine::World>();
    auto* counter = new UpdateCounter;
    world->addComponent(counter);
    app.setWorld(world);
    app.setFocusCallback([&](bool focused) { manager->setMuted(!focused); });

    // A quarter of a second of frames, each followed by its share of the mix.
    const auto play = [&](int frames) {
        audiotest::Capture mix;
        for (int i = 0; i < frames; ++i) {
            app.runFrame(1.0f / 60.0f);
            mix.append(audiotest::runFrames(*manager, 60.0, 1.0 / 60.0));
        }
        return mix;
    };
    sf::Event event{};

    const double playing = play(15).tail(0.1).toneLevel(0, 440.0);
    ASSERT_GT(playing, 0.05) << "the tune does not sound to begin with";
    EXPECT_EQ(counter->updates, 15);

    event.type = sf::Event::LostFocus;
    window.events.push_back(event);
    const audiotest::Capture muted = play(15);
    EXPECT_TRUE(manager->isMuted());
    EXPECT_LT(muted.tail(0.1).rms(0), 1e-4) << "still audible without the focus";
    EXPECT_EQ(counter->updates, 15) << "the world moved without the focus";

    event.type = sf::Event::GainedFocus;
    window.events.push_back(event);
    const double resumed = play(15).tail(0.1).toneLevel(0, 440.0);
    EXPECT_FALSE(manager->isMuted());
    EXPECT_NEAR(resumed, playing, 0.1 * playing) << "the tune did not come back";
    EXPECT_EQ(counter->updates, 30);
}
