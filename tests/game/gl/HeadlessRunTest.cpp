#include "engine/Behavior.hpp"
#include "engine/InputSource.hpp"
#include "engine/World.hpp"
#include "game/Game.hpp"

#include "support/ProcessRun.hpp"
#include <GL/glew.h>
#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// A render system that only clears the picture to green.
class GreenClear : public vorn::engine::Component {
public:
    GreenClear() { addName("renderer"); }
    void render(float) override {
        glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
};

// Runs the game executable with `args` (or, when `prefixExecutable` is false, runs `args` as the
// whole command line) and collects what it prints.
int runExecutable(const std::string& args, std::string& output, bool prefixExecutable = true) {
    const std::string command =
        (prefixExecutable ? std::string(MOSSFANG_EXE) + " " : std::string()) + args + " 2>&1";
    const testsupport::ProcessRun run = testsupport::runCommand(command);
    output += run.output;
    return run.status;
}

} // namespace

TEST(HeadlessRun, BoundedRunExitsZeroAndWritesAnEightHundredBySixHundredPicture) {
    const std::string shot = ::testing::TempDir() + std::to_string(getpid()) + "_headless_shot.png";
    std::remove(shot.c_str());
    std::string output;
    const int status = runExecutable("--frames 20 --fixed-dt 0.0166 --screenshot " + shot, output);
    ASSERT_EQ(status, 0) << output;
    EXPECT_NE(output.find(shot), std::string::npos) << output; // it says where the picture went
    sf::Image image;
    ASSERT_TRUE(image.loadFromFile(shot));
    EXPECT_EQ(image.getSize().x, 800u);
    EXPECT_EQ(image.getSize().y, 600u);
}

TEST(HeadlessRun, ScriptedKeyPressReachesTheWorldOnTheScriptedFrameThroughTheRealWindow) {
    const std::string scriptPath =
        ::testing::TempDir() + std::to_string(getpid()) + "_press_space.txt";
    {
        std::ofstream script(scriptPath);
        script << "# press Space on frame 7 only\n7 hold Space\n";
    }
    game::GameOptions options;
    options.frames = 12;
    options.fixedDt = 1.0f / 60.0f;
    options.inputFile = scriptPath;
    options.screenshotFile = ::testing::TempDir() + std::to_string(getpid()) + "_scripted_shot.png";

    std::vector<uint64_t> pressFrames;
    std::vector<uint64_t> releaseFrames;
    uint64_t frame = 0;
    struct FrameCounter : vorn::engine::Behavior {
        uint64_t* frame;
        void update(float) override { ++*frame; }
    };
    const int status = game::Game::run(options, [&] {
        auto world = std::make_shared<vorn::engine::World>();
        auto* counter = new FrameCounter;
        counter->frame = &frame;
        world->addComponent(counter);
        // A green picture proves the world we built is the one drawn.
        world->addComponent(new GreenClear);
        // Events are delivered before the update pass, so `frame` is the index of this frame.
        world->keyPressed.connect([&](const sf::Event::KeyEvent& key) {
            if (key.code == sf::Keyboard::Space)
                pressFrames.push_back(frame);
        });
        world->keyReleased.connect([&](const sf::Event::KeyEvent& key) {
            if (key.code == sf::Keyboard::Space)
                releaseFrames.push_back(frame);
        });
        return world;
    });
    vorn::engine::InputSource::instance().useScript(nullptr);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(frame, 12u);
    EXPECT_EQ(pressFrames, std::vector<uint64_t>{7});
    EXPECT_EQ(releaseFrames, std::vector<uint64_t>{8});
    sf::Image image;
    ASSERT_TRUE(image.loadFromFile(options.screenshotFile));
    const sf::Color centre = image.getPixel(400, 300);
    EXPECT_EQ(centre.r, 0);
    EXPECT_EQ(centre.g, 255);
    EXPECT_EQ(centre.b, 0);
}

TEST(HeadlessRun, TheMixOfARunningGameReachesTheSoundOutput) {
    // OpenAL Soft's wave writer records the real-time mix of the running executable to a file.
    const std::string recording =
        ::testing::TempDir() + std::to_string(getpid()) + "_mossfang_mix.wav";
    const std::string config =
        ::testing::TempDir() + std::to_string(getpid()) + "_mossfang_alsoft.conf";
    std::remove(recording.c_str());
    {
        std::ofstream conf(config);
        conf << "[general]\ndrivers=wave\n[wave]\nfile=" << recording << "\n";
    }
    std::string output;
    // Without --fixed-dt the loop paces itself, so 90 frames last about 1.5 s of real time.
    const int status = runExecutable("env ALSOFT_CONF=" + config + " " + std::string(MOSSFANG_EXE) +
                                         " --frames 90",
                                     output, false);
    ASSERT_EQ(status, 0) << output;
    SF_INFO info{};
    SNDFILE* file = sf_open(recording.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr) << "no recording at " << recording;
    std::vector<float> samples(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    ASSERT_GT(info.frames, info.samplerate / 2) << "less than half a second was recorded";
    double sum = 0.0;
    for (const float s : samples)
        sum += static_cast<double>(s) * s;
    const double rms = std::sqrt(sum / static_cast<double>(samples.size()));
    EXPECT_GT(rms, 0.01) << "the menu music should be audible in the recording";
}

TEST(HeadlessRun, UpgradesNamedOnTheCommandLineAreTheNinjasFromTheFirstFrame) {
    const std::string dump = ::testing::TempDir() + std::to_string(getpid()) + "_upgrades.json";
    for (const auto& [upgrades, expected] :
         {std::pair<std::string, std::vector<std::string>>{"", {}},
          {" --upgrades doubleJump", {"doubleJumpEnabled"}},
          {" --upgrades doubleJump,sword", {"doubleJumpEnabled", "swordEnabled"}}}) {
        std::remove(dump.c_str());
        std::string output;
        ASSERT_EQ(runExecutable("--area prototypeLevel.txt --entrance start --frames 1 "
                                "--update-only --fixed-dt 0.0166 --dump-state " +
                                    dump + upgrades,
                                output),
                  0)
            << output;
        std::ifstream in(dump);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        for (const char* flag : {"doubleJumpEnabled", "swordEnabled"}) {
            const bool wanted = std::find(expected.begin(), expected.end(), flag) != expected.end();
            EXPECT_EQ(text.find(std::string("\"") + flag + "\"") != std::string::npos, wanted)
                << flag << " with" << upgrades;
        }
    }
}
