// The options of the frame profile and the post-processed viewer.
#include "game/CommandLine.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct Outcome {
    std::optional<int> status;
    game::GameOptions options;
    std::string err;
};

Outcome parse(std::vector<std::string> args) {
    args.insert(args.begin(), "mossfang");
    std::vector<const char*> argv;
    for (const auto& a : args)
        argv.push_back(a.c_str());
    Outcome outcome;
    std::ostringstream out, err;
    outcome.status = game::CommandLine::parse(static_cast<int>(argv.size()), argv.data(),
                                              outcome.options, out, err);
    outcome.err = err.str();
    return outcome;
}

} // namespace

TEST(PostOptions, ProfileFramesAndPostAreParsedAndDefaultOff) {
    const Outcome plain = parse({});
    EXPECT_FALSE(plain.status);
    EXPECT_EQ(plain.options.profileFrames, 0u);
    EXPECT_FALSE(plain.options.post);

    const Outcome set =
        parse({"--view-model", "models/boulder.obj", "--post", "--profile-frames", "90"});
    EXPECT_FALSE(set.status) << set.err;
    EXPECT_EQ(set.options.profileFrames, 90u);
    EXPECT_TRUE(set.options.post);
    EXPECT_EQ(set.options.viewModel, "models/boulder.obj");
}

TEST(PostOptions, BadValuesAndPostWithoutAViewerAreRejected) {
    const std::vector<std::vector<std::string>> bad = {{"--profile-frames", "0"},
                                                       {"--profile-frames", "-3"},
                                                       {"--profile-frames", "many"},
                                                       {"--profile-frames"},
                                                       {"--post"}};
    for (const auto& args : bad) {
        const Outcome outcome = parse(args);
        ASSERT_TRUE(outcome.status) << args[0];
        EXPECT_EQ(*outcome.status, 2) << args[0];
        EXPECT_NE(outcome.err.find("mossfang: "), std::string::npos) << outcome.err;
    }
}
