#include "game/tools/ModelViewer.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/DiagnosticsCapture.hpp"
#include "engine/World.hpp"
#include "support/GlTestContext.hpp"

#include "support/ProcessRun.hpp"
#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct ViewerRun {
    int status = -1;
    std::string output;
    sf::Image picture;
    bool pictureLoaded = false;
};

// Runs `mossfang --view-model ...` for a few frames and loads its screenshot.
ViewerRun view(const std::string& args, const std::string& shotName) {
    ViewerRun run;
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

// The areas' clear colour (0.12, 0.075, 0.03) in 8 bits.
bool isBackground(const sf::Color& c) {
    return std::abs(c.r - 31) <= 2 && std::abs(c.g - 19) <= 2 && std::abs(c.b - 8) <= 2;
}

int modelPixels(const sf::Image& image) {
    int count = 0;
    for (unsigned y = 0; y < image.getSize().y; y += 4)
        for (unsigned x = 0; x < image.getSize().x; x += 4)
            count += !isBackground(image.getPixel(x, y));
    return count;
}

int differingPixels(const sf::Image& a, const sf::Image& b) {
    int count = 0;
    for (unsigned y = 0; y < a.getSize().y; y += 2)
        for (unsigned x = 0; x < a.getSize().x; x += 2) {
            const sf::Color p = a.getPixel(x, y), q = b.getPixel(x, y);
            count += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 30;
        }
    return count;
}

} // namespace

TEST(ModelViewer, ShowsAnObjModelLitInTheMiddleOfTheClearedScreen) {
    const ViewerRun run = view("--view-model models/boulder.obj --frames 3", "viewer_boulder.png");
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_TRUE(run.pictureLoaded);
    EXPECT_TRUE(isBackground(run.picture.getPixel(5, 5)));
    EXPECT_FALSE(isBackground(run.picture.getPixel(400, 300)));
    // The framed boulder fills a good part of the picture but not all of it.
    const int covered = modelPixels(run.picture);
    EXPECT_GT(covered, 200 * 150 / 10);
    EXPECT_LT(covered, 200 * 150 * 8 / 10);
}

TEST(ModelViewer, TheModelTurnsAsFramesGoBy) {
    const ViewerRun early = view("--view-model models/worker_ant.obj --frames 2", "ant_early.png");
    const ViewerRun late = view("--view-model models/worker_ant.obj --frames 90", "ant_late.png");
    ASSERT_TRUE(early.pictureLoaded && late.pictureLoaded);
    EXPECT_GT(differingPixels(early.picture, late.picture), 200);
}

TEST(ModelViewer, PlaysTheRequestedSegmentOfTheAnimatedNinja) {
    const ViewerRun idle = view(
        "--view-model models/ninjaAnimations.txt --animation idle --frames 20", "ninja_idle.png");
    const ViewerRun punch = view(
        "--view-model models/ninjaAnimations.txt --animation punch --frames 20", "ninja_punch.png");
    ASSERT_EQ(idle.status, 0) << idle.output;
    ASSERT_EQ(punch.status, 0) << punch.output;
    ASSERT_TRUE(idle.pictureLoaded && punch.pictureLoaded);
    EXPECT_GT(modelPixels(idle.picture), 200 * 150 / 20);
    // Same turntable angle, different pose: the pictures differ.
    EXPECT_GT(differingPixels(idle.picture, punch.picture), 100);
}

TEST(ModelViewer, AMissingModelIsReportedAndTheViewerStillRunsButExitsWithAFailure) {
    const ViewerRun run = view("--view-model models/no_such_model.obj --frames 2", "missing.png");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("mossfang: the model models/no_such_model.obj has nothing to draw: "
                              "the file does not open\n"),
              std::string::npos)
        << run.output;
    ASSERT_TRUE(run.pictureLoaded);
    EXPECT_EQ(modelPixels(run.picture), 0);
}

TEST(ModelViewer, AModelThatLoadsButHasNoDrawablePartIsReportedWithTheCause) {
    testsupport::GlTestContext context;
    ASSERT_TRUE(context.ok()) << context.error();
    const std::string root =
        ::testing::TempDir() + std::to_string(getpid()) + "_mossfang_viewer_undrawable/";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root + "models");
    std::ofstream(root + "models/lost.obj") << "mtllib gone.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                               "usemtl bark\nf 1 2 3\n";
    std::ofstream(root + "models/kept.mtl") << "newmtl bark\nKd 1 0 0\n";
    std::ofstream(root + "models/kept.obj") << "mtllib kept.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                               "usemtl bark\nf 1 2 3\n";
    const std::string previousRoot = vorn::engine::assetRoot();
    vorn::engine::setAssetRoot(root);
    // The model with a part but no material to draw it with is reported with the loader's
    // cause; the one with its library is not.
    for (const auto& [model, line] :
         {std::pair<std::string, std::string>{"models/lost.obj",
                                              "mossfang: the model models/lost.obj has nothing "
                                              "to draw: its material library does not open: "
                                              "gone.mtl\n"},
          std::pair<std::string, std::string>{"models/kept.obj", ""}}) {
        vorn::engine::DiagnosticsCapture capture;
        bool nothingToDraw = false;
        const auto world = game::ModelViewer::build(model, "", 1.0f, false, &nothingToDraw);
        ASSERT_NE(world, nullptr);
        EXPECT_EQ(nothingToDraw, !line.empty()) << model;
        EXPECT_EQ(capture.errText().find("has nothing to draw") != std::string::npos, !line.empty())
            << model << ": " << capture.errText();
        if (!line.empty()) {
            EXPECT_NE(capture.errText().find(line), std::string::npos) << capture.errText();
        }
    }
    vorn::engine::setAssetRoot(previousRoot);
}
