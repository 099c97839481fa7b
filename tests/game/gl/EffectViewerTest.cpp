// `mossfang --view-effect NAME`: each effect shows on screen, a seed repeats the picture exactly,
// and an unknown name is a usage error.
#include "support/ProcessRun.hpp"
#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct EffectRun {
    int status = -1;
    std::string output;
    sf::Image picture;
    bool pictureLoaded = false;
};

// Runs the viewer at a fixed time step and loads its screenshot.
EffectRun view(const std::string& args, const std::string& shotName) {
    EffectRun run;
    const std::string shot = ::testing::TempDir() + shotName;
    std::remove(shot.c_str());
    const std::string command = "ALSOFT_CONF=" + std::string(MOSSFANG_SOURCE_DIR) +
                                "/scripts/openal-null.conf " + std::string(MOSSFANG_EXE) + " " +
                                args + " --fixed-dt 0.0166667 --screenshot " + shot + " 2>&1";
    const testsupport::ProcessRun process = testsupport::runCommand(command);
    run.status = process.status;
    run.output = process.output;
    run.pictureLoaded = run.picture.loadFromFile(shot);
    return run;
}

// Pixels clearly brighter than the viewer's dark background, and their mean colour.
struct Brightness {
    int count = 0;
    double r = 0.0, g = 0.0, b = 0.0;
};
Brightness bright(const sf::Image& image) {
    Brightness result;
    for (unsigned y = 0; y < image.getSize().y; ++y)
        for (unsigned x = 0; x < image.getSize().x; ++x) {
            const sf::Color c = image.getPixel(x, y);
            if (c.r + c.g + c.b < 90)
                continue;
            ++result.count;
            result.r += c.r;
            result.g += c.g;
            result.b += c.b;
        }
    if (result.count > 0) {
        result.r /= result.count;
        result.g /= result.count;
        result.b /= result.count;
    }
    return result;
}

bool samePixels(const sf::Image& a, const sf::Image& b) {
    if (a.getSize() != b.getSize())
        return false;
    for (unsigned y = 0; y < a.getSize().y; ++y)
        for (unsigned x = 0; x < a.getSize().x; ++x)
            if (a.getPixel(x, y) != b.getPixel(x, y))
                return false;
    return true;
}

} // namespace

TEST(EffectViewer, EveryEffectShowsInItsOwnColour) {
    using Hue = bool (*)(const Brightness&);
    const Hue any = [](const Brightness&) { return true; };
    const struct {
        const char* name;
        int minimumBright;
        int frames; // the bursts are seen while they last
        Hue hue;
        const char* colour;
    } effects[] = {
        {"ambientCloud", 40, 90, any, ""},
        {"dust", 2000, 90, [](const Brightness& b) { return b.r > b.b + 30.0; }, "brown"},
        {"sugarSparkle", 300, 90, any, ""},
        {"waspPuff", 2000, 30, [](const Brightness& b) { return b.r > b.b + 60.0; }, "yellow"},
        {"silkSnap", 300, 30, [](const Brightness& b) { return b.b >= b.r && b.b >= b.g; }, "pale"},
        {"leafFlutter", 1000, 30, [](const Brightness& b) { return b.g > b.r && b.g > b.b + 20.0; },
         "green"},
    };
    for (const auto& effect : effects) {
        SCOPED_TRACE(effect.name);
        const EffectRun run = view(std::string("--view-effect ") + effect.name + " --frames " +
                                       std::to_string(effect.frames),
                                   std::string("effect_") + effect.name + ".png");
        ASSERT_EQ(run.status, 0) << run.output;
        ASSERT_TRUE(run.pictureLoaded) << run.output;
        const Brightness b = bright(run.picture);
        EXPECT_GT(b.count, effect.minimumBright);
        EXPECT_TRUE(effect.hue(b))
            << "not " << effect.colour << ": " << b.r << " " << b.g << " " << b.b;
    }
}

TEST(EffectViewer, TheSameSeedRepeatsThePictureAndAnotherSeedChangesIt) {
    const EffectRun a = view("--view-effect sugarSparkle --frames 40 --seed 3", "seed3a.png");
    const EffectRun b = view("--view-effect sugarSparkle --frames 40 --seed 3", "seed3b.png");
    const EffectRun c = view("--view-effect sugarSparkle --frames 40 --seed 4", "seed4.png");
    ASSERT_TRUE(a.pictureLoaded && b.pictureLoaded && c.pictureLoaded) << a.output;
    EXPECT_TRUE(samePixels(a.picture, b.picture));
    EXPECT_FALSE(samePixels(a.picture, c.picture));
}

TEST(EffectViewer, UnknownEffectOrTwoViewersAreUsageErrors) {
    const EffectRun unknown = view("--view-effect smoke --frames 2", "unknown.png");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.output.find("smoke"), std::string::npos) << unknown.output;
    EXPECT_FALSE(unknown.pictureLoaded);
    const EffectRun both =
        view("--view-effect dust --view-model models/boulder.obj --frames 2", "both.png");
    EXPECT_EQ(both.status, 2) << both.output;
}
