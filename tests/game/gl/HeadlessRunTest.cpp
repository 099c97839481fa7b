#include "engine/Behavior.hpp"
#include "engine/InputSource.hpp"
#include "engine/World.hpp"
#include "game/ClearScreenRenderer.hpp"
#include "game/Game.hpp"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

int runExecutable(const std::string& args, std::string& output) {
    const std::string command = std::string(MOSSFANG_EXE) + " " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    const int raw = pclose(pipe);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

} // namespace

TEST(HeadlessRun, BoundedRunExitsZeroAndWritesAnEightHundredBySixHundredPicture) {
    const std::string shot = ::testing::TempDir() + "headless_shot.png";
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
    const std::string scriptPath = ::testing::TempDir() + "press_space.txt";
    {
        std::ofstream script(scriptPath);
        script << "# press Space on frame 7 only\n7 hold Space\n";
    }
    game::GameOptions options;
    options.frames = 12;
    options.fixedDt = 1.0f / 60.0f;
    options.inputFile = scriptPath;
    options.screenshotFile = ::testing::TempDir() + "scripted_shot.png";

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
        world->addComponent(new game::ClearScreenRenderer(0.0f, 1.0f, 0.0f));
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
