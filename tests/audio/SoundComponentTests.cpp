// The sound components in a World: the listener following its entity, the scene's sounds ending
// with its world, and the looping emitter.

#include "AudioTestSupport.hpp"

#include "audio/SoundEmitter.hpp"
#include "audio/SoundListener.hpp"
#include "audio/SoundManager.hpp"
#include "audio/SoundUpdate.hpp"
#include "engine/DiagnosticsCapture.hpp"
#include "engine/Transform.hpp"
#include "engine/VelocitySource.hpp"
#include "engine/World.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <gtest/gtest.h>

#include <memory>

using namespace vorn::audio;
using audiotest::Capture;
using vorn::components::SoundEmitter;
using vorn::components::SoundListener;
using vorn::components::Transform;
using vorn::engine::DiagnosticsCapture;
using vorn::engine::World;
using vorn::systems::SoundUpdate;

namespace {

// A stand-in for the physics body: answers "body" and reports a velocity.
class MovingBody : public vorn::engine::Component, public vorn::engine::VelocitySource {
public:
    explicit MovingBody(const glm::vec3& velocity) : velocity(velocity) { addName("body"); }
    glm::vec3 currentVelocity() const override { return velocity; }
    glm::vec3 velocity;
};

Transform* transformAt(const glm::vec3& position) {
    return new Transform(glm::translate(glm::mat4(1.0f), position));
}

class SoundComponentTest : public ::testing::Test {
protected:
    audiotest::TempDir dir;
    std::unique_ptr<SoundManager> manager = audiotest::makeLoopbackManager();

    void sound(const std::string& name, double frequency, double seconds) {
        const std::string path = dir.file(name + ".wav");
        audiotest::writeTone(path, frequency, seconds, 0.5);
        manager->registerSound(path, mode::LoopNormal, name);
    }
    // Frames of the game: the world's update, then the manager's, then the frame's samples.
    Capture run(World& world, double seconds) {
        Capture capture;
        for (int i = 0; i < static_cast<int>(seconds * 60.0 + 0.5); ++i) {
            world.update(1.0f / 60.0f);
            capture.append(audiotest::runFrames(*manager, 60.0, 1.0 / 60.0));
        }
        return capture;
    }
};

} // namespace

TEST_F(SoundComponentTest, ListenerCopiesItsEntitysPositionAndVelocity) {
    World world;
    const auto entity = world.createEntity();
    Transform* transform = transformAt({3.0f, 4.0f, 5.0f});
    world.addComponent(entity, transform);
    auto* body = new MovingBody({1.0f, 2.0f, 3.0f});
    world.addComponent(entity, body);
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    const glm::vec3 forward(0.0f, 0.0f, 1.0f);
    auto* listener = new SoundListener(up, forward, *manager);
    EXPECT_TRUE(listener->hasName("listener"));
    EXPECT_TRUE(listener->hasName("behavior"));
    EXPECT_EQ(manager->listenerPosition(), glm::vec3(0.0f, 0.0f, -500.0f));
    EXPECT_EQ(manager->listenerUp(), up);
    EXPECT_EQ(manager->listenerForward(), forward);
    world.addComponent(entity, listener);
    world.start();
    world.update(0.016f);
    EXPECT_EQ(manager->listenerPosition(), glm::vec3(3.0f, 4.0f, 5.0f));
    EXPECT_EQ(manager->listenerVelocity(), glm::vec3(1.0f, 2.0f, 3.0f));

    delete world.removeComponent(body);
    transform->setPosition({6.0f, 0.0f, 0.0f});
    world.update(0.016f);
    EXPECT_EQ(manager->listenerPosition(), glm::vec3(6.0f, 0.0f, 0.0f));
    EXPECT_EQ(manager->listenerVelocity(), glm::vec3(1.0f, 2.0f, 3.0f)) << "kept without a body";
    delete world.removeComponent(transform);
    world.update(0.016f);
    EXPECT_EQ(manager->listenerPosition(), glm::vec3(6.0f, 0.0f, 0.0f)) << "left where it was";
    EXPECT_EQ(manager->listenerForward(), forward);
}

TEST_F(SoundComponentTest, MovingTheListenersEntityPansSounds) {
    sound("hum", 440, 5.0);
    World world;
    const auto camera = world.createEntity();
    Transform* transform = transformAt({20.0f, 0.0f, 0.0f});
    world.addComponent(camera, transform);
    world.addComponent(camera, new SoundListener({0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, *manager));
    world.start();
    SoundInstance* hum = manager->createSoundInstance("hum", glm::vec3(0.0f), glm::vec3(0.0f));
    manager->playInstance(hum, glm::vec3(0.0f, 0.0f, 10.0f), 1.0f, 1.0f, 10000.0f);
    const Capture before = run(world, 0.2).tail(0.1);
    EXPECT_GT(before.toneLevel(0, 440), 2.0 * before.toneLevel(1, 440));

    transform->setPosition({-20.0f, 0.0f, 0.0f});
    const Capture after = run(world, 0.2).tail(0.05);
    EXPECT_GT(after.toneLevel(1, 440), 2.0 * after.toneLevel(0, 440)) << "within 0.1 s and a glide";
}

TEST_F(SoundComponentTest, DestroyingASceneStopsOnlyTheSoundsItStarted) {
    sound("low", 440, 5.0);
    sound("high", 880, 5.0);
    const glm::vec3 ahead(0.0f, 0.0f, 1.0f);

    manager->acquireSlot();
    auto first = std::make_shared<World>();
    auto* firstEnd = new SoundUpdate(*manager);
    EXPECT_EQ(firstEnd->slot(), 1);
    EXPECT_TRUE(firstEnd->hasName("soundUpdate"));
    first->addComponent(firstEnd);
    SoundInstance* low = manager->createSoundInstance("low", ahead, glm::vec3(0.0f));
    manager->playInstance(low, ahead, 1.0f, 1.0f, 10000.0f);

    manager->acquireSlot();
    auto second = std::make_shared<World>();
    second->addComponent(new SoundUpdate(*manager));
    SoundInstance* high = manager->createSoundInstance("high", ahead, glm::vec3(0.0f));
    manager->playInstance(high, ahead, 1.0f, 1.0f, 10000.0f);

    const Capture both = audiotest::runFrames(*manager, 60.0, 0.2).tail(0.1);
    ASSERT_GT(both.toneLevel(0, 440), 0.1);
    ASSERT_GT(both.toneLevel(0, 880), 0.1);

    first.reset();
    const Capture after = audiotest::runFrames(*manager, 60.0, 0.2).tail(0.1);
    EXPECT_LT(after.toneLevel(0, 440), 1e-3);
    EXPECT_NEAR(after.toneLevel(0, 880), both.toneLevel(0, 880), 0.02);
    EXPECT_EQ(manager->slotMask(), 0b101u) << "the slot is free again";
    manager->acquireSlot();
    EXPECT_EQ(manager->currentSlot(), 1);

    second.reset();
    EXPECT_LT(audiotest::runFrames(*manager, 60.0, 0.2).tail(0.1).toneLevel(0, 880), 1e-3);
}

TEST_F(SoundComponentTest, EmitterLoopsFollowsItsEntityAndChangesVolume) {
    sound("rumble", 330, 0.2);
    World world;
    const auto boulder = world.createEntity();
    Transform* transform = transformAt({0.0f, 0.0f, 1.0f});
    world.addComponent(boulder, transform);
    auto* emitter = new SoundEmitter("rumble", 1.0f, 1.0f, 10000.0f, *manager);
    EXPECT_TRUE(emitter->hasName("soundEmitter"));
    world.addComponent(boulder, emitter);
    world.start();

    const Capture looping = run(world, 1.0);
    const double full = looping.tail(0.2).toneLevel(0, 330);
    EXPECT_GT(full, 0.1) << "still sounding after five lengths of the file";
    EXPECT_LT(looping.longestSilence(0.002f), 8u);

    emitter->setVolume(0.5f);
    EXPECT_NEAR(run(world, 0.2).tail(0.1).toneLevel(0, 330) / full, 0.5, 0.02);
    Channel channel = emitter->instance().channel;
    ASSERT_EQ(channel.setPaused(true), Result::Ok);
    emitter->setVolume(0.25f);
    bool paused = false;
    ASSERT_EQ(channel.getPaused(paused), Result::Ok);
    EXPECT_TRUE(paused);
    EXPECT_FLOAT_EQ(emitter->volume(), 0.25f);
    EXPECT_LT(run(world, 0.2).tail(0.1).rms(0), 1e-4);
    ASSERT_EQ(channel.setPaused(false), Result::Ok);
    EXPECT_NEAR(run(world, 0.2).tail(0.1).toneLevel(0, 330) / full, 0.25, 0.02);

    transform->setPosition({8.0f, 0.0f, 1.0f});
    const Capture moved = run(world, 0.3).tail(0.1);
    EXPECT_GT(moved.toneLevel(1, 330), 2.0 * moved.toneLevel(0, 330)) << "the sound follows";

    // A second emitter of the same sound has a channel of its own.
    const auto other = world.createEntity();
    world.addComponent(other, transformAt({0.0f, 0.0f, 1.0f}));
    auto* second = new SoundEmitter("rumble", 1.0f, 1.0f, 10000.0f, *manager);
    world.addComponent(other, second);
    second->setVolume(0.0f);
    float volume = -1.0f;
    ASSERT_EQ(emitter->instance().channel.getVolume(volume), Result::Ok);
    EXPECT_FLOAT_EQ(volume, 0.25f);

    delete world.removeComponent(emitter);
    delete world.removeComponent(second);
    EXPECT_LT(run(world, 0.2).tail(0.1).rms(0), 1e-4) << "removed emitters fall silent";
}

TEST_F(SoundComponentTest, EmitterStopsWithItsWorldEvenWithoutSceneCleanUp) {
    sound("rumble", 330, 0.2);
    {
        World world;
        const auto entity = world.createEntity();
        world.addComponent(entity, transformAt({0.0f, 0.0f, 1.0f}));
        world.addComponent(entity, new SoundEmitter("rumble", 1.0f, 1.0f, 10000.0f, *manager));
        world.start();
        ASSERT_GT(run(world, 0.3).tail(0.1).rms(0), 0.05);
    }
    EXPECT_LT(audiotest::runFrames(*manager, 60.0, 0.2).tail(0.1).rms(0), 1e-4);

    const DiagnosticsCapture capture;
    World world;
    world.addComponent(world.createEntity(),
                       new SoundEmitter("unknown", 1.0f, 1.0f, 10.0f, *manager));
    world.start();
    world.update(0.016f);
    EXPECT_EQ(capture.outText(), "Sound unknown not found.\n\n");
}
