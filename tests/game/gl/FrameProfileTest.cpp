// `mossfang --profile-frames N`: what the frame profile prints, with and without the
// post-processing renderer.
#include "support/ProcessRun.hpp"
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

namespace {

int runGame(const std::string& args, std::string& output) {
    const std::string command = std::string(MOSSFANG_EXE) + " " + args + " 2>&1";
    const testsupport::ProcessRun run = testsupport::runCommand(command);
    output += run.output;
    return run.status;
}

// The number printed after `label` at the start of a line (after spaces), or -1.
double valueAfter(const std::string& output, const std::string& label) {
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos || line.compare(start, label.size(), label) != 0)
            continue;
        std::istringstream rest(line.substr(start + label.size()));
        double value = -1.0;
        if (rest >> value)
            return value;
    }
    return -1.0;
}

} // namespace

TEST(FrameProfile, PostProcessedViewerPrintsEveryStepOnceAfterNFrames) {
    std::string output;
    const int status = runGame("--view-model models/antEgg.obj --post --fixed-dt 0.0166 --frames 8 "
                               "--profile-frames 6",
                               output);
    ASSERT_EQ(status, 0) << output;
    EXPECT_NE(output.find("Frame profile after 6 frames"), std::string::npos) << output;
    // Printed once, not again at the end of the run.
    EXPECT_EQ(output.find("Frame profile", output.find("Frame profile") + 1), std::string::npos);
    // The viewer has no particles: the steps that only draw particles are skipped, the others
    // take time.
    for (const char* step : {"scene", "ambient occlusion", "composite"})
        EXPECT_GT(valueAfter(output, step), 0.0) << step << "\n" << output;
    for (const char* step :
         {"additive particles", "bright pass", "bloom levels", "bloom sum", "solid particles"})
        EXPECT_EQ(valueAfter(output, step), 0.0) << step << "\n" << output;
    EXPECT_GT(valueAfter(output, "all steps"), 0.0) << output;
    EXPECT_GT(valueAfter(output, "render"), 0.0) << output;
    EXPECT_GE(valueAfter(output, "update"), 0.0) << output;
    EXPECT_NE(output.find("frames per second"), std::string::npos) << output;
}

TEST(FrameProfile, PlainViewerSaysThereIsNoPostProcessing) {
    std::string output;
    const int status = runGame(
        "--view-model models/antEgg.obj --fixed-dt 0.0166 --frames 3 --profile-frames 3", output);
    ASSERT_EQ(status, 0) << output;
    EXPECT_NE(output.find("GPU: no post-processing renderer in this scene"), std::string::npos)
        << output;
    EXPECT_GT(valueAfter(output, "render"), 0.0) << output;
}
