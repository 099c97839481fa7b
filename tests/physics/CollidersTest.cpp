// Shapes, the separating-axis tests and the double dispatch between circles and polygons.
#include "PhysicsScene.hpp"

#include "physics/SeparatingAxis.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace physics_test;
namespace sep = vorn::components::separating;

namespace {

Transform at(float x, float y) {
    return Transform(glm::translate(glm::mat4(1.0f), glm::vec3(x, y, 0.0f)));
}

bool sameBits(const glm::vec2& a, const glm::vec2& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void expectNear(const glm::vec2& actual, const glm::vec2& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance) << "x";
    EXPECT_NEAR(actual.y, expected.y, tolerance) << "y";
}

bool isFinite(const glm::vec2& v) {
    return std::isfinite(v.x) && std::isfinite(v.y);
}

PolygonCollider unitBox() {
    return PolygonCollider(0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f);
}

} // namespace

// ---- what the test can see of a point list --------------------------------------------------

TEST(PolygonColliderBuild, OnlyListsTheTestSeesAsConvexKeepTheirContactsWithinTheirBounds) {
    struct Case {
        const char* what;
        std::vector<glm::vec2> points;
        float angle;
        bool bounded;
    };
    const std::vector<Case> cases{
        {"square, counter-clockwise", {{0, 0}, {1, 0}, {1, 1}, {0, 1}}, 0.0f, true},
        {"square, clockwise", {{0, 0}, {0, 1}, {1, 1}, {1, 0}}, 0.0f, true},
        {"turned triangle", {{0, 0}, {3, 0}, {1, 2}}, 33.0f, true},
        {"collinear point on an edge", {{0, 0}, {1, 0}, {2, 0}, {2, 2}, {0, 2}}, 17.0f, true},
        {"repeated vertex", {{0, 0}, {2, 0}, {2, 0}, {1, 2}}, 40.0f, true},
        {"segment", {{0, 0}, {3, 1}}, 0.0f, true},
        {"one point twice", {{1, 1}, {1, 1}}, 0.0f, true},
        {"single point", {{1, 1}}, 0.0f, true},
        {"L shape with axis-aligned edges",
         {{0, 0}, {4, 0}, {4, 1}, {1, 1}, {1, 4}, {0, 4}},
         0.0f,
         true},
        {"L shape turned", {{0, 0}, {4, 0}, {4, 1}, {1, 1}, {1, 4}, {0, 4}}, 30.0f, false},
        {"arrow head", {{-1, -1}, {1, 0}, {-1, 1}, {-0.2f, 0}}, 10.0f, false},
        {"bow tie", {{-1, -1}, {1, 1}, {1, -1}, {-1, 1}}, 10.0f, false},
        {"zigzag", {{0, 0}, {10, 1}, {0, 2}, {10, 3}}, 0.0f, false},
        {"pentagram",
         {{0, 1}, {0.588f, -0.809f}, {-0.951f, 0.309f}, {0.951f, 0.309f}, {-0.588f, -0.809f}},
         0.0f,
         false},
        {"not finite", {{0, 0}, {std::numeric_limits<float>::infinity(), 0}, {0, 1}}, 0.0f, false},
    };
    for (const Case& c : cases) {
        const PolygonCollider polygon(c.points, c.angle, 1.0f, 1.0f);
        EXPECT_EQ(polygon.contactsStayWithinBounds(), c.bounded) << c.what;
    }
    EXPECT_TRUE(CircleCollider(2.0f).contactsStayWithinBounds());

    // Changing the vertices re-decides.
    PolygonCollider changing({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, 45.0f, 1.0f, 1.0f);
    EXPECT_TRUE(changing.contactsStayWithinBounds());
    changing.setVertices({{0, 0}, {10, 1}, {0, 2}, {10, 3}});
    EXPECT_FALSE(changing.contactsStayWithinBounds());
}

// ---- construction -------------------------------------------------------------------------

TEST(PolygonColliderBuild, BoxCornersComeInTheFixedOrder) {
    const PolygonCollider box(0.0f, 1.0f, 2.0f, 3.0f, 4.0f, 1.0f, 1.0f);
    ASSERT_EQ(box.vertices().size(), 4u);
    EXPECT_EQ(box.vertices()[0], glm::vec2(1.0f, 2.0f));
    EXPECT_EQ(box.vertices()[1], glm::vec2(4.0f, 2.0f));
    EXPECT_EQ(box.vertices()[2], glm::vec2(4.0f, 6.0f));
    EXPECT_EQ(box.vertices()[3], glm::vec2(1.0f, 6.0f));
    EXPECT_TRUE(box.hasName("collider"));
    EXPECT_TRUE(box.hasName("polygonCollider"));
    EXPECT_FALSE(box.hasName("circleCollider"));
}

TEST(PolygonColliderBuild, BoxIsScaledBeforeItIsTurnedCounterClockwise) {
    // Scaled first: (0,0) (6,0) (6,2) (0,2); then a quarter turn: (x, y) -> (-y, x).
    const PolygonCollider box(90.0f, 0.0f, 0.0f, 2.0f, 1.0f, 3.0f, 2.0f);
    ASSERT_EQ(box.vertices().size(), 4u);
    expectNear(box.vertices()[0], {0.0f, 0.0f});
    expectNear(box.vertices()[1], {0.0f, 6.0f});
    expectNear(box.vertices()[2], {-2.0f, 6.0f});
    expectNear(box.vertices()[3], {-2.0f, 0.0f});
}

TEST(PolygonColliderBuild, PointListIsScaledAndTurnedLikeTheBox) {
    const PolygonCollider points({{1.0f, 0.0f}, {0.0f, 1.0f}, {-1.0f, -1.0f}}, 30.0f, 2.0f, 0.5f);
    const float a = 30.0f * 0.017453293f;
    const glm::vec2 expected[] = {
        {2.0f * std::cos(a), 2.0f * std::sin(a)},
        {-0.5f * std::sin(a), 0.5f * std::cos(a)},
        {-2.0f * std::cos(a) + 0.5f * std::sin(a), -2.0f * std::sin(a) - 0.5f * std::cos(a)}};
    ASSERT_EQ(points.vertices().size(), 3u);
    for (int i = 0; i < 3; ++i)
        expectNear(points.vertices()[i], expected[i]);
}

TEST(PolygonColliderBuild, PointListAtAngleZeroAndUnitScaleIsCopiedBitForBit) {
    // An infinite coordinate survives a copy but not the turn (inf * sin 0 is NaN), so this
    // tells a real copy from a transform that happens to round back to the same values.
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<glm::vec2> source{{0.1f, 1.0f / 3.0f}, {inf, 2.5f}, {-7.25f, -0.0f}};
    const PolygonCollider copy(source, 0.0f, 1.0f, 1.0f);
    ASSERT_EQ(copy.vertices().size(), source.size());
    EXPECT_EQ(std::memcmp(copy.vertices().data(), source.data(), sizeof(glm::vec2) * source.size()),
              0);
    // Any other scale goes through the transform.
    const PolygonCollider scaled(source, 0.0f, 1.0f, 2.0f);
    EXPECT_TRUE(std::isnan(scaled.vertices()[1].y));
    EXPECT_FLOAT_EQ(scaled.vertices()[0].y, 2.0f / 3.0f);
}

TEST(CircleColliderBuild, AnswersBothNamesAndKeepsItsRadius) {
    CircleCollider circle(2.5f);
    EXPECT_TRUE(circle.hasName("collider"));
    EXPECT_TRUE(circle.hasName("circleCollider"));
    EXPECT_FALSE(circle.hasName("polygonCollider"));
    EXPECT_EQ(circle.radius(), 2.5f);
    circle.setRadius(4.0f);
    EXPECT_EQ(circle.localBounds().max, glm::vec2(4.0f, 4.0f));
    EXPECT_EQ(circle.localBounds().min, glm::vec2(-4.0f, -4.0f));
}

// ---- interval rule --------------------------------------------------------------------------

TEST(IntervalOverlap, ApartOrTouchingIsZeroAndTheSmallerMagnitudeWins) {
    EXPECT_EQ(sep::overlap({0.0f, 1.0f}, {2.0f, 3.0f}), 0.0f);
    EXPECT_EQ(sep::overlap({2.0f, 3.0f}, {0.0f, 1.0f}), 0.0f);
    EXPECT_EQ(sep::overlap({0.0f, 1.0f}, {1.0f, 2.0f}), 0.0f); // touching
    EXPECT_EQ(sep::overlap({1.0f, 2.0f}, {0.0f, 1.0f}), 0.0f); // touching, other side
    // a = max1 - min2 = 1.5, b = min1 - max2 = -0.5: b is smaller.
    EXPECT_EQ(sep::overlap({0.5f, 1.5f}, {0.0f, 1.0f}), -0.5f);
    // a = 0.5, b = -1.5: a is smaller.
    EXPECT_EQ(sep::overlap({-0.5f, 0.5f}, {0.0f, 1.0f}), 0.5f);
    // Equal magnitudes keep a.
    EXPECT_EQ(sep::overlap({0.0f, 2.0f}, {0.0f, 2.0f}), 2.0f);
}

// ---- polygon against polygon ----------------------------------------------------------------

TEST(PolygonAgainstPolygon, UnitBoxesHalfApartSeparateTheLeftOneToTheLeft) {
    const PolygonCollider left = unitBox();
    const PolygonCollider right = unitBox();
    const Transform tl = at(0.0f, 0.0f);
    const Transform tr = at(0.5f, 0.0f);
    EXPECT_EQ(left.collideWithPolygon(right, &tl, &tr), glm::vec2(-0.5f, 0.0f));
    EXPECT_EQ(left.collide(right, &tl, &tr), glm::vec2(-0.5f, 0.0f));
    EXPECT_EQ(right.collide(left, &tr, &tl), glm::vec2(0.5f, 0.0f));
}

TEST(PolygonAgainstPolygon, BoxesTouchingAlongAnEdgeAreNotInContact) {
    const PolygonCollider a = unitBox();
    const PolygonCollider b = unitBox();
    const Transform ta = at(0.0f, 0.0f);
    const Transform beside = at(1.0f, 0.0f);
    EXPECT_EQ(a.collide(b, &ta, &beside), glm::vec2(0.0f));
    const Transform above = at(0.25f, 1.0f);
    EXPECT_EQ(a.collide(b, &ta, &above), glm::vec2(0.0f));
    const Transform apart = at(3.0f, 0.0f);
    EXPECT_EQ(a.collide(b, &ta, &apart), glm::vec2(0.0f));
    // A hair closer is a contact.
    const Transform overlapping = at(0.999f, 0.0f);
    const glm::vec2 s = a.collide(b, &ta, &overlapping);
    EXPECT_LT(s.x, 0.0f);
    EXPECT_NEAR(s.x, -0.001f, 1e-5f);
}

TEST(PolygonAgainstPolygon, EqualDepthsKeepTheEarlierAxis) {
    // Overlap 0.5 on both x and y: this polygon's first edge (normal along x) comes first.
    const PolygonCollider a = unitBox();
    const PolygonCollider b = unitBox();
    const Transform ta = at(0.0f, 0.0f);
    const Transform tb = at(0.5f, 0.5f);
    EXPECT_EQ(a.collideWithPolygon(b, &ta, &tb), glm::vec2(-0.5f, 0.0f));
    // A box whose first edge is horizontal puts the y axis first.
    const PolygonCollider rotatedStart({{1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}, {0.0f, 0.0f}},
                                       0.0f, 1.0f, 1.0f);
    EXPECT_EQ(rotatedStart.collideWithPolygon(b, &ta, &tb), glm::vec2(0.0f, -0.5f));
}

TEST(PolygonAgainstPolygon, WindingDoesNotMatter) {
    const PolygonCollider counterClockwise = unitBox();
    const PolygonCollider clockwise({{0.0f, 0.0f}, {0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}}, 0.0f,
                                    1.0f, 1.0f);
    const Transform ta = at(0.0f, 0.0f);
    const Transform tb = at(0.5f, 0.2f);
    expectNear(clockwise.collide(clockwise, &ta, &tb),
               counterClockwise.collide(counterClockwise, &ta, &tb));
    expectNear(clockwise.collide(clockwise, &ta, &tb), {-0.5f, 0.0f});
}

TEST(PolygonAgainstPolygon, TurnedBoxIsPushedOutAlongTheFloorNormal) {
    // A diamond (unit square turned 45 degrees about its corner) resting into a wide floor.
    const PolygonCollider floor(0.0f, -10.0f, -1.0f, 20.0f, 1.0f, 1.0f, 1.0f);
    const PolygonCollider diamond(45.0f, -0.5f, -0.5f, 1.0f, 1.0f, 1.0f, 1.0f);
    const Transform tf = at(0.0f, 0.0f);
    const Transform td = at(0.0f, 0.6f); // lowest corner at 0.6 - 0.7071
    const glm::vec2 s = diamond.collide(floor, &td, &tf);
    expectNear(s, {0.0f, 0.70710678f - 0.6f}, 1e-4f);
}

// ---- circles --------------------------------------------------------------------------------

TEST(CircleAgainstCircle, DistanceDecidesAndTheFirstIsPushedAwayFromTheSecond) {
    const CircleCollider a(1.0f);
    const CircleCollider b(1.0f);
    const Transform origin = at(0.0f, 0.0f);
    const Transform two = at(2.0f, 0.0f);
    const Transform oneAndHalf = at(1.5f, 0.0f);
    EXPECT_EQ(a.collide(b, &origin, &two), glm::vec2(0.0f)); // exactly touching
    EXPECT_EQ(a.collide(b, &origin, &oneAndHalf), glm::vec2(-0.5f, 0.0f));
    EXPECT_EQ(b.collide(a, &oneAndHalf, &origin), glm::vec2(0.5f, 0.0f));
    EXPECT_EQ(a.collide(b, &origin, &origin), glm::vec2(0.0f)); // equal centres
    // Diagonal: centres (0,0) and (0.6, 0.8), distance 1, depth 1.
    const Transform diagonal = at(0.6f, 0.8f);
    expectNear(a.collideWithCircle(b, &origin, &diagonal), {-0.6f, -0.8f});
    // Different radii add up.
    const CircleCollider big(3.0f);
    const Transform three = at(0.0f, 3.5f);
    expectNear(a.collide(big, &origin, &three), {0.0f, -0.5f});
}

TEST(CircleAgainstPolygon, CircleResultIsMinusTheBoxResultWithTransformsSwapped) {
    const CircleCollider circle(1.0f);
    const PolygonCollider box = unitBox();
    const Transform tb = at(0.0f, 0.0f);
    const glm::vec2 places[] = {{0.5f, 1.5f},  {1.5f, 1.5f}, {-0.7f, 0.3f}, {0.5f, 0.5f},
                                {1.2f, -0.6f}, {0.9f, 0.1f}, {3.0f, 3.0f}};
    for (const glm::vec2& p : places) {
        const Transform tc = at(p.x, p.y);
        const glm::vec2 fromCircle = circle.collide(box, &tc, &tb);
        const glm::vec2 fromBox = box.collide(circle, &tb, &tc);
        EXPECT_TRUE(sameBits(fromCircle, -fromBox)) << p.x << "," << p.y;
        EXPECT_TRUE(sameBits(circle.collideWithPolygon(box, &tc, &tb), fromCircle));
    }
}

TEST(CircleAgainstPolygon, FaceAndCornerContacts) {
    const CircleCollider circle(1.0f);
    const PolygonCollider box = unitBox();
    const Transform tb = at(0.0f, 0.0f);
    // Resting into the top face by 0.5.
    const Transform top = at(0.5f, 1.5f);
    expectNear(circle.collide(box, &top, &tb), {0.0f, 0.5f});
    expectNear(box.collide(circle, &tb, &top), {0.0f, -0.5f});
    // Beyond the corner (1, 1): pushed out along the diagonal by 1 - |(0.5, 0.5)|.
    const Transform corner = at(1.5f, 1.5f);
    const float depth = 1.0f - std::sqrt(0.5f);
    expectNear(circle.collide(box, &corner, &tb),
               {depth / std::sqrt(2.0f), depth / std::sqrt(2.0f)});
    // Within reach of both faces' intervals but farther than the radius from the corner: the
    // axis towards the nearest vertex separates them.
    const Transform pastCorner = at(1.8f, 1.8f);
    EXPECT_EQ(circle.collide(box, &pastCorner, &tb), glm::vec2(0.0f));
    // Touching the right face exactly.
    const Transform touching = at(2.0f, 0.5f);
    EXPECT_EQ(circle.collide(box, &touching, &tb), glm::vec2(0.0f));
}

// ---- degenerate shapes ----------------------------------------------------------------------

TEST(DegenerateShapes, FewerThanTwoVerticesNeverTouch) {
    const PolygonCollider empty(std::vector<glm::vec2>{}, 0.0f, 1.0f, 1.0f);
    const PolygonCollider single({{0.0f, 0.0f}}, 0.0f, 1.0f, 1.0f);
    const PolygonCollider box = unitBox();
    const CircleCollider circle(5.0f);
    const Transform t = at(0.0f, 0.0f);
    for (const PolygonCollider* p : {&empty, &single}) {
        EXPECT_EQ(p->collide(box, &t, &t), glm::vec2(0.0f));
        EXPECT_EQ(box.collide(*p, &t, &t), glm::vec2(0.0f));
        EXPECT_EQ(p->collide(circle, &t, &t), glm::vec2(0.0f));
        EXPECT_EQ(circle.collide(*p, &t, &t), glm::vec2(0.0f));
    }
}

TEST(DegenerateShapes, TwoVerticesActAsASegment) {
    const PolygonCollider segment({{-1.0f, 0.0f}, {1.0f, 0.0f}}, 0.0f, 1.0f, 1.0f);
    const CircleCollider circle(1.0f);
    const Transform ts = at(0.0f, 0.0f);
    const Transform tc = at(0.0f, 0.75f);
    expectNear(circle.collide(segment, &tc, &ts), {0.0f, 0.25f});
}

TEST(DegenerateShapes, ZeroLengthEdgeIsSkippedWithoutNaN) {
    // The box again, with its second corner repeated: same separations as the clean box.
    const PolygonCollider repeated(
        {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}}, 0.0f, 1.0f, 1.0f);
    const PolygonCollider clean = unitBox();
    const CircleCollider circle(0.75f);
    const Transform origin = at(0.0f, 0.0f);
    const glm::vec2 places[] = {{0.5f, 1.5f}, {1.5f, -0.3f}, {0.3f, 0.2f}, {1.4f, 1.4f}};
    for (const glm::vec2& p : places) {
        const Transform t = at(p.x, p.y);
        const glm::vec2 withCircle = repeated.collide(circle, &origin, &t);
        EXPECT_TRUE(isFinite(withCircle));
        expectNear(withCircle, clean.collide(circle, &origin, &t));
        const glm::vec2 withBox = repeated.collide(clean, &origin, &t);
        EXPECT_TRUE(isFinite(withBox));
        expectNear(withBox, clean.collide(clean, &origin, &t));
    }
    // Every vertex the same: no edge of its own. The other shape's axes still decide, so a point
    // inside the box is pushed out of it and one outside is not, and nothing is NaN.
    const PolygonCollider point({{0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.5f}}, 0.0f, 1.0f, 1.0f);
    const glm::vec2 inside = point.collide(clean, &origin, &origin);
    EXPECT_TRUE(isFinite(inside));
    EXPECT_NEAR(glm::length(inside), 0.5f, 1e-6f);
    const Transform away = at(3.0f, 3.0f);
    EXPECT_EQ(point.collide(clean, &origin, &away), glm::vec2(0.0f));
    EXPECT_EQ(point.collide(circle, &origin, &away), glm::vec2(0.0f));
    const glm::vec2 inCircle = point.collide(circle, &origin, &origin);
    EXPECT_TRUE(isFinite(inCircle));
    EXPECT_NEAR(glm::length(inCircle), 0.75f - std::sqrt(0.5f), 1e-5f);
}

TEST(DegenerateShapes, CircleCentredOnAVertexGivesAFiniteResult) {
    const PolygonCollider box = unitBox();
    const CircleCollider circle(0.5f);
    const Transform origin = at(0.0f, 0.0f);
    const Transform onCorner = at(1.0f, 1.0f);
    const glm::vec2 s = circle.collide(box, &onCorner, &origin);
    EXPECT_TRUE(isFinite(s));
    EXPECT_NEAR(glm::length(s), 0.5f, 1e-6f);
}

// ---- transforms looked up through the world --------------------------------------------------

TEST(ColliderTransforms, NullTransformsAreTheEntitiesOwn) {
    ActiveScene scene;
    const EntityHandle a = scene.circle(0.0f, 0.0f, 1.0f);
    const EntityHandle b = scene.circle(1.5f, 0.0f, 1.0f);
    const auto* ca = scene.world->getComponentAs<CircleCollider>(a, "collider");
    const auto* cb = scene.world->getComponentAs<CircleCollider>(b, "collider");
    EXPECT_EQ(ca->collide(*cb, nullptr, nullptr), glm::vec2(-0.5f, 0.0f));
    // An explicit transform overrides the entity's own.
    const Transform far = at(10.0f, 0.0f);
    EXPECT_EQ(ca->collide(*cb, &far, nullptr), glm::vec2(0.0f));
    EXPECT_EQ(ca->collide(*cb, nullptr, &far), glm::vec2(0.0f));
}

TEST(ColliderTransforms, MissingTransformMeansNoContact) {
    ActiveScene scene;
    const EntityHandle placed = scene.circle(0.0f, 0.0f, 1.0f);
    const EntityHandle bare = scene.world->createEntity();
    auto* loose = new CircleCollider(1.0f);
    scene.world->addComponent(bare, loose);
    const auto* c = scene.world->getComponentAs<CircleCollider>(placed, "collider");
    EXPECT_EQ(c->collide(*loose, nullptr, nullptr), glm::vec2(0.0f));
    EXPECT_EQ(loose->collide(*c, nullptr, nullptr), glm::vec2(0.0f));
    // Outside any world there is nothing to look up either.
    const CircleCollider outside(1.0f);
    EXPECT_EQ(outside.collide(*c, nullptr, nullptr), glm::vec2(0.0f));
    // With its transform given, a collider outside any world still meets a placed one.
    const Transform beside = at(1.5f, 0.0f);
    EXPECT_EQ(outside.collide(*c, &beside, nullptr), glm::vec2(0.5f, 0.0f));
}
