// The animation definition file, read without OpenGL: the model import is replaced by a stand-in
// that records the path it was asked for and returns a mesh with a clip of known length.

#include "engine/DiagnosticsCapture.hpp"
#include "rendering/AnimatedMesh.hpp"
#include "rendering/AnimatedMeshLoader.hpp"
#include "rendering/SkeletonAnimationData.hpp"

#include <gtest/gtest.h>

#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using vorn::rendering::AnimatedMesh;
using vorn::rendering::AnimatedMeshLoader;
using vorn::rendering::AnimSegment;
using vorn::rendering::Keyframe;

using vorn::engine::DiagnosticsCapture;

namespace {

class AnimationDefinitionTest : public ::testing::Test {
protected:
    // Reads `text` as the definition file "defs/anims.txt".
    std::shared_ptr<AnimatedMesh> read(const std::string& text) {
        std::istringstream in(text);
        return AnimatedMeshLoader::readDefinition(
            in, "defs/anims.txt", [this](const std::string& p) {
                importedPaths.push_back(p);
                auto mesh = std::make_shared<AnimatedMesh>();
                // A clip of 40 keyframes and the "default" segment an import adds.
                mesh->skeleton->addClip("clip", std::vector<Keyframe>(40));
                mesh->skeleton->addSegment("default", 0, 40, true, 1.0f);
                return mesh;
            });
    }

    std::vector<std::string> importedPaths;
};

} // namespace

TEST_F(AnimationDefinitionTest, FullEntryPlaysOnceAtItsFrameRate) {
    const auto mesh = read("{ \"ninja.gltf\" [ attack { 10 20 0 0.05 } ] }");
    ASSERT_EQ(importedPaths, std::vector<std::string>{"defs/ninja.gltf"});
    const AnimSegment* attack = mesh->skeleton->findSegment("attack");
    ASSERT_NE(attack, nullptr);
    EXPECT_EQ(attack->startFrame, 10);
    EXPECT_EQ(attack->endFrame, 20);
    EXPECT_FALSE(attack->loop);
    EXPECT_FLOAT_EQ(attack->secondsPerFrame, 0.05f);
    // 20 frames per second: half a second reaches frame 20 and stays there.
    AnimSegment playing = *attack;
    playing.advance(0.25f);
    EXPECT_EQ(playing.currentFrame(), 15);
    playing.advance(1.0f);
    EXPECT_EQ(playing.currentFrame(), 20);
    // The imported "default" segment is still there.
    EXPECT_NE(mesh->skeleton->findSegment("default"), nullptr);
}

TEST_F(AnimationDefinitionTest, ShortEntriesTakeTheDefaults) {
    const auto mesh = read(R"(
        // comments are allowed anywhere
        { "model.gltf" [
            spin { 0 9 }          /* loops at one second per frame */
            fall { 3 7 0 }        // once, one second per frame
            quick{1 2 1 0.5}
        ] }
    )");
    ASSERT_EQ(importedPaths, std::vector<std::string>{"defs/model.gltf"});
    const AnimSegment* spin = mesh->skeleton->findSegment("spin");
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->startFrame, 0);
    EXPECT_EQ(spin->endFrame, 9);
    EXPECT_TRUE(spin->loop);
    EXPECT_FLOAT_EQ(spin->secondsPerFrame, 1.0f);
    AnimSegment playing = *spin;
    playing.advance(8.5f);
    EXPECT_EQ(playing.currentFrame(), 8);
    playing.advance(1.0f);
    EXPECT_EQ(playing.currentFrame(), 0);

    const AnimSegment* fall = mesh->skeleton->findSegment("fall");
    ASSERT_NE(fall, nullptr);
    EXPECT_FALSE(fall->loop);
    EXPECT_FLOAT_EQ(fall->secondsPerFrame, 1.0f);
    const AnimSegment* quick = mesh->skeleton->findSegment("quick");
    ASSERT_NE(quick, nullptr);
    EXPECT_TRUE(quick->loop);
    EXPECT_FLOAT_EQ(quick->secondsPerFrame, 0.5f);
}

TEST_F(AnimationDefinitionTest, LaterEntryReplacesAnEarlierOneOfTheSameName) {
    const auto mesh = read("{ \"m.gltf\" [ a { 0 5 } b { 6 8 } a { 10 12 0 0.1 } ] }");
    const AnimSegment* a = mesh->skeleton->findSegment("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->startFrame, 10);
    EXPECT_FALSE(a->loop);
    EXPECT_EQ(mesh->skeleton->segments.size(), 3u); // a, b and the imported default
}

TEST_F(AnimationDefinitionTest, ParseErrorIsReportedAndKeepsWhatWasBuilt) {
    DiagnosticsCapture errors;
    const auto mesh = read("{ \"m.gltf\" [\n  a { 0 5 }\n  b { 1 2 x }\n  c { 2 3 }\n] }");
    // The model was imported and the entry before the error kept; nothing after it.
    ASSERT_EQ(importedPaths.size(), 1u);
    EXPECT_NE(mesh->skeleton->findSegment("a"), nullptr);
    EXPECT_NE(mesh->skeleton->findSegment("default"), nullptr);
    EXPECT_EQ(mesh->skeleton->findSegment("b"), nullptr);
    EXPECT_EQ(mesh->skeleton->findSegment("c"), nullptr);
    EXPECT_EQ(errors.errText(), "defs/anims.txt: Parsing error (line 3, column 11): Was expecting "
                                "'}', got 'x' instead\n");
}

TEST_F(AnimationDefinitionTest, ErrorBeforeTheModelNameLeavesAnEmptyMesh) {
    DiagnosticsCapture errors;
    const auto mesh = read("[ \"m.gltf\" ]");
    EXPECT_TRUE(importedPaths.empty());
    ASSERT_NE(mesh, nullptr);
    ASSERT_NE(mesh->skeleton, nullptr);
    EXPECT_TRUE(mesh->parts.empty());
    EXPECT_TRUE(mesh->skeleton->bones.empty());
    EXPECT_NE(errors.errText().find("defs/anims.txt: Parsing error (line 1, column 1)"),
              std::string::npos);
}

TEST_F(AnimationDefinitionTest, MissingClosingBracketsKeepEveryEntry) {
    DiagnosticsCapture errors;
    const auto mesh = read("{ \"m.gltf\" [ a { 0 5 } b { 6 8 }");
    EXPECT_NE(mesh->skeleton->findSegment("a"), nullptr);
    EXPECT_NE(mesh->skeleton->findSegment("b"), nullptr);
    EXPECT_NE(errors.errText().find("got 'end of file' instead"), std::string::npos);
}

TEST_F(AnimationDefinitionTest, SegmentsOutsideTheClipAreReported) {
    DiagnosticsCapture errors;
    const auto mesh = read("{ \"m.gltf\" [ fine { 0 40 } last { 39 39 0 } over { 30 40 0 } ] }");
    EXPECT_NE(mesh->skeleton->findSegment("over"), nullptr);
    const std::string text = errors.errText();
    EXPECT_NE(text.find("segment \"over\""), std::string::npos) << text;
    EXPECT_EQ(text.find("\"fine\""), std::string::npos) << text;
    EXPECT_EQ(text.find("\"last\""), std::string::npos) << text;
}

TEST_F(AnimationDefinitionTest, MissingFileIsReportedWithItsPath) {
    DiagnosticsCapture errors;
    const auto mesh = AnimatedMeshLoader::load("no/such/animations.txt");
    ASSERT_NE(mesh, nullptr);
    EXPECT_TRUE(mesh->parts.empty());
    EXPECT_NE(errors.errText().find("no/such/animations.txt: Parsing error"), std::string::npos);
}

TEST_F(AnimationDefinitionTest, ArbitraryBytesNeverThrowNorHang) {
    std::mt19937 random(12345);
    const std::string alphabet = "{}[]\"/*\n 0123456789.-abcxyz_\\";
    DiagnosticsCapture errors;
    for (int round = 0; round < 500; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 80);
        for (int i = 0; i < length; ++i)
            text += round % 2 ? alphabet[random() % alphabet.size()]
                              : static_cast<char>(random() % 256);
        if (round % 3 == 0)
            text = "{ \"m.gltf\" [ " + text;
        std::shared_ptr<AnimatedMesh> mesh;
        ASSERT_NO_THROW(mesh = read(text)) << text;
        ASSERT_NE(mesh, nullptr);
        ASSERT_NE(mesh->skeleton, nullptr);
    }
}
