// The sound manager over a loopback sound system: its tables and their limits, scene slots,
// instances, music cross-fades and the periodic listener push. Messages are checked on the
// captured diagnostics stream, everything audible on the captured mix.

#include "AudioTestSupport.hpp"

#include "audio/SoundManager.hpp"
#include "engine/DiagnosticsCapture.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace vorn::audio;
using audiotest::Capture;
using vorn::engine::DiagnosticsCapture;

namespace {

class SoundManagerTest : public ::testing::Test {
protected:
    audiotest::TempDir dir;
    std::unique_ptr<SoundManager> manager = audiotest::makeLoopbackManager();

    // Registers a positioned sound of a tone, as the game's table does (looping mode).
    void sound(const std::string& name, double frequency, double seconds = 3.0) {
        const std::string path = dir.file(name + ".wav");
        audiotest::writeTone(path, frequency, seconds, 0.5);
        manager->registerSound(path, mode::LoopNormal, name);
    }
    // Registers a music stream of a tone with whole cycles, so that it loops seamlessly.
    void music(const std::string& name, double frequency, const std::string& extension = ".wav",
               double seconds = 1.0) {
        const std::string path = dir.file(name + extension);
        audiotest::writeTone(path, frequency, seconds, 0.5);
        manager->registerMusic(path, name);
    }
    SoundInstance* playAt(const std::string& name, const glm::vec3& position) {
        SoundInstance* instance = manager->createSoundInstance(name, position, glm::vec3(0.0f));
        manager->playInstance(instance, position, 1.0f, 1.0f, 10000.0f);
        return instance;
    }
    Capture frames(double seconds, double fps = 60.0) {
        return audiotest::runFrames(*manager, fps, seconds);
    }
    static float volumeOf(const Channel& channel) {
        float volume = -1.0f;
        EXPECT_EQ(channel.getVolume(volume), Result::Ok);
        return volume;
    }
};

const glm::vec3 kAhead(0.0f, 0.0f, 1.0f); // one unit ahead of the listener at the origin

} // namespace

TEST_F(SoundManagerTest, TableLimitsAndUnknownNamesAreReported) {
    const std::string wav = dir.file("t.wav");
    audiotest::writeTone(wav, 440, 0.05, 0.5);
    std::optional<DiagnosticsCapture> capture;
    capture.emplace();
    for (int i = 0; i < 150; ++i) {
        manager->registerSound(wav, mode::LoopNormal, "s" + std::to_string(i));
    }
    for (int i = 0; i < 30; ++i) {
        manager->registerMusic(wav, "m" + std::to_string(i));
    }
    EXPECT_EQ(capture->outText(), "");
    EXPECT_EQ(manager->soundCount(), 150u);
    EXPECT_EQ(manager->musicCount(), 30u);

    capture.emplace();
    manager->registerSound(wav, mode::LoopNormal, "extra");
    EXPECT_EQ(capture->outText(), "Max sound limit reached\n");
    capture.emplace();
    manager->registerMusic(wav, "extraMusic");
    EXPECT_EQ(capture->outText(), "Max music limit reached\n");
    EXPECT_EQ(manager->soundCount(), 150u);
    EXPECT_EQ(manager->musicCount(), 30u);

    capture.emplace();
    EXPECT_EQ(manager->createSoundInstance("extra", kAhead, glm::vec3(0.0f)), nullptr);
    EXPECT_EQ(manager->createSoundInstance("nope", kAhead, glm::vec3(0.0f)), nullptr);
    manager->playMusic("extraMusic", 0.3f, 5.0f);
    EXPECT_EQ(capture->outText(),
              "Sound extra not found.\n\nSound nope not found.\n\nCannot find sound: extraMusic\n");
    EXPECT_EQ(manager->currentMusic().mode, -1) << "nothing started";
    EXPECT_NE(manager->createSoundInstance("s149", kAhead, glm::vec3(0.0f)), nullptr);

    // The fixture took slot 0; seven more fill the mask and the ninth finds none.
    capture.emplace();
    for (int i = 1; i < 8; ++i) {
        manager->acquireSlot();
        EXPECT_EQ(manager->currentSlot(), i);
    }
    EXPECT_EQ(capture->outText(), "");
    EXPECT_EQ(manager->slotMask(), 0xFFu);
    capture.emplace();
    manager->acquireSlot();
    EXPECT_EQ(capture->outText(), "Error than 8 scenes requested\n");
    EXPECT_EQ(manager->currentSlot(), 7) << "new instances keep joining a real slot";
    EXPECT_EQ(manager->referenceCount(), 9);
}

TEST_F(SoundManagerTest, InstancesOfASlotAreKeptInNameOrder) {
    for (const char* name : {"swing", "hit", "antDeath", "Alpha"}) {
        sound(name, 440, 0.1);
    }
    const std::string longName(50, 'q');
    sound(longName, 440, 0.1);

    SoundInstance* hit = manager->createSoundInstance("hit", kAhead, glm::vec3(0.0f));
    for (const char* name : {"swing", "antDeath", "Alpha"}) {
        ASSERT_NE(manager->createSoundInstance(name, kAhead, glm::vec3(0.0f)), nullptr);
    }
    ASSERT_NE(manager->createSoundInstance(longName, kAhead, glm::vec3(0.0f)), nullptr)
        << "names longer than the table keeps still find their entry";
    const std::vector<std::string> expected = {"Alpha", "antDeath", "hit", std::string(41, 'q'),
                                               "swing"};
    EXPECT_EQ(manager->slotInstanceNames(0), expected) << "byte order: capitals first";

    const glm::vec3 elsewhere(3.0f, 0.0f, 0.0f);
    EXPECT_EQ(manager->createSoundInstance("hit", elsewhere, glm::vec3(0.0f)), hit)
        << "one instance per name and slot";
    EXPECT_EQ(hit->channelGroup, SoundManager::effectsGroup);
    EXPECT_EQ(hit->mode, static_cast<int>(SoundManager::soundCreateMode));
    manager->acquireSlot();
    EXPECT_NE(manager->createSoundInstance("hit", kAhead, glm::vec3(0.0f)), hit);
    EXPECT_EQ(manager->slotInstanceNames(1), std::vector<std::string>{"hit"});
}

TEST_F(SoundManagerTest, AnInstancePlaysOnceAndTwoPlaysOverlap) {
    sound("hit", 440, 0.5);
    SoundInstance* hit = playAt("hit", kAhead);
    const double single = frames(0.25).tail(0.2).toneLevel(0, 440);
    ASSERT_GT(single, 0.1);
    EXPECT_LT(frames(1.0).tail(0.5).rms(0), 1e-4) << "played once although registered looping";

    manager->playInstance(hit, kAhead, 1.0f, 1.0f, 10000.0f);
    const Channel first = hit->channel;
    manager->playInstance(hit, kAhead, 1.0f, 1.0f, 10000.0f);
    EXPECT_NE(hit->channel, first) << "each play takes a new channel";
    int playing = 0;
    ASSERT_EQ(manager->system().getChannelsPlaying(playing), Result::Ok);
    EXPECT_EQ(playing, 2);
    EXPECT_NEAR(frames(0.25).tail(0.2).toneLevel(0, 440) / single, 2.0, 0.05);
}

TEST_F(SoundManagerTest, FirstMusicPlaysAtFullVolumeAtOnce) {
    music("a", 440);
    manager->playMusic("a", 0.3f, 5.0f);
    EXPECT_EQ(manager->runningFades(), 0u) << "nothing to fade from";
    EXPECT_FLOAT_EQ(volumeOf(manager->currentMusic().channel), 1.0f) << "target ignored";
    EXPECT_EQ(manager->currentMusic().channelGroup, SoundManager::musicGroup);
    const double level = frames(0.1).tail(0.05).toneLevel(0, 440);

    // The same stream played straight through the layer at volume 1 sounds the same.
    Sound* stream = nullptr;
    ASSERT_EQ(manager->system().createStream(dir.file("a.wav"), mode::TwoD, stream), Result::Ok);
    Channel direct;
    ASSERT_EQ(manager->system().playSound(stream, false, direct), Result::Ok);
    Channel music = manager->currentMusic().channel;
    ASSERT_EQ(music.setPaused(true), Result::Ok);
    const double reference = frames(0.1).tail(0.05).toneLevel(0, 440);
    EXPECT_NEAR(level, reference, 0.02 * reference);
}

TEST_F(SoundManagerTest, CrossFadeLeavesOnlyTheNewTrackAtItsTarget) {
    music("a", 440);
    music("b", 660);
    manager->playMusic("a", 0.7f, 5.0f);
    const double full = frames(0.5).tail(0.25).toneLevel(0, 440);
    ASSERT_GT(full, 0.1);

    const DiagnosticsCapture capture;
    manager->playMusic("b", 0.3f, 5.0f);
    EXPECT_EQ(manager->runningFades(), 1u);
    EXPECT_FLOAT_EQ(volumeOf(manager->currentMusic().channel), 0.0f) << "fades in from silence";

    const Capture halfway = frames(2.5).tail(0.1);
    EXPECT_NEAR(halfway.toneLevel(0, 440) / full, 0.5, 0.03);
    EXPECT_NEAR(halfway.toneLevel(0, 660) / full, 0.15, 0.01);

    const Capture after = frames(3.0).tail(0.5);
    EXPECT_LT(after.toneLevel(0, 440) / full, 0.01) << "only the new track is left";
    EXPECT_NEAR(after.toneLevel(0, 660) / full, 0.3, 0.01);
    EXPECT_EQ(manager->runningFades(), 0u);
    EXPECT_FLOAT_EQ(volumeOf(manager->currentMusic().channel), 0.3f);
    EXPECT_EQ(manager->previousMusic().name, "a");
    EXPECT_EQ(capture.outText(), "");
}

TEST_F(SoundManagerTest, AFinishedFadeLeavesOneChannelPlaying) {
    const auto channelsPlaying = [&] {
        int count = -1;
        EXPECT_EQ(manager->system().getChannelsPlaying(count), Result::Ok);
        return count;
    };
    // Instant, short and long fades; the long one is checked halfway as well.
    for (const float fadeSeconds : {0.0f, 0.5f, 2.0f}) {
        manager = audiotest::makeLoopbackManager();
        music("a", 440);
        music("b", 660);
        manager->playMusic("a", 1.0f, 0.0f);
        const double full = frames(0.3).tail(0.2).toneLevel(0, 440);
        ASSERT_GT(full, 0.1);
        manager->playMusic("b", 0.6f, fadeSeconds);
        if (fadeSeconds > 1.0f) {
            frames(fadeSeconds / 2.0f);
            EXPECT_EQ(channelsPlaying(), 2) << "both tracks sound during the fade";
        }
        const Capture after = frames(fadeSeconds + 0.5).tail(0.25);
        EXPECT_EQ(channelsPlaying(), 1) << "fade of " << fadeSeconds << " s";
        bool playing = true;
        ASSERT_EQ(manager->previousMusic().channel.isPlaying(playing), Result::Ok);
        EXPECT_FALSE(playing) << "the faded-out track is stopped";
        EXPECT_EQ(manager->runningFades(), 0u);
        EXPECT_LT(after.toneLevel(0, 440) / full, 1e-3) << "nothing is left of the old track";
        EXPECT_NEAR(after.toneLevel(0, 660) / full, 0.6, 0.02) << "the new track plays on";
    }
}

TEST_F(SoundManagerTest, ThirdMusicDuringAFadeStopsTheOldestAtOnce) {
    music("a", 440);
    music("b", 660);
    music("c", 880);
    manager->playMusic("a", 1.0f, 5.0f);
    const double full = frames(0.5).tail(0.25).toneLevel(0, 440);
    const DiagnosticsCapture capture;
    manager->playMusic("b", 1.0f, 5.0f);
    frames(1.0);
    manager->playMusic("c", 0.3f, 5.0f);
    const Capture next = frames(0.2).tail(0.1);
    EXPECT_LT(next.toneLevel(0, 440) / full, 0.005);
    EXPECT_GT(next.toneLevel(0, 660) / full, 0.1) << "the middle track fades out";
    EXPECT_EQ(manager->runningFades(), 1u);
    bool playing = true;
    manager->previousMusic().channel.isPlaying(playing);
    EXPECT_TRUE(playing);

    const Capture after = frames(5.0).tail(0.5);
    EXPECT_LT(after.toneLevel(0, 660) / full, 0.01);
    EXPECT_NEAR(after.toneLevel(0, 880) / full, 0.3, 0.015);
    EXPECT_EQ(capture.outText(), "") << "no reports about the stopped track";
}

TEST_F(SoundManagerTest, LoopingMp3MusicPlaysWithoutGapsAt20And60Fps) {
    // Half a second of 440 Hz: whole cycles, so the loop seam is continuous.
    music("song", 440, ".mp3", 0.5);
    for (const double fps : {20.0, 60.0}) {
        manager->playMusic("song", 1.0f, 0.0f);
        const Capture capture = frames(6.0, fps).slice(audiotest::kRate / 10, 5 * audiotest::kRate);
        EXPECT_LT(capture.longestSilence(0.002f), 8u) << fps << " fps";
        const double first = capture.slice(0, 11025).toneLevel(0, 440);
        EXPECT_GT(first, 0.1);
        for (std::size_t start = 0; start + 11025 <= capture.frames(); start += 11025) {
            EXPECT_NEAR(capture.slice(start, 11025).toneLevel(0, 440), first, 0.05 * first)
                << fps << " fps, window at frame " << start;
        }
    }
    EXPECT_EQ(manager->system().streamUnderruns(), 0u);
}

TEST_F(SoundManagerTest, FadesKeepEachChannelsPauseState) {
    music("a", 440);
    music("b", 660);
    manager->playMusic("a", 1.0f, 5.0f);
    manager->playMusic("b", 0.5f, 2.0f);
    Channel fadingIn = manager->currentMusic().channel;
    ASSERT_EQ(fadingIn.setPaused(true), Result::Ok);
    const Capture during = frames(1.0).tail(0.2);
    bool paused = false;
    ASSERT_EQ(fadingIn.getPaused(paused), Result::Ok);
    EXPECT_TRUE(paused);
    EXPECT_NEAR(volumeOf(fadingIn), 0.25f, 0.01f) << "the fade moves on while paused";
    EXPECT_LT(during.toneLevel(0, 660), 1e-4);
    EXPECT_GT(during.toneLevel(0, 440), 0.05);
    ASSERT_EQ(manager->previousMusic().channel.getPaused(paused), Result::Ok);
    EXPECT_FALSE(paused);
    frames(1.5);
    ASSERT_EQ(fadingIn.getPaused(paused), Result::Ok);
    EXPECT_TRUE(paused) << "the fade's last step keeps it too";
    EXPECT_FLOAT_EQ(volumeOf(fadingIn), 0.5f);
}

TEST_F(SoundManagerTest, ListenerIsPushedOnTheFirstFrameThenEveryTenthOfASecond) {
    sound("hum", 440);
    const auto pushed = [&] {
        glm::vec3 position, velocity, forward, up;
        EXPECT_EQ(manager->system().get3DListenerAttributes(0, position, velocity, forward, up),
                  Result::Ok);
        return position;
    };
    EXPECT_FLOAT_EQ(manager->listenerTimer(), 0.1f);
    EXPECT_EQ(manager->listenerPosition(), glm::vec3(0.0f, 0.0f, -1.0f));
    const glm::vec3 right(7.0f, 0.0f, 1.0f);
    manager->setListenerPosition(right);
    playAt("hum", glm::vec3(0.0f, 0.0f, 1.0f));
    manager->update(0.016f);
    EXPECT_EQ(pushed(), right) << "the first frame pushes at once";
    EXPECT_FLOAT_EQ(manager->listenerTimer(), 0.0f);
    const Capture first = audiotest::render(manager->system(), 0.05);
    EXPECT_GT(first.toneLevel(0, 440), 2.0 * first.toneLevel(1, 440))
        << "the listener stands right of the sound, so it is heard on the left";

    const glm::vec3 left(-7.0f, 0.0f, 1.0f);
    manager->setListenerPosition(left);
    for (int i = 0; i < 6; ++i) {
        manager->update(0.016f);
    }
    EXPECT_EQ(pushed(), right) << "0.096 s gathered: not yet";
    manager->update(0.016f);
    EXPECT_EQ(pushed(), left) << "past 0.1 s: pushed";
    EXPECT_FLOAT_EQ(manager->listenerTimer(), 0.0f);
    audiotest::render(manager->system(), 0.05); // the mixer glides to the new panning
    const Capture later = audiotest::render(manager->system(), 0.05);
    EXPECT_GT(later.toneLevel(1, 440), 2.0 * later.toneLevel(0, 440));
}

TEST_F(SoundManagerTest, ReleasingASlotSilencesOnlyItsSounds) {
    sound("low", 440);
    sound("high", 880);
    manager->acquireSlot();
    ASSERT_EQ(manager->currentSlot(), 1);
    playAt("low", kAhead);
    manager->acquireSlot();
    ASSERT_EQ(manager->currentSlot(), 2);
    playAt("high", kAhead);
    const Capture both = frames(0.3).tail(0.2);
    const double low = both.toneLevel(0, 440);
    const double high = both.toneLevel(0, 880);
    ASSERT_GT(low, 0.1);
    ASSERT_GT(high, 0.1);

    manager->setActive(true);
    manager->releaseSlot(1);
    manager->freeSlot(1);
    EXPECT_FALSE(manager->isActive());
    EXPECT_TRUE(manager->slotInstanceNames(1).empty());
    EXPECT_EQ(manager->slotMask(), 0b101u);
    const Capture after = frames(0.3).tail(0.2);
    EXPECT_LT(after.toneLevel(0, 440), 0.005 * low);
    EXPECT_NEAR(after.toneLevel(0, 880), high, 0.02 * high);

    // Without the active flag a release does nothing.
    manager->releaseSlot(2);
    EXPECT_NEAR(frames(0.2).tail(0.1).toneLevel(0, 880), high, 0.02 * high);
    manager->acquireSlot();
    EXPECT_EQ(manager->currentSlot(), 1) << "the freed slot is the lowest free one";
}

TEST_F(SoundManagerTest, ReleasingASlotStopsEveryPlayOfItsInstances) {
    sound("hit", 440);
    manager->acquireSlot();
    SoundInstance* hit = playAt("hit", kAhead);
    frames(0.1);
    manager->playInstance(hit, kAhead, 1.0f, 1.0f, 10000.0f);
    ASSERT_GT(frames(0.2).tail(0.1).rms(0), 0.05);
    manager->setActive(true);
    manager->releaseSlot(manager->currentSlot());
    EXPECT_LT(frames(0.2).tail(0.1).rms(0), 1e-4) << "the earlier overlapping play too";
}

TEST_F(SoundManagerTest, SetInstanceVolumeKeepsThePauseState) {
    sound("hum", 440);
    SoundInstance* hum = playAt("hum", kAhead);
    const double full = frames(0.2).tail(0.1).toneLevel(0, 440);
    Channel channel = hum->channel;
    ASSERT_EQ(channel.setPaused(true), Result::Ok);
    manager->setInstanceVolume(hum, 0.5f);
    bool paused = false;
    ASSERT_EQ(channel.getPaused(paused), Result::Ok);
    EXPECT_TRUE(paused);
    EXPECT_FLOAT_EQ(hum->volume, 0.5f);
    EXPECT_FLOAT_EQ(volumeOf(channel), 0.5f);
    EXPECT_LT(frames(0.2).tail(0.1).rms(0), 1e-4);
    ASSERT_EQ(channel.setPaused(false), Result::Ok);
    EXPECT_NEAR(frames(0.2).tail(0.1).toneLevel(0, 440) / full, 0.5, 0.02);
    manager->setInstanceVolume(hum, 0.25f);
    ASSERT_EQ(channel.getPaused(paused), Result::Ok);
    EXPECT_FALSE(paused);
    EXPECT_NEAR(frames(0.2).tail(0.1).toneLevel(0, 440) / full, 0.25, 0.02);
}

TEST_F(SoundManagerTest, ChannelGroupsScaleMusicAndEffectsByTheScenesAndThePlayersVolume) {
    ChannelGroup* musicGroup = manager->channelGroup(0);
    ChannelGroup* effects = manager->channelGroup(1);
    ChannelGroup* spare = manager->channelGroup(2);
    ASSERT_NE(musicGroup, nullptr);
    ASSERT_NE(effects, nullptr);
    ASSERT_NE(spare, nullptr);
    EXPECT_NE(musicGroup, effects);
    EXPECT_NE(effects, spare);
    EXPECT_EQ(manager->channelGroup(3), nullptr);
    EXPECT_EQ(manager->channelGroup(-1), nullptr);

    sound("hum", 660);
    music("a", 440);
    playAt("hum", kAhead);
    manager->playMusic("a", 1.0f, 0.0f);
    const Capture before = frames(0.2).tail(0.1);
    // An area sets its levels (music 0.6) and the settings the player's volumes; a group plays at
    // their product, whichever was set last.
    struct Step {
        int group;
        bool scene; // the scene's volume, else the player's
        float volume;
        double music;
        double effects;
    };
    const Step steps[] = {
        {0, true, 0.6f, 0.6, 1.0}, {1, false, 0.5f, 0.6, 0.5}, {0, false, 0.5f, 0.3, 0.5},
        {0, true, 1.0f, 0.5, 0.5}, {1, true, 0.4f, 0.5, 0.2},  {1, false, 0.0f, 0.5, 0.0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(::testing::Message()
                     << step.group << (step.scene ? " scene " : " player ") << step.volume);
        if (step.scene)
            manager->setSceneVolume(step.group, step.volume);
        else
            manager->setPlayerVolume(step.group, step.volume);
        const Capture after = frames(0.2).tail(0.1);
        EXPECT_NEAR(after.toneLevel(0, 440) / before.toneLevel(0, 440), step.music, 0.02);
        EXPECT_NEAR(after.toneLevel(0, 660) / before.toneLevel(0, 660), step.effects, 0.02);
    }
}

TEST_F(SoundManagerTest, BadFilesAreReportedAndTheRestOfTheTableWorks) {
    const std::string good = dir.file("good.wav");
    audiotest::writeTone(good, 440, 2.0, 0.5);
    const std::string wav = audiotest::readBytes(good, 1 << 20);
    audiotest::writeBytes(dir.file("empty.wav"), "");
    audiotest::writeBytes(dir.file("cut.wav"), wav.substr(0, 40));
    audiotest::writeBytes(dir.file("text.wav"), "just some words, no sound\n");
    audiotest::writeBytes(dir.file("inside.mp3"), wav);

    std::optional<DiagnosticsCapture> capture;
    capture.emplace();
    manager->registerSound(dir.file("missing.wav"), mode::LoopNormal, "missing");
    manager->registerSound(dir.file("empty.wav"), mode::LoopNormal, "empty");
    manager->registerSound(dir.file("cut.wav"), mode::LoopNormal, "cut");
    manager->registerSound(dir.file("text.wav"), mode::LoopNormal, "text");
    manager->registerMusic(dir.file("inside.mp3"), "inside");
    manager->registerMusic(dir.file("missing.mp3"), "gone");
    manager->registerSound(good, mode::LoopNormal, "good");
    manager->registerMusic(good, "goodMusic");
    const std::string expected = std::string("FMOD error! (5) ") + resultString(5) + "\n" +
                                 "FMOD error! (6) " + resultString(6) + "\n" + "FMOD error! (7) " +
                                 resultString(7) + "\n" + "FMOD error! (7) " + resultString(7) +
                                 "\n" + "FMOD error! (8) " + resultString(8) + "\n" +
                                 "FMOD error! (5) " + resultString(5) + "\n";
    EXPECT_EQ(capture->outText(), expected);
    EXPECT_EQ(capture->errText(),
              "Sound \"missing\": could not load " + dir.file("missing.wav") + "\n" +
                  "Sound \"empty\": could not load " + dir.file("empty.wav") + "\n" +
                  "Sound \"cut\": could not load " + dir.file("cut.wav") + "\n" +
                  "Sound \"text\": could not load " + dir.file("text.wav") + "\n" +
                  "Music \"inside\": could not load " + dir.file("inside.mp3") + "\n" +
                  "Music \"gone\": could not load " + dir.file("missing.mp3") + "\n");
    EXPECT_EQ(manager->soundCount(), 5u) << "failed entries keep their names";
    EXPECT_EQ(manager->musicCount(), 3u);

    capture.emplace();
    SoundInstance* silent = playAt("missing", kAhead);
    EXPECT_NE(silent, nullptr);
    playAt("text", kAhead);
    playAt("good", kAhead);
    manager->playMusic("goodMusic", 1.0f, 1.0f);
    const double full = frames(0.3).tail(0.2).toneLevel(0, 440);
    EXPECT_GT(full, 0.1);
    manager->playMusic("gone", 1.0f, 1.0f);
    frames(1.5);
    EXPECT_EQ(capture->outText(), "") << "failed files were reported once, at registration";
    bool playing = true;
    EXPECT_EQ(manager->previousMusic().channel.isPlaying(playing), Result::Ok);
    EXPECT_FALSE(playing) << "a track that cannot play still fades the old one out";
}

TEST(SoundManagerVersionTest, AnOlderLayerIsRefused) {
    auto system = std::make_unique<SoundSystem>();
    ASSERT_EQ(system->setOutput(OutputType::Loopback), Result::Ok);
    SoundManager manager(std::move(system), layerVersion + 1);
    const DiagnosticsCapture capture;
    manager.acquireSlot();
    manager.registerSound("whatever.wav", mode::LoopNormal, "x");
    manager.update(0.2f);
    EXPECT_EQ(capture.outText(),
              "Error!  You are using an old version of FMOD 00010200.  This program requires "
              "00010201\nFMOD error! (3) The sound system has not been initialised.\n");
    EXPECT_FALSE(manager.isInitialized());
    EXPECT_EQ(manager.channelGroup(0), nullptr);
}
