// The sound layer on its own: results, playback levels, pausing, loops, 3D panning and roll-off,
// streams, bad files and the output choices. Everything audible is checked on the loopback mix.

#include "AudioTestSupport.hpp"

#include "audio/Result.hpp"
#include "audio/SoundSystem.hpp"
#include "engine/DiagnosticsCapture.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

using namespace vorn::audio;
using audiotest::Capture;
using vorn::engine::DiagnosticsCapture;

namespace {

class SoundSystemTest : public ::testing::Test {
protected:
    audiotest::TempDir dir;
    std::unique_ptr<SoundSystem> system = audiotest::makeLoopbackSystem();

    Sound* tone(const std::string& name, double frequency, double seconds, unsigned mode,
                bool stream = false, int channels = 1) {
        const std::string path = dir.file(name);
        audiotest::writeTone(path, frequency, seconds, 0.5, channels);
        Sound* sound = nullptr;
        const Result result = stream ? system->createStream(path, mode, sound)
                                     : system->createSound(path, mode, sound);
        EXPECT_EQ(result, Result::Ok) << resultString(result);
        return sound;
    }

    Channel play(Sound* sound) {
        Channel channel;
        EXPECT_EQ(system->playSound(sound, false, channel), Result::Ok);
        return channel;
    }

    // Level of the tone after the gain ramps of a change have settled.
    double settledLevel(double frequency, int side = 0) {
        audiotest::render(*system, 0.05);
        return audiotest::render(*system, 0.2).toneLevel(side, frequency);
    }
};

} // namespace

TEST(SoundResultTest, EveryCodeHasItsOwnMessage) {
    const int codes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 56};
    std::set<std::string> messages;
    for (const int code : codes) {
        const std::string message = resultString(code);
        EXPECT_NE(message, "Unknown error.") << code;
        EXPECT_EQ(message, resultString(static_cast<Result>(code)));
        messages.insert(message);
    }
    EXPECT_EQ(messages.size(), std::size(codes));
    EXPECT_STREQ(resultString(0), "No errors.");
    EXPECT_EQ(static_cast<int>(Result::OutputCreateBuffer), 56);
    EXPECT_NE(std::string(resultString(56)).find("output buffer"), std::string::npos);
    EXPECT_STREQ(resultString(57), "Unknown error.");
}

TEST_F(SoundSystemTest, VolumeOfChannelGroupAndMasterMultiply) {
    Sound* sound = tone("a.wav", 440, 3.0, mode::TwoD);
    Channel channel = play(sound);
    const double full = settledLevel(440);
    ASSERT_GT(full, 0.1);

    ASSERT_EQ(channel.setVolume(0.5f), Result::Ok);
    EXPECT_NEAR(settledLevel(440) / full, 0.5, 0.03);
    float volume = 0.0f;
    ASSERT_EQ(channel.getVolume(volume), Result::Ok);
    EXPECT_FLOAT_EQ(volume, 0.5f);

    ChannelGroup* group = nullptr;
    ASSERT_EQ(system->createChannelGroup("effects", group), Result::Ok);
    ASSERT_EQ(group->setVolume(0.5f), Result::Ok);
    ASSERT_EQ(channel.setChannelGroup(group), Result::Ok);
    EXPECT_NEAR(settledLevel(440) / full, 0.25, 0.02);

    ChannelGroup* master = nullptr;
    ASSERT_EQ(system->getMasterChannelGroup(master), Result::Ok);
    ASSERT_EQ(master->setVolume(0.5f), Result::Ok);
    EXPECT_NEAR(settledLevel(440) / full, 0.125, 0.01);

    // The channel's own volume is unchanged by its groups, and volumes stay within 0..1.
    ASSERT_EQ(channel.getVolume(volume), Result::Ok);
    EXPECT_FLOAT_EQ(volume, 0.5f);
    ASSERT_EQ(channel.setVolume(7.0f), Result::Ok);
    ASSERT_EQ(channel.getVolume(volume), Result::Ok);
    EXPECT_FLOAT_EQ(volume, 1.0f);
    EXPECT_EQ(channel.setVolume(NAN), Result::InvalidParam);
}

TEST_F(SoundSystemTest, PausingChannelOrGroupSilencesIt) {
    Sound* sound = tone("a.wav", 440, 3.0, mode::TwoD);
    Channel channel;
    ASSERT_EQ(system->playSound(sound, true, channel), Result::Ok);
    EXPECT_LT(settledLevel(440), 1e-4) << "a channel started paused waits";
    ASSERT_EQ(channel.setPaused(false), Result::Ok);
    const double full = settledLevel(440);
    ASSERT_GT(full, 0.1);

    ASSERT_EQ(channel.setPaused(true), Result::Ok);
    EXPECT_LT(settledLevel(440), 1e-4);
    bool paused = false;
    ASSERT_EQ(channel.getPaused(paused), Result::Ok);
    EXPECT_TRUE(paused);
    ASSERT_EQ(channel.setPaused(false), Result::Ok);
    EXPECT_NEAR(settledLevel(440), full, 0.02 * full);

    ChannelGroup* group = nullptr;
    ASSERT_EQ(system->createChannelGroup(nullptr, group), Result::Ok);
    ASSERT_EQ(channel.setChannelGroup(group), Result::Ok);
    ASSERT_EQ(group->setPaused(true), Result::Ok);
    EXPECT_LT(settledLevel(440), 1e-4);
    ASSERT_EQ(channel.getPaused(paused), Result::Ok);
    EXPECT_FALSE(paused) << "the group's pause leaves the channel's own flag alone";
    ASSERT_EQ(group->setPaused(false), Result::Ok);
    EXPECT_NEAR(settledLevel(440), full, 0.02 * full);
}

TEST_F(SoundSystemTest, StoppedAndFinishedChannelsGoStale) {
    Sound* sound = tone("short.wav", 440, 0.1, mode::TwoD);
    Channel stopped = play(sound);
    ASSERT_EQ(stopped.stop(), Result::Ok);
    float volume = 0.0f;
    EXPECT_EQ(stopped.getVolume(volume), Result::InvalidHandle);
    bool playing = true;
    ASSERT_EQ(stopped.isPlaying(playing), Result::Ok);
    EXPECT_FALSE(playing);
    EXPECT_LT(settledLevel(440), 1e-4);

    Channel finished = play(sound);
    ASSERT_EQ(finished.isPlaying(playing), Result::Ok);
    EXPECT_TRUE(playing);
    EXPECT_NE(finished, stopped) << "a reused channel is a new handle";
    audiotest::render(*system, 0.3);
    ASSERT_EQ(system->update(), Result::Ok);
    int count = -1;
    ASSERT_EQ(system->getChannelsPlaying(count), Result::Ok);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(finished.setVolume(0.3f), Result::InvalidHandle);
    EXPECT_EQ(Channel().setVolume(0.3f), Result::InvalidHandle);
}

// The live-object counts follow what the system holds: each loaded sound is one buffer, each voice
// that has played one source, each playing stream its queue of buffers, and voices are reused
// rather than made anew.
TEST_F(SoundSystemTest, LiveObjectCountsFollowSoundsAndVoices) {
    int sources = -1;
    int buffers = -1;
    ASSERT_EQ(system->getLiveObjectCounts(sources, buffers), Result::Ok);
    const int baseSources = sources;
    const int baseBuffers = buffers;
    Sound* first = tone("first.wav", 440, 0.1, mode::TwoD);
    Sound* second = tone("second.wav", 660, 0.1, mode::TwoD);
    ASSERT_EQ(system->getLiveObjectCounts(sources, buffers), Result::Ok);
    EXPECT_EQ(buffers, baseBuffers + 2);
    EXPECT_EQ(sources, baseSources);
    Channel a = play(first);
    Channel b = play(second);
    ASSERT_EQ(system->getLiveObjectCounts(sources, buffers), Result::Ok);
    EXPECT_EQ(sources, baseSources + 2);
    ASSERT_EQ(a.stop(), Result::Ok);
    ASSERT_EQ(b.stop(), Result::Ok);
    for (int i = 0; i < 5; ++i)
        play(first).stop();
    ASSERT_EQ(system->getLiveObjectCounts(sources, buffers), Result::Ok);
    EXPECT_EQ(sources, baseSources + 2);
    EXPECT_EQ(buffers, baseBuffers + 2);

    // A stream's buffers live only while it plays: kept by each voice that ever streamed, they
    // grew with the music started on new voices (found by the soak's menu visits).
    Sound* music = tone("music.wav", 330, 2.0, mode::TwoD, true);
    Channel streaming = play(music);
    ASSERT_EQ(system->getLiveObjectCounts(sources, buffers), Result::Ok);
    EXPECT_GT(buffers, baseBuffers + 2);
    ASSERT_EQ(streaming.stop(), Result::Ok);
    ASSERT_EQ(system->getLiveObjectCounts(sources, buffers), Result::Ok);
    EXPECT_EQ(buffers, baseBuffers + 2);
}

TEST_F(SoundSystemTest, LoopCountSetsHowOftenASoundPlays) {
    Sound* sound = tone("blip.wav", 1000, 0.1, mode::TwoD | mode::LoopNormal);
    const auto soundingSeconds = [&](int loopCount, unsigned channelMode) {
        Channel channel;
        EXPECT_EQ(system->playSound(sound, true, channel), Result::Ok);
        EXPECT_EQ(channel.setMode(channelMode), Result::Ok);
        EXPECT_EQ(channel.setLoopCount(loopCount), Result::Ok);
        EXPECT_EQ(channel.setPaused(false), Result::Ok);
        const Capture capture = audiotest::render(*system, 1.0);
        channel.stop();
        return static_cast<double>(capture.soundingFrames(0.01f)) / audiotest::kRate;
    };
    EXPECT_NEAR(soundingSeconds(0, mode::Default), 0.1, 0.005);
    EXPECT_NEAR(soundingSeconds(2, mode::Default), 0.3, 0.005);
    EXPECT_NEAR(soundingSeconds(-1, mode::Default), 1.0, 0.005);
    EXPECT_NEAR(soundingSeconds(3, mode::LoopOff), 0.1, 0.005) << "loop count needs looping";
    Channel channel;
    ASSERT_EQ(system->playSound(sound, true, channel), Result::Ok);
    EXPECT_EQ(channel.setLoopCount(-2), Result::InvalidParam);
    EXPECT_EQ(channel.setMode(mode::LoopOff | mode::LoopNormal), Result::InvalidParam);
}

TEST_F(SoundSystemTest, PositionedSoundIsLouderOnItsSide) {
    // A stereo file made positioned is mixed down to mono, which is what can be placed.
    Sound* sound = tone("stereo.wav", 440, 3.0, mode::ThreeD, false, 2);
    ASSERT_EQ(sound->channels(), 1);
    Channel channel = play(sound);
    const auto levels = [&](const glm::vec3& position) {
        EXPECT_EQ(channel.set3DAttributes(&position, nullptr), Result::Ok);
        return std::make_pair(settledLevel(440, 0), settledLevel(440, 1));
    };
    const auto [rightL, rightR] = levels({5.0f, 0.0f, 0.0f});
    EXPECT_GT(rightR, 2.0 * rightL) << "x points to the listener's right";
    const auto [leftL, leftR] = levels({-5.0f, 0.0f, 0.0f});
    EXPECT_GT(leftL, 2.0 * leftR);
    const auto [frontL, frontR] = levels({0.0f, 0.0f, 5.0f});
    EXPECT_NEAR(frontL, frontR, 0.02 * frontL) << "straight ahead is centred";

    // Turning the listener round swaps the sides.
    const glm::vec3 back(0.0f, 0.0f, -1.0f);
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    ASSERT_EQ(system->set3DListenerAttributes(0, nullptr, nullptr, &back, &up), Result::Ok);
    const auto [turnedL, turnedR] = levels({5.0f, 0.0f, 0.0f});
    EXPECT_GT(turnedL, 2.0 * turnedR);
    // Moving the listener past the sound does too.
    const glm::vec3 forward(0.0f, 0.0f, 1.0f);
    const glm::vec3 beyond(10.0f, 0.0f, 0.0f);
    ASSERT_EQ(system->set3DListenerAttributes(0, &beyond, nullptr, &forward, &up), Result::Ok);
    const auto [pastL, pastR] = levels({5.0f, 0.0f, 0.0f});
    EXPECT_GT(pastL, 2.0 * pastR);
}

TEST_F(SoundSystemTest, DistanceFollowsInverseRolloffBetweenMinAndMax) {
    Sound* sound = tone("a.wav", 440, 3.0, mode::ThreeD | mode::InverseRolloff);
    Channel channel = play(sound);
    ASSERT_EQ(channel.set3DMinMaxDistance(2.0f, 20.0f), Result::Ok);
    const auto levelAt = [&](float distance) {
        const glm::vec3 ahead(0.0f, 0.0f, distance);
        EXPECT_EQ(channel.set3DAttributes(&ahead, nullptr), Result::Ok);
        return settledLevel(440);
    };
    const double inside = levelAt(1.0f);
    ASSERT_GT(inside, 0.05);
    EXPECT_NEAR(levelAt(2.0f) / inside, 1.0, 0.02) << "full volume up to the minimum";
    EXPECT_NEAR(levelAt(8.0f) / inside, 0.25, 0.01) << "minimum / distance beyond it";
    EXPECT_NEAR(levelAt(20.0f) / inside, 0.1, 0.005);
    EXPECT_NEAR(levelAt(80.0f) / inside, 0.1, 0.005) << "no further drop past the maximum";
    EXPECT_EQ(channel.set3DMinMaxDistance(5.0f, 1.0f), Result::InvalidParam);
    const glm::vec3 bad(NAN, 0.0f, 0.0f);
    EXPECT_EQ(channel.set3DAttributes(&bad, nullptr), Result::InvalidParam);
}

TEST_F(SoundSystemTest, DopplerScaleAndDistanceFactorShiftTheTone) {
    Sound* sound = tone("a.wav", 1000, 3.0, mode::ThreeD);
    Channel channel = play(sound);
    // A tenth of the speed of sound (343.3 units per second at one unit per metre), straight at
    // the listener.
    const glm::vec3 where(0.0f, 0.0f, 10.0f);
    const glm::vec3 approaching(0.0f, 0.0f, -34.33f);
    ASSERT_EQ(channel.set3DAttributes(&where, &approaching), Result::Ok);
    const auto strongest = [&](std::initializer_list<double> frequencies) {
        const Capture capture = audiotest::render(*system, 0.3).tail(0.2);
        double best = 0.0;
        double found = 0.0;
        for (const double f : frequencies) {
            if (capture.toneLevel(0, f) > best) {
                best = capture.toneLevel(0, f);
                found = f;
            }
        }
        return found;
    };
    ASSERT_EQ(system->set3DSettings(1.0f, 1.0f, 1.0f), Result::Ok);
    EXPECT_EQ(strongest({1000, 1053, 1111}), 1111) << "f * c / (c - v)";
    ASSERT_EQ(system->set3DSettings(1.0f, 2.0f, 1.0f), Result::Ok);
    EXPECT_EQ(strongest({1000, 1053, 1111}), 1053) << "two units per metre: half the shift";
    ASSERT_EQ(system->set3DSettings(0.0f, 1.0f, 1.0f), Result::Ok);
    EXPECT_EQ(strongest({1000, 1053, 1111}), 1000) << "no Doppler";
}

TEST_F(SoundSystemTest, StreamsAreDecodedPieceByPiece) {
    Sound* whole = tone("long.wav", 440, 10.0, mode::TwoD, false, 2);
    Sound* stream = tone("long2.wav", 440, 10.0, mode::TwoD, true, 2);
    EXPECT_FALSE(whole->isStream());
    EXPECT_EQ(whole->decodedBytes(), 10u * audiotest::kRate * 2 * sizeof(std::int16_t));
    EXPECT_TRUE(stream->isStream());
    EXPECT_EQ(stream->decodedBytes(), 0u);
    EXPECT_NEAR(stream->lengthSeconds(), 10.0, 1e-6);
}

TEST_F(SoundSystemTest, StreamLoopsWithoutGapsWhenUpdatedEvery150ms) {
    // 440 whole cycles: the loop seam is continuous, so any silence is a gap.
    Sound* stream = tone("loop.wav", 440, 1.0, mode::TwoD | mode::LoopNormal, true);
    Channel channel = play(stream);
    Capture capture;
    for (int i = 0; i < 30; ++i) { // 4.5 s, more than four passes of the file
        ASSERT_EQ(system->update(), Result::Ok);
        capture.append(audiotest::render(*system, 0.15));
    }
    const Capture steady = capture.slice(2205, capture.frames() - 2205);
    EXPECT_LT(steady.longestSilence(0.002f), 8u);
    EXPECT_EQ(system->streamUnderruns(), 0u);
    // Every quarter second holds the whole tone (110 cycles), at one steady level.
    const double first = steady.slice(0, 11025).toneLevel(0, 440);
    EXPECT_GT(first, 0.2);
    for (std::size_t start = 0; start + 11025 <= steady.frames(); start += 11025) {
        const double level = steady.slice(start, 11025).toneLevel(0, 440);
        EXPECT_NEAR(level, first, 0.01 * first) << "window at frame " << start;
    }
    bool playing = false;
    ASSERT_EQ(channel.isPlaying(playing), Result::Ok);
    EXPECT_TRUE(playing);
}

TEST_F(SoundSystemTest, OneStreamPlaysOnSeveralChannelsAtOnce) {
    Sound* stream = tone("s.mp3", 330, 2.0, mode::TwoD, true);
    Channel first = play(stream);
    const double single = settledLevel(330);
    ASSERT_GT(single, 0.1);
    EXPECT_LT(audiotest::render(*system, 0.2).toneLevel(0, 880), 0.01 * single);
    ASSERT_EQ(first.stop(), Result::Ok);
    const Channel a = play(stream);
    const Channel b = play(stream);
    EXPECT_NE(a, b);
    EXPECT_NEAR(settledLevel(330) / single, 2.0, 0.05) << "both channels sound, in step";
}

TEST_F(SoundSystemTest, BusyChannelsGiveWayOldestFirst) {
    system = audiotest::makeLoopbackSystem(2);
    Sound* sound = tone("a.wav", 440, 2.0, mode::TwoD);
    const Channel a = play(sound);
    const Channel b = play(sound);
    const Channel c = play(sound);
    bool playing = true;
    a.isPlaying(playing);
    EXPECT_FALSE(playing);
    b.isPlaying(playing);
    EXPECT_TRUE(playing);
    c.isPlaying(playing);
    EXPECT_TRUE(playing);

    Sound* looped = tone("b.wav", 440, 0.5, mode::TwoD | mode::LoopNormal);
    play(looped);
    play(looped);
    Channel none;
    EXPECT_EQ(system->playSound(looped, false, none), Result::ChannelAlloc)
        << "channels looping forever are never taken";
    EXPECT_FALSE(none.isSet());
}

TEST_F(SoundSystemTest, BadFilesAreRefusedWithTheirReason) {
    const std::string good = dir.file("good.wav");
    audiotest::writeTone(good, 440, 1.0, 0.5);
    const std::string goodMp3 = dir.file("good.mp3");
    audiotest::writeTone(goodMp3, 440, 1.0, 0.5);
    const std::string wav = audiotest::readBytes(good, 1 << 20);
    const std::string mp3 = audiotest::readBytes(goodMp3, 1 << 20);

    struct Case {
        std::string name;
        std::string bytes;
        Result expected;
    };
    const Case cases[] = {
        {"empty.wav", "", Result::FileEmpty},
        {"headeronly.wav", wav.substr(0, 44), Result::FileNoData},
        {"text.wav", "this is not a sound at all, just words\n", Result::FileBad},
        {"noise.mp3", std::string(4000, '\x5a'), Result::FileBad},
        {"wavinside.mp3", wav, Result::FileExtension},
        {"mp3inside.wav", mp3, Result::FileExtension},
        {"tone.ogg", wav, Result::FileUnsupported},
        {"noextension", wav, Result::FileUnsupported},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file(c.name);
        audiotest::writeBytes(path, c.bytes);
        Sound* sound = reinterpret_cast<Sound*>(1);
        EXPECT_EQ(system->createSound(path, mode::ThreeD, sound), c.expected) << c.name;
        EXPECT_EQ(sound, nullptr);
        EXPECT_EQ(system->createStream(path, mode::TwoD, sound), c.expected) << c.name;
        EXPECT_EQ(sound, nullptr);
    }
    Sound* sound = nullptr;
    EXPECT_EQ(system->createSound(dir.file("missing.wav"), 0, sound), Result::FileNotFound);
    EXPECT_EQ(system->createStream(dir.path(), 0, sound), Result::FileNotFound) << "a folder";

    // A file cut short plays what it has.
    const std::string cut = dir.file("cut.wav");
    audiotest::writeBytes(cut, wav.substr(0, 44 + 2 * 4410));
    ASSERT_EQ(system->createSound(cut, mode::TwoD, sound), Result::Ok);
    play(sound);
    EXPECT_NEAR(audiotest::render(*system, 0.5).soundingFrames(0.01f) / double(audiotest::kRate),
                0.1, 0.005);
    const std::string cutMp3 = dir.file("cut.mp3");
    audiotest::writeBytes(cutMp3, mp3.substr(0, mp3.size() / 2));
    ASSERT_EQ(system->createStream(cutMp3, mode::TwoD, sound), Result::Ok);
    play(sound);
    EXPECT_GT(settledLevel(440), 0.1);

    // The system goes on working.
    ASSERT_EQ(system->createSound(good, mode::TwoD, sound), Result::Ok);
    play(sound);
    EXPECT_GT(settledLevel(440), 0.1);
}

TEST(SoundSystemOutputTest, WithoutOutputEverythingSucceedsSilently) {
    audiotest::TempDir dir;
    const std::string path = dir.file("a.wav");
    audiotest::writeTone(path, 440, 0.5, 0.5);
    SoundSystem system;
    ASSERT_EQ(system.setOutput(OutputType::NoSound), Result::Ok);
    const DiagnosticsCapture capture;
    ASSERT_EQ(system.init(100, 0), Result::Ok);
    const std::string said = capture.outText();
    EXPECT_EQ(said,
              "Sound: no audio output device could be opened; the game runs without sound.\n");

    Sound* sound = nullptr;
    ASSERT_EQ(system.createSound(path, mode::ThreeD, sound), Result::Ok);
    Sound* looped = nullptr;
    ASSERT_EQ(system.createStream(path, mode::TwoD | mode::LoopNormal, looped), Result::Ok);
    Channel once;
    Channel forever;
    ASSERT_EQ(system.playSound(sound, false, once), Result::Ok);
    ASSERT_EQ(system.playSound(looped, false, forever), Result::Ok);
    const glm::vec3 where(1.0f, 2.0f, 3.0f);
    EXPECT_EQ(once.set3DAttributes(&where, &where), Result::Ok);
    EXPECT_EQ(once.setVolume(0.5f), Result::Ok);
    EXPECT_EQ(once.setPaused(false), Result::Ok);
    EXPECT_EQ(system.set3DListenerAttributes(0, &where, nullptr, nullptr, nullptr), Result::Ok);
    float buffer[16];
    EXPECT_EQ(system.renderSamples(buffer, 8), Result::NotLoopback);
    EXPECT_EQ(system.update(), Result::Ok);
    bool playing = true;
    once.isPlaying(playing);
    EXPECT_FALSE(playing) << "a one-shot that nobody hears is over at the next update";
    forever.isPlaying(playing);
    EXPECT_TRUE(playing) << "a loop lasts until stopped";
    EXPECT_EQ(forever.stop(), Result::Ok);
}

TEST(SoundSystemOutputTest, LayoutTheLoopbackCannotRenderAsksForAnother) {
    SoundSystem system;
    ASSERT_EQ(system.setOutput(OutputType::Loopback), Result::Ok);
    int drivers = 0;
    ASSERT_EQ(system.getNumDrivers(drivers), Result::Ok);
    EXPECT_EQ(drivers, 1);
    unsigned capabilities = 99;
    SpeakerMode speakers = SpeakerMode::Raw;
    ASSERT_EQ(system.getDriverCaps(0, capabilities, speakers), Result::Ok);
    EXPECT_EQ(speakers, SpeakerMode::Stereo);
    EXPECT_EQ(system.getDriverCaps(1, capabilities, speakers), Result::InvalidDriver);
    char name[8];
    EXPECT_EQ(system.getDriverInfo(0, name, sizeof(name)), Result::Ok);
    EXPECT_LT(std::string(name).size(), sizeof(name)) << "the name is cut to fit";

    ASSERT_EQ(system.setSpeakerMode(SpeakerMode::Raw), Result::Ok);
    EXPECT_EQ(system.init(100, 0), Result::OutputCreateBuffer);
    EXPECT_FALSE(system.isInitialized());
    ASSERT_EQ(system.setSpeakerMode(SpeakerMode::Stereo), Result::Ok);
    ASSERT_EQ(system.init(100, 0), Result::Ok);
    EXPECT_EQ(system.outputChannels(), 2);
}

TEST(SoundSystemOutputTest, SettingsComeBeforeInitAndSoundsAfter) {
    audiotest::TempDir dir;
    const std::string path = dir.file("a.wav");
    audiotest::writeTone(path, 440, 0.2, 0.5);
    SoundSystem system;
    Sound* sound = nullptr;
    EXPECT_EQ(system.createSound(path, 0, sound), Result::Uninitialized);
    Channel channel;
    EXPECT_EQ(system.playSound(nullptr, false, channel), Result::Uninitialized);
    EXPECT_EQ(system.update(), Result::Uninitialized);
    EXPECT_EQ(system.setSoftwareFormat(1000, SoundFormat::PcmFloat, 0, 0, Resampler::Linear),
              Result::InvalidParam);
    EXPECT_EQ(system.setSoftwareFormat(48000, SoundFormat::PcmFloat, 0, 0, Resampler::Linear),
              Result::Ok);
    ASSERT_EQ(system.setOutput(OutputType::Loopback), Result::Ok);
    EXPECT_EQ(system.init(0, 0), Result::InvalidParam);
    ASSERT_EQ(system.init(8, 0), Result::Ok);
    EXPECT_EQ(system.outputSampleRate(), 48000);
    EXPECT_EQ(system.init(8, 0), Result::Initialized);
    EXPECT_EQ(system.setOutput(OutputType::NoSound), Result::Initialized);
    EXPECT_EQ(system.setSpeakerMode(SpeakerMode::Mono), Result::Initialized);
    EXPECT_EQ(system.playSound(nullptr, false, channel), Result::InvalidParam);
    EXPECT_EQ(system.set3DSettings(1.0f, 0.0f, 1.0f), Result::InvalidParam);
    ASSERT_EQ(system.set3DSettings(0.2f, 2.0f, 0.5f), Result::Ok);
    float doppler = 0.0f;
    float distance = 0.0f;
    float rolloff = 0.0f;
    ASSERT_EQ(system.get3DSettings(doppler, distance, rolloff), Result::Ok);
    EXPECT_FLOAT_EQ(doppler, 0.2f);
    EXPECT_FLOAT_EQ(distance, 2.0f);
    EXPECT_FLOAT_EQ(rolloff, 0.5f);
    unsigned version = 0;
    ASSERT_EQ(system.getVersion(version), Result::Ok);
    EXPECT_EQ(version, layerVersion);
}
