// Playback of skeletal animation without OpenGL: segment timing, cross-fades and their collapse,
// quaternion slerp and the pose computed from a playback tree.

#include "rendering/AnimCrossFadeNode.hpp"
#include "rendering/AnimSegment.hpp"
#include "rendering/SkeletonAnimationData.hpp"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtx/quaternion.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using vorn::rendering::AnimCrossFadeNode;
using vorn::rendering::AnimNode;
using vorn::rendering::AnimSegment;
using vorn::rendering::Bone;
using vorn::rendering::Keyframe;
using vorn::rendering::SkeletonAnimationData;

namespace {

constexpr float pi = 3.14159265358979f;

glm::quat aboutZ(float degrees) {
    return glm::angleAxis(degrees * pi / 180.0f, glm::vec3(0.0f, 0.0f, 1.0f));
}

// A clip whose keyframe k has the root at (k, 0, 0) and bone 0 turned k degrees about z, so the
// frame a node shows can be read back from its pose.
std::vector<Keyframe> numberedClip(int count, int bones = 1) {
    std::vector<Keyframe> clip(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        clip[k].rootPosition = glm::vec3(static_cast<float>(k), 0.0f, 0.0f);
        clip[k].rotations.assign(static_cast<std::size_t>(bones), glm::quat(1, 0, 0, 0));
        clip[k].rotations[0] = aboutZ(static_cast<float>(k));
    }
    return clip;
}

int shownFrame(const AnimNode& node, const std::vector<Keyframe>& clip) {
    return static_cast<int>(std::lround(node.rootPosition(clip).x));
}

// Rotation angle about z in degrees of a (possibly unnormalised) quaternion.
float zDegrees(const glm::quat& q) {
    return 2.0f * std::atan2(q.z, q.w) * 180.0f / pi;
}

// Counts destructions, to see that releasing a tree frees every node of it.
struct CountedNode : AnimNode {
    explicit CountedNode(int& destroyed) : destroyed(destroyed) {}
    ~CountedNode() override { ++destroyed; }
    void advance(float dt, std::unique_ptr<AnimNode>&) override { time += dt; }
    glm::quat boneRotation(const std::vector<Keyframe>&, int) const override {
        return aboutZ(-30.0f);
    }
    glm::vec3 rootPosition(const std::vector<Keyframe>&) const override {
        return glm::vec3(-10.0f, 0.0f, 0.0f);
    }
    int& destroyed;
    float time = 0.0f;
};

} // namespace

// ---- segments ------------------------------------------------------------------------------

TEST(AnimSegmentTest, LoopFromFrameTwoToSixShowsTwoToFiveThenStartsAgain) {
    const std::vector<Keyframe> clip = numberedClip(10);
    AnimSegment segment(2, 6, true, 0.1f);
    EXPECT_FLOAT_EQ(segment.length(), 0.4f);
    EXPECT_EQ(shownFrame(segment, clip), 2);
    // Sample the middle of every frame over two and a half rounds.
    segment.advance(0.05f);
    std::vector<int> shown;
    for (int i = 0; i < 10; ++i) {
        shown.push_back(shownFrame(segment, clip));
        EXPECT_GE(segment.time, 0.0f);
        EXPECT_LT(segment.time, segment.length());
        segment.advance(0.1f);
    }
    EXPECT_EQ(shown, (std::vector<int>{2, 3, 4, 5, 2, 3, 4, 5, 2, 3}));
    // The rotation comes from the same keyframe as the root position.
    EXPECT_NEAR(zDegrees(segment.boneRotation(clip, 0)), 4.0f, 1e-3f);
}

TEST(AnimSegmentTest, LoopNeverShowsItsEndFrameEvenAtTheBoundary) {
    const std::vector<Keyframe> clip = numberedClip(10);
    AnimSegment segment(2, 6, true, 0.1f);
    for (int i = 0; i < 400; ++i) {
        segment.advance(0.01f);
        const int frame = shownFrame(segment, clip);
        ASSERT_GE(frame, 2) << "after step " << i;
        ASSERT_LE(frame, 5) << "after step " << i;
    }
}

TEST(AnimSegmentTest, OneShotStopsOnItsEndFrameAndHoldsIt) {
    const std::vector<Keyframe> clip = numberedClip(30);
    AnimSegment segment(10, 20, false, 0.05f);
    segment.advance(0.475f);
    EXPECT_EQ(shownFrame(segment, clip), 19);
    segment.advance(0.05f);
    EXPECT_EQ(shownFrame(segment, clip), 20);
    EXPECT_FLOAT_EQ(segment.time, segment.length());
    for (int i = 0; i < 100; ++i)
        segment.advance(0.05f);
    EXPECT_EQ(shownFrame(segment, clip), 20);
    EXPECT_FLOAT_EQ(segment.time, 0.5f);
}

TEST(AnimSegmentTest, OneShotReachesItsEndFrameInSmallSteps) {
    // The end is reached through many float additions; it must still be the end frame, never
    // the one before it.
    const std::vector<Keyframe> clip = numberedClip(150);
    for (const float spf : {0.04f, 0.035f, 0.05f, 0.03f}) {
        AnimSegment segment(62, 72, false, spf);
        for (int i = 0; i < 1000; ++i)
            segment.advance(1.0f / 60.0f);
        EXPECT_EQ(shownFrame(segment, clip), 72) << spf;
    }
}

TEST(AnimSegmentTest, ZeroLengthLoopHoldsTimeAtZero) {
    const std::vector<Keyframe> clip = numberedClip(10);
    AnimSegment segment(4, 4, true, 0.1f);
    segment.advance(0.3f);
    EXPECT_EQ(segment.time, 0.0f);
    EXPECT_EQ(shownFrame(segment, clip), 4);
    // No frame time at all is the same.
    AnimSegment stuck(1, 8, true, 0.0f);
    stuck.advance(5.0f);
    EXPECT_EQ(stuck.time, 0.0f);
    EXPECT_EQ(shownFrame(stuck, clip), 1);
}

TEST(AnimSegmentTest, LongStepWrapsIntoTheLoop) {
    const std::vector<Keyframe> clip = numberedClip(10);
    AnimSegment segment(2, 6, true, 0.1f);
    segment.advance(1000.05f);
    EXPECT_GE(segment.time, 0.0f);
    EXPECT_LT(segment.time, 0.4f);
    EXPECT_GE(shownFrame(segment, clip), 2);
    EXPECT_LE(shownFrame(segment, clip), 5);
}

TEST(AnimSegmentTest, FramesOutsideTheClipShowItsNearestKeyframe) {
    const std::vector<Keyframe> clip = numberedClip(5);
    AnimSegment pastEnd(3, 9, false, 0.1f);
    pastEnd.advance(10.0f);
    EXPECT_EQ(shownFrame(pastEnd, clip), 4);
    AnimSegment beforeStart(-5, -1, true, 0.1f);
    EXPECT_EQ(shownFrame(beforeStart, clip), 0);
    // A bone the keyframes lack, and an empty clip, give the rest: identity and zero.
    const glm::quat missing = pastEnd.boneRotation(clip, 7);
    EXPECT_EQ(missing, glm::quat(1, 0, 0, 0));
    const std::vector<Keyframe> empty;
    EXPECT_EQ(pastEnd.boneRotation(empty, 0), glm::quat(1, 0, 0, 0));
    EXPECT_EQ(pastEnd.rootPosition(empty), glm::vec3(0.0f));
}

// ---- cross-fades ---------------------------------------------------------------------------

TEST(AnimCrossFadeTest, BlendsWithSlerpAndCollapsesIntoTheAdvancedTarget) {
    // Frames 0..1 hold the root still at x = 0 with no turn; frames 10..20 count upwards.
    std::vector<Keyframe> clip = numberedClip(30);
    clip[0].rotations[0] = glm::quat(1, 0, 0, 0);
    clip[0].rootPosition = glm::vec3(0.0f);
    clip[10].rotations[0] = aboutZ(90.0f);
    clip[11].rotations[0] = aboutZ(90.0f);
    clip[12].rotations[0] = aboutZ(90.0f);

    std::unique_ptr<AnimNode> slot = std::make_unique<AnimSegment>(0, 1, true, 1.0f);
    slot = std::make_unique<AnimCrossFadeNode>(
        std::move(slot), std::make_unique<AnimSegment>(10, 20, true, 0.1f), 0.2f);
    auto* fade = dynamic_cast<AnimCrossFadeNode*>(slot.get());
    ASSERT_NE(fade, nullptr);
    // At the start the old pose shows unchanged.
    EXPECT_NEAR(zDegrees(slot->boneRotation(clip, 0)), 0.0f, 1e-3f);

    slot->advance(0.05f, slot);
    ASSERT_EQ(slot.get(), fade);
    EXPECT_NEAR(fade->blendFactor(), 0.25f, 1e-6f);
    EXPECT_NEAR(zDegrees(slot->boneRotation(clip, 0)), 22.5f, 1e-2f);
    EXPECT_NEAR(slot->rootPosition(clip).x, 0.25f * 10.0f, 1e-4f);
    // slerp keeps unit length where linear blending would shrink the quaternion.
    EXPECT_NEAR(glm::length(slot->boneRotation(clip, 0)), 1.0f, 1e-5f);

    slot->advance(0.05f, slot);
    EXPECT_NEAR(zDegrees(slot->boneRotation(clip, 0)), 45.0f, 1e-2f);
    EXPECT_NEAR(fade->to->time, 0.1f, 1e-6f);

    slot->advance(0.1f, slot); // elapsed == duration: the fade shows the target, but stays
    ASSERT_EQ(slot.get(), fade);
    EXPECT_NEAR(zDegrees(slot->boneRotation(clip, 0)), 90.0f, 1e-2f);

    slot->advance(0.1f, slot); // the first update after 0.2 s collapses the fade
    auto* target = dynamic_cast<AnimSegment*>(slot.get());
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->startFrame, 10);
    // The target kept running during the fade: 0.3 s in, frame 13.
    EXPECT_NEAR(target->time, 0.3f, 1e-5f);
    EXPECT_EQ(shownFrame(*slot, clip), 13);
}

TEST(AnimCrossFadeTest, SourceKeepsPlayingDuringTheFade) {
    const std::vector<Keyframe> clip = numberedClip(30);
    std::unique_ptr<AnimNode> slot = std::make_unique<AnimSegment>(0, 10, true, 0.1f);
    slot = std::make_unique<AnimCrossFadeNode>(
        std::move(slot), std::make_unique<AnimSegment>(20, 25, true, 0.1f), 1.0f);
    slot->advance(0.35f, slot);
    auto* fade = dynamic_cast<AnimCrossFadeNode*>(slot.get());
    ASSERT_NE(fade, nullptr);
    EXPECT_EQ(shownFrame(*fade->from, clip), 3);
    EXPECT_EQ(shownFrame(*fade->to, clip), 23);
    // Root position blends linearly: 3 + (23 - 3) x 0.35.
    EXPECT_NEAR(slot->rootPosition(clip).x, 3.0f + 20.0f * 0.35f, 1e-3f);
}

TEST(AnimCrossFadeTest, CollapseReleasesTheWholeSourceTree) {
    const std::vector<Keyframe> clip = numberedClip(30);
    int destroyed = 0;
    std::unique_ptr<AnimNode> slot = std::make_unique<CountedNode>(destroyed);
    // A fade from the counted node, interrupted by a second fade before it ends.
    slot = std::make_unique<AnimCrossFadeNode>(
        std::move(slot), std::make_unique<AnimSegment>(5, 9, true, 0.1f), 0.5f);
    slot = std::make_unique<AnimCrossFadeNode>(
        std::move(slot), std::make_unique<AnimSegment>(20, 25, true, 0.1f), 0.1f);
    slot->advance(0.05f, slot);
    EXPECT_EQ(destroyed, 0);
    slot->advance(0.06f, slot);
    EXPECT_EQ(destroyed, 1);
    ASSERT_NE(dynamic_cast<AnimSegment*>(slot.get()), nullptr);
    EXPECT_EQ(shownFrame(*slot, clip), 21);
}

TEST(AnimCrossFadeTest, InnerFadeCollapsesInsideTheOuterOne) {
    const std::vector<Keyframe> clip = numberedClip(30);
    int destroyed = 0;
    std::unique_ptr<AnimNode> slot = std::make_unique<CountedNode>(destroyed);
    slot = std::make_unique<AnimCrossFadeNode>(
        std::move(slot), std::make_unique<AnimSegment>(5, 9, true, 0.1f), 0.05f);
    slot = std::make_unique<AnimCrossFadeNode>(
        std::move(slot), std::make_unique<AnimSegment>(20, 25, true, 0.1f), 1.0f);
    slot->advance(0.1f, slot);
    auto* outer = dynamic_cast<AnimCrossFadeNode*>(slot.get());
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(destroyed, 1);
    auto* inner = dynamic_cast<AnimSegment*>(outer->from.get());
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->startFrame, 5);
    EXPECT_EQ(shownFrame(*inner, clip), 6);
}

TEST(AnimCrossFadeTest, FadeWithoutDurationShowsTheTargetAtOnce) {
    const std::vector<Keyframe> clip = numberedClip(30);
    std::unique_ptr<AnimNode> slot = std::make_unique<AnimSegment>(0, 5, true, 0.1f);
    slot = std::make_unique<AnimCrossFadeNode>(
        std::move(slot), std::make_unique<AnimSegment>(20, 25, true, 0.1f), 0.0f);
    EXPECT_EQ(shownFrame(*slot, clip), 20);
    slot->advance(0.01f, slot);
    EXPECT_NE(dynamic_cast<AnimSegment*>(slot.get()), nullptr);
}

// ---- slerp ---------------------------------------------------------------------------------

TEST(SlerpTest, NearlyParallelQuaternionsBlendLinearly) {
    const glm::quat a = aboutZ(0.0f);
    const glm::quat b = aboutZ(1.0f); // cosine of half a degree: 0.99996 > 0.9999
    ASSERT_GT(glm::dot(a, b), 0.9999f);
    const glm::quat r = vorn::rendering::slerp(a, b, 0.3f);
    EXPECT_FLOAT_EQ(r.w, 0.7f * a.w + 0.3f * b.w);
    EXPECT_FLOAT_EQ(r.z, 0.7f * a.z + 0.3f * b.z);
    // Not renormalised: the linear blend is a hair shorter than unit length.
    EXPECT_LT(glm::length(r), 1.0f);
}

TEST(SlerpTest, FarApartQuaternionsFollowTheArc) {
    const glm::quat r = vorn::rendering::slerp(aboutZ(0.0f), aboutZ(120.0f), 0.25f);
    EXPECT_NEAR(zDegrees(r), 30.0f, 1e-3f);
    EXPECT_NEAR(glm::length(r), 1.0f, 1e-5f);
}

TEST(SlerpTest, OppositeSignsTakeTheShorterArc) {
    // -q is the same rotation as q: blending towards it must not swing the long way round.
    const glm::quat a = aboutZ(0.0f);
    const glm::quat b = -aboutZ(90.0f);
    ASSERT_LT(glm::dot(a, b), 0.0f);
    const glm::quat r = vorn::rendering::slerp(a, b, 0.5f);
    EXPECT_NEAR(zDegrees(r), 45.0f, 1e-3f);
    EXPECT_GT(r.w, 0.0f);
    // Exactly opposite quaternions are one rotation: the blend stays on it.
    const glm::quat q = aboutZ(70.0f);
    const glm::quat same = vorn::rendering::slerp(q, -q, 0.5f);
    EXPECT_NEAR(zDegrees(same), 70.0f, 1e-3f);
    EXPECT_NEAR(glm::length(same), 1.0f, 1e-5f);
}

TEST(SlerpTest, EndsReturnTheInputsUnchanged) {
    const glm::quat a = aboutZ(10.0f);
    const glm::quat b = -aboutZ(100.0f);
    EXPECT_EQ(vorn::rendering::slerp(a, b, 0.0f), a);
    EXPECT_EQ(vorn::rendering::slerp(a, b, -1.0f), a);
    EXPECT_EQ(vorn::rendering::slerp(a, b, 1.0f), b);
    EXPECT_EQ(vorn::rendering::slerp(a, b, 2.0f), b);
}

// ---- pose ----------------------------------------------------------------------------------

namespace {

// A root with two bones in a chain above it: bind positions at y = 1, 2 and 3.
SkeletonAnimationData chain() {
    SkeletonAnimationData skeleton;
    skeleton.bones = {Bone{"root", -1, {0, 1, 0}, {0, 1, 0}}, Bone{"mid", 0, {0, 1, 0}, {0, 2, 0}},
                      Bone{"tip", 1, {0, 1, 0}, {0, 3, 0}}};
    std::vector<Keyframe> clip(2);
    clip[0].rotations.assign(3, glm::quat(1, 0, 0, 0));
    clip[1].rotations = {glm::quat(1, 0, 0, 0), aboutZ(90.0f), glm::quat(1, 0, 0, 0)};
    clip[1].rootPosition = glm::vec3(5.0f, 0.0f, 0.0f);
    skeleton.addClip("clip", clip);
    return skeleton;
}

glm::vec3 moved(const glm::mat4& m, const glm::vec3& p) {
    return glm::vec3(m * glm::vec4(p, 1));
}

} // namespace

TEST(SkeletonPoseTest, RestKeyframeGivesTheRootOffsetForEveryBone) {
    const SkeletonAnimationData skeleton = chain();
    const AnimSegment still(0, 0, true, 1.0f);
    std::vector<glm::mat4> skin;
    skeleton.computePose(&still, glm::vec3(0.0f, -10.75f, 0.0f), skin);
    ASSERT_EQ(skin.size(), 3u);
    const glm::mat4 expected = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, -10.75f, 0.0f));
    for (const glm::mat4& m : skin)
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 4; ++r)
                EXPECT_NEAR(m[c][r], expected[c][r], 1e-5f);
}

TEST(SkeletonPoseTest, ParentRotationCarriesItsChildren) {
    const SkeletonAnimationData skeleton = chain();
    const AnimSegment posed(1, 1, true, 1.0f);
    std::vector<glm::mat4> skin;
    skeleton.computePose(&posed, glm::vec3(0.0f), skin);
    // "mid" turns 90 degrees about z at its bind position (0, 2) and is moved by the root
    // position (5, 0, 0): the tip at (0, 3) swings to (-1, 2) and then to (4, 2).
    const glm::vec3 tip = moved(skin[2], glm::vec3(0, 3, 0));
    EXPECT_NEAR(tip.x, 4.0f, 1e-5f);
    EXPECT_NEAR(tip.y, 2.0f, 1e-5f);
    // A point on "mid" one unit along +x from its joint goes to +y of the joint.
    const glm::vec3 onMid = moved(skin[1], glm::vec3(1, 2, 0));
    EXPECT_NEAR(onMid.x, 5.0f, 1e-5f);
    EXPECT_NEAR(onMid.y, 3.0f, 1e-5f);
    // The root is only translated.
    const glm::vec3 onRoot = moved(skin[0], glm::vec3(0, 1, 0));
    EXPECT_NEAR(onRoot.x, 5.0f, 1e-5f);
    EXPECT_NEAR(onRoot.y, 1.0f, 1e-5f);
}

TEST(SkeletonPoseTest, RootScaleAppliesToTheWholeSkeleton) {
    SkeletonAnimationData skeleton;
    skeleton.bones = {Bone{"root", -1, {0, 0, 0}, {0, 0, 0}}, Bone{"mid", 0, {0, 1, 0}, {0, 1, 0}},
                      Bone{"tip", 1, {0, 1, 0}, {0, 2, 0}}};
    skeleton.rootMatrix = glm::scale(glm::mat4(1.0f), glm::vec3(2.0f));
    const AnimSegment still(0, 0, true, 1.0f);
    std::vector<glm::mat4> skin;
    skeleton.computePose(&still, glm::vec3(0.0f, -1.0f, 0.0f), skin);
    // Every point of the bind pose is scaled about the root, then moved by the root offset.
    EXPECT_NEAR(moved(skin[2], glm::vec3(0, 2, 0)).y, 3.0f, 1e-5f);
    EXPECT_NEAR(moved(skin[1], glm::vec3(1, 1, 0)).x, 2.0f, 1e-5f);
    EXPECT_NEAR(moved(skin[1], glm::vec3(1, 1, 0)).y, 1.0f, 1e-5f);
}

TEST(SkeletonPoseTest, NoPlaybackShowsTheBindPoseAndEmptySkeletonsGiveNothing) {
    const SkeletonAnimationData skeleton = chain();
    std::vector<glm::mat4> skin;
    skeleton.computePose(nullptr, glm::vec3(1.0f, 0.0f, 0.0f), skin);
    ASSERT_EQ(skin.size(), 3u);
    EXPECT_NEAR(moved(skin[2], glm::vec3(0, 3, 0)).x, 1.0f, 1e-6f);
    const SkeletonAnimationData empty;
    empty.computePose(nullptr, glm::vec3(0.0f), skin);
    EXPECT_TRUE(skin.empty());
}

TEST(SkeletonAnimationDataTest, SegmentsAndClipsAreFoundByName) {
    SkeletonAnimationData skeleton;
    skeleton.addSegment("run", 1, 9, true, 0.1f);
    skeleton.addSegment("run", 3, 4, false, 0.5f); // a later one replaces the earlier
    const AnimSegment* run = skeleton.findSegment("run");
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->startFrame, 3);
    EXPECT_FALSE(run->loop);
    EXPECT_FLOAT_EQ(run->secondsPerFrame, 0.5f);
    EXPECT_EQ(skeleton.findSegment("walk"), nullptr);
    EXPECT_TRUE(skeleton.firstClip().empty());
    skeleton.addClip("b", numberedClip(3));
    skeleton.addClip("a", numberedClip(7));
    skeleton.addClip("b", numberedClip(9)); // a name already present keeps its keyframes
    EXPECT_EQ(skeleton.firstClip().size(), 3u);
    EXPECT_EQ(skeleton.clips.size(), 2u);
}
