// The broad phase: what a query returns, how it follows the world, and that stepping with it
// gives exactly what the full scan gives, contact for contact and bit for bit.
#include "PhysicsScene.hpp"

#include "engine/Behavior.hpp"
#include "engine/EntityCollection.hpp"
#include "physics/CollisionTracker.hpp"
#include "physics/Gravity.hpp"
#include "physics/RigidBodySystem.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

using namespace physics_test;
using vorn::components::Collider;
using vorn::components::CollisionTracker;
using vorn::systems::BroadPhase;
using vorn::systems::Gravity;
using vorn::systems::RigidBodySystem;

namespace {

RigidBodySystem* systemOf(ActiveScene& scene) {
    return scene.world->getComponentAs<RigidBodySystem>(EntityHandle{0, scene.world.get()},
                                                        "rigidBodySystem");
}

std::vector<uint32_t> query(BroadPhase& broad, EntityHandle e, int64_t after = -1) {
    std::vector<uint32_t> out;
    broad.query(e.entityId, after, out);
    return out;
}

// A convex regular polygon with `sides` corners on a circle of `radius`.
std::vector<glm::vec2> regularPolygon(int sides, float radius) {
    std::vector<glm::vec2> points;
    for (int i = 0; i < sides; ++i) {
        const float a = 6.2831853f * static_cast<float>(i) / static_cast<float>(sides);
        points.emplace_back(radius * std::cos(a), radius * std::sin(a));
    }
    return points;
}

// Point lists the loader accepts although they are not convex, centred near the origin and
// scaled by `size`: an arrow head (concave), a bow tie and a zigzag (both self-crossing). The
// zigzag's edges are all nearly parallel, so the separating-axis test, which only tries their
// normals, reports contacts well beyond its bounding box.
std::vector<glm::vec2> oddPointList(int kind, float size) {
    std::vector<glm::vec2> points;
    switch (kind % 3) {
    case 0:
        points = {{-1.0f, -1.0f}, {1.0f, 0.0f}, {-1.0f, 1.0f}, {-0.2f, 0.0f}};
        break;
    case 1:
        points = {{-1.0f, -1.0f}, {1.0f, 1.0f}, {1.0f, -1.0f}, {-1.0f, 1.0f}};
        break;
    default:
        points = {{-1.0f, -0.6f}, {1.0f, -0.2f}, {-1.0f, 0.2f}, {1.0f, 0.6f}};
        break;
    }
    for (glm::vec2& p : points)
        p *= size;
    return points;
}

} // namespace

// ---- queries --------------------------------------------------------------------------------

TEST(BroadPhase, QueryReturnsNearbyBodiesInAscendingIdWithoutSelf) {
    ActiveScene scene;
    const EntityHandle a = scene.circle(0.0f, 0.0f, 1.0f);
    scene.addBody(a, 1.0f, false);
    const EntityHandle farAway = scene.circle(100.0f, 0.0f, 1.0f);
    scene.addBody(farAway, 1.0f, false);
    const EntityHandle nearRight = scene.box(0.5f, 0.0f, 0.0f, 0.0f, 3.0f, 3.0f);
    scene.addBody(nearRight, 1.0f, true);
    const EntityHandle nearLeft = scene.circle(-1.9f, 0.0f, 1.0f);
    scene.addBody(nearLeft, 1.0f, true);
    const EntityHandle notABody = scene.circle(0.0f, 0.0f, 1.0f); // collider but no rigid body
    (void)notABody;
    BroadPhase* broad = systemOf(scene)->broadPhase();
    ASSERT_NE(broad, nullptr);
    EXPECT_EQ(broad->size(), 4u);
    EXPECT_EQ(query(*broad, a), (std::vector<uint32_t>{nearRight.entityId, nearLeft.entityId}));
    EXPECT_EQ(query(*broad, a, nearRight.entityId), std::vector<uint32_t>{nearLeft.entityId});
    EXPECT_TRUE(query(*broad, farAway).empty());
    std::vector<uint32_t> out{42u};
    EXPECT_FALSE(broad->query(notABody.entityId, -1, out));
    EXPECT_TRUE(out.empty());
}

TEST(BroadPhase, FollowsMovesMembershipAndShapes) {
    ActiveScene scene;
    const EntityHandle a = scene.circle(0.0f, 0.0f, 1.0f);
    scene.addBody(a, 1.0f, false);
    const EntityHandle b = scene.circle(50.0f, 0.0f, 1.0f);
    scene.addBody(b, 1.0f, false);
    BroadPhase* broad = systemOf(scene)->broadPhase();
    EXPECT_TRUE(query(*broad, a).empty());

    // Moved by other code between steps: seen once the broad phase is marked stale.
    scene.transform(b)->setPosition(glm::vec3(1.0f, 0.0f, 0.0f));
    broad->markStale();
    EXPECT_EQ(query(*broad, a), std::vector<uint32_t>{b.entityId});
    // Or refreshed one entry at a time.
    scene.transform(b)->setPosition(glm::vec3(-30.0f, 0.0f, 0.0f));
    broad->refresh(b.entityId);
    EXPECT_TRUE(query(*broad, a).empty());

    // A bigger collider replaces the old one: the signals update the entry at once.
    scene.world->deleteComponent(b, "collider");
    EXPECT_FALSE(broad->tracks(b.entityId));
    scene.world->addComponent(b, new CircleCollider(40.0f));
    EXPECT_TRUE(broad->tracks(b.entityId));
    EXPECT_EQ(query(*broad, a), std::vector<uint32_t>{b.entityId});

    // A new radius shows after the next refresh.
    scene.world->getComponentAs<CircleCollider>(b, "collider")->setRadius(1.0f);
    broad->refresh(b.entityId);
    EXPECT_TRUE(query(*broad, a).empty());

    scene.world->destroyEntity(b);
    EXPECT_FALSE(broad->tracks(b.entityId));
    EXPECT_EQ(broad->size(), 1u);
}

TEST(BroadPhase, NonFiniteAndEnormousShapesAreAlwaysCandidates) {
    ActiveScene scene;
    const EntityHandle a = scene.circle(0.0f, 0.0f, 1.0f);
    scene.addBody(a, 1.0f, false);
    const EntityHandle lost = scene.circle(0.0f, 0.0f, 1.0f);
    scene.addBody(lost, 1.0f, false);
    scene.transform(lost)->setPosition(
        glm::vec3(std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f));
    // Wider than the grid takes per entry: kept aside, still tested by its box.
    const EntityHandle killZone = scene.box(0.0f, -5.0f, -1.0e5f, -2.5f, 2.0e5f, 5.0f);
    scene.addBody(killZone, 0.0f, true);
    const EntityHandle far = scene.circle(0.0f, 1000.0f, 1.0f);
    scene.addBody(far, 1.0f, false);
    BroadPhase* broad = systemOf(scene)->broadPhase();
    broad->refreshAll();
    EXPECT_EQ(query(*broad, a), (std::vector<uint32_t>{lost.entityId}));
    scene.transform(a)->setPosition(glm::vec3(5000.0f, -6.0f, 0.0f));
    broad->refresh(a.entityId);
    EXPECT_EQ(query(*broad, a), (std::vector<uint32_t>{lost.entityId, killZone.entityId}));
    // The lost body itself meets everyone.
    EXPECT_EQ(query(*broad, lost),
              (std::vector<uint32_t>{a.entityId, killZone.entityId, far.entityId}));
}

TEST(BroadPhase, NeverMissesAPairThatTheExactTestFindsWhateverTheCellSize) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-30.0f, 30.0f);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (const float cellSize : {0.5f, 3.0f, 16.0f, 100.0f}) {
        ActiveScene scene;
        auto* system = new RigidBodySystem();
        system->setCellSize(cellSize);
        scene.world->addComponent(system);
        std::vector<EntityHandle> entities;
        for (int i = 0; i < 150; ++i) {
            const float x = coordinate(random);
            const float y = coordinate(random);
            const float pick = unit(random);
            EntityHandle e;
            if (pick < 0.4f) {
                e = scene.circle(x, y, 0.2f + 3.0f * unit(random));
            } else if (pick < 0.8f) {
                e = scene.entityAt(x, y);
                scene.world->addComponent(e, new PolygonCollider(360.0f * unit(random), -1.0f,
                                                                 -0.5f, 1.0f + 6.0f * unit(random),
                                                                 1.0f + 3.0f * unit(random), 1.0f,
                                                                 1.0f));
            } else if (pick < 0.95f) {
                e = scene.entityAt(x, y);
                scene.world->addComponent(
                    e, new PolygonCollider(regularPolygon(3 + i % 5, 0.5f + 3.0f * unit(random)),
                                           360.0f * unit(random), 1.0f, 1.0f));
            } else {
                e = scene.entityAt(x, y);
                scene.world->addComponent(
                    e, new PolygonCollider(oddPointList(i, 1.0f + 3.0f * unit(random)),
                                           360.0f * unit(random), 1.0f, 1.0f));
            }
            scene.addBody(e, 1.0f, i % 3 == 0);
            entities.push_back(e);
        }
        // Pairs placed exactly touching and a hair apart, where rounding matters most.
        for (int i = 0; i < 10; ++i) {
            const float x = coordinate(random);
            const float y = coordinate(random);
            const EntityHandle left = scene.circle(x, y, 1.0f);
            const EntityHandle right = scene.circle(x + 2.0f + (i % 2 ? 1e-4f : 0.0f), y, 1.0f);
            scene.addBody(left, 1.0f, false);
            scene.addBody(right, 1.0f, false);
            entities.push_back(left);
            entities.push_back(right);
        }
        // Far from the origin, where a float's spacing is coarse, pairs a few rounding steps either
        // side of touching, in every direction, circles and boxes alike.
        for (int i = 0; i < 300; ++i) {
            const glm::vec2 a(20000.0f + 5000.0f * unit(random),
                              -20000.0f - 5000.0f * unit(random));
            const float r1 = 0.5f + 3.0f * unit(random);
            const float r2 = 0.5f + 3.0f * unit(random);
            const float angle = 6.2831853f * unit(random);
            const float distance = (r1 + r2) * (1.0f + (unit(random) - 0.5f) * 4e-6f);
            const glm::vec2 b = a + distance * glm::vec2(std::cos(angle), std::sin(angle));
            const EntityHandle first = scene.circle(a.x, a.y, r1);
            EntityHandle second;
            if (i % 3 == 0) {
                second = scene.entityAt(b.x, b.y);
                scene.world->addComponent(
                    second, new PolygonCollider(0.0f, -r2, -r2, 2.0f * r2, 2.0f * r2, 1.0f, 1.0f));
            } else {
                second = scene.circle(b.x, b.y, r2);
            }
            scene.addBody(first, 1.0f, false);
            scene.addBody(second, 1.0f, false);
            entities.push_back(first);
            entities.push_back(second);
        }
        BroadPhase* broad = system->broadPhase();
        ASSERT_NE(broad, nullptr);
        EXPECT_EQ(broad->cellSize(), cellSize);
        int exactPairs = 0;
        for (const EntityHandle& e : entities) {
            const auto* own = scene.world->getComponentAs<Collider>(e, "collider");
            const std::vector<uint32_t> candidates = query(*broad, e);
            ASSERT_TRUE(std::is_sorted(candidates.begin(), candidates.end()));
            for (const EntityHandle& other : entities) {
                if (other == e)
                    continue;
                const auto* theirs = scene.world->getComponentAs<Collider>(other, "collider");
                const glm::vec2 s = own->collide(*theirs, nullptr, nullptr);
                if (s.x == 0.0f && s.y == 0.0f)
                    continue;
                ++exactPairs;
                EXPECT_TRUE(
                    std::binary_search(candidates.begin(), candidates.end(), other.entityId))
                    << "cell " << cellSize << ": " << e.entityId << " misses " << other.entityId;
            }
            // And the grid does prune: only the lists it cannot bound meet everyone.
            if (own->contactsStayWithinBounds())
                EXPECT_LT(candidates.size(), entities.size() / 2);
            else
                EXPECT_EQ(candidates.size(), entities.size() - 1);
        }
        EXPECT_GT(exactPairs, 40) << "the scene should be crowded enough to test something";
    }
}

TEST(BroadPhase, ListsTheTestCannotSeeAsConvexAreCandidatesOfEveryone) {
    ActiveScene scene;
    // Two zigzags side by side with a gap of 2 between their boxes: the exact test still finds
    // them overlapping on every axis it tries, so the pair must not be skipped.
    const std::vector<glm::vec2> zigzag{{0.0f, 0.0f}, {10.0f, 1.0f}, {0.0f, 2.0f}, {10.0f, 3.0f}};
    const EntityHandle left = scene.entityAt(0.0f, 0.0f);
    scene.world->addComponent(left, new PolygonCollider(zigzag, 0.0f, 1.0f, 1.0f));
    scene.addBody(left, 1.0f, false);
    const EntityHandle right = scene.entityAt(12.0f, 0.0f);
    scene.world->addComponent(right, new PolygonCollider(zigzag, 0.0f, 1.0f, 1.0f));
    scene.addBody(right, 1.0f, false);
    // A convex box far from both.
    const EntityHandle box = scene.box(500.0f, 500.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    scene.addBody(box, 1.0f, false);
    const auto* leftShape = scene.world->getComponentAs<Collider>(left, "collider");
    const auto* rightShape = scene.world->getComponentAs<Collider>(right, "collider");
    ASSERT_NE(leftShape->collide(*rightShape, nullptr, nullptr), glm::vec2(0.0f, 0.0f))
        << "the example relies on the test reporting this pair";

    BroadPhase* broad = systemOf(scene)->broadPhase();
    broad->refreshAll();
    EXPECT_EQ(query(*broad, left), (std::vector<uint32_t>{right.entityId, box.entityId}));
    EXPECT_EQ(query(*broad, right), (std::vector<uint32_t>{left.entityId, box.entityId}));
    EXPECT_EQ(query(*broad, box), (std::vector<uint32_t>{left.entityId, right.entityId}));

    // Made convex in place, with the same bounds: the grid prunes the pair again.
    const std::vector<glm::vec2> square{{0.0f, 0.0f}, {10.0f, 0.0f}, {10.0f, 3.0f}, {0.0f, 3.0f}};
    scene.world->getComponentAs<PolygonCollider>(left, "collider")->setVertices(square);
    scene.world->getComponentAs<PolygonCollider>(right, "collider")->setVertices(square);
    broad->refreshAll();
    EXPECT_TRUE(query(*broad, left).empty());
    EXPECT_TRUE(query(*broad, box).empty());
}

// ---- equivalence with the full scan ---------------------------------------------------------

namespace {

// Moves a few bodies around at priority 0, as gameplay does between physics steps.
class Teleporter : public vorn::engine::Behavior {
public:
    Teleporter(std::vector<EntityHandle> targets, unsigned seed)
        : targets(std::move(targets)), random(seed) {}
    void update(float) override {
        ++frame;
        if (frame % 7 != 0)
            return;
        std::uniform_real_distribution<float> coordinate(-25.0f, 25.0f);
        const EntityHandle e = targets[frame % targets.size()];
        if (auto* t = world->getComponentAs<Transform>(e, "transform"))
            t->setPosition(glm::vec3(coordinate(random), coordinate(random), 0.0f));
        if (frame == 21 && !targets.empty())
            if (auto* t = world->getComponentAs<Transform>(targets[0], "transform"))
                t->setPosition(glm::vec3(std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f));
    }
    std::vector<EntityHandle> targets;
    std::mt19937 random;
    int frame = 0;
};

struct RandomScene {
    ActiveScene scene;
    std::vector<EntityHandle> entities;
    std::vector<CollisionTracker*> trackers;

    RandomScene(unsigned seed, bool broadPhase) {
        auto* system = new RigidBodySystem();
        system->setBroadPhaseEnabled(broadPhase);
        system->setCellSize(4.0f + static_cast<float>(seed % 3) * 6.0f);
        scene.world->addComponent(system);
        scene.world->addComponent(new Gravity(0.0f, -40.0f, 0.0f, "hasGravity"));
        std::mt19937 random(seed);
        std::uniform_real_distribution<float> coordinate(-25.0f, 25.0f);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        const int count = 60 + static_cast<int>(seed % 5) * 20;
        for (int i = 0; i < count; ++i)
            entities.push_back(addRandom(random, coordinate, unit, i));
        // A floor and a kill zone far wider than the grid holds per entry.
        const EntityHandle floor =
            scene.box(0.0f, -30.0f, -40.0f, -2.0f, 80.0f, 4.0f, {"platform"});
        scene.addBody(floor, 1.0f, true, 0.0f);
        entities.push_back(floor);
        const EntityHandle killZone = scene.box(0.0f, -40.0f, -1.0e5f, -2.5f, 2.0e5f, 5.0f);
        scene.addBody(killZone, 0.0f, true, 0.0f);
        entities.push_back(killZone);
        for (int i = 0; i < 5; ++i) {
            auto* tracker = new CollisionTracker(i % 2 ? "being" : "platform");
            scene.world->addComponent(entities[static_cast<size_t>(i * 7)], tracker);
            trackers.push_back(tracker);
        }
        const EntityHandle mover = scene.world->createEntity();
        scene.world->addComponent(
            mover, new Teleporter({entities[3], entities[5], entities[8], entities[13]}, seed));
    }

    EntityHandle addRandom(std::mt19937& random, std::uniform_real_distribution<float>& coordinate,
                           std::uniform_real_distribution<float>& unit, int i) {
        const bool isStatic = unit(random) < 0.3f;
        const float x = coordinate(random);
        const float y = coordinate(random);
        const float pick = unit(random);
        EntityHandle e;
        if (pick < 0.45f) {
            e = scene.circle(x, y, 0.5f + 2.5f * unit(random));
        } else if (pick < 0.8f) {
            e = scene.entityAt(x, y);
            scene.world->addComponent(e,
                                      new PolygonCollider(isStatic ? 90.0f * unit(random) : 0.0f,
                                                          -1.0f, -1.0f, 2.0f + 8.0f * unit(random),
                                                          1.0f + 3.0f * unit(random), 1.0f, 1.0f));
        } else if (pick < 0.9f) {
            e = scene.entityAt(x, y);
            scene.world->addComponent(
                e, new PolygonCollider(regularPolygon(3 + i % 5, 1.0f + 2.0f * unit(random)),
                                       360.0f * unit(random), 1.0f, 1.0f));
        } else {
            // Concave and self-crossing lists, turned so that their reach points every way.
            e = scene.entityAt(x, y);
            scene.world->addComponent(
                e, new PolygonCollider(oddPointList(i, 1.0f + 3.0f * unit(random)),
                                       360.0f * unit(random), 1.0f, 1.0f));
        }
        if (!isStatic && unit(random) < 0.8f)
            scene.world->addComponent(e, new Label("hasGravity"));
        if (unit(random) < 0.3f)
            scene.world->addComponent(e, new Label("being"));
        std::set<std::string> extra;
        if (unit(random) < 0.15f)
            extra.insert("being");
        // Some static bodies move by their own velocity (a moving platform): never pushed, but met
        // where they are.
        const bool moves = !isStatic || unit(random) < 0.3f;
        const glm::vec3 velocity =
            moves ? glm::vec3(20.0f * unit(random) - 10.0f, 20.0f * unit(random) - 10.0f, 0.0f)
                  : glm::vec3(0.0f);
        scene.addBody(e, 0.5f + 4.5f * unit(random), isStatic, unit(random), velocity, extra);
        return e;
    }

    // Structural changes in the middle of a run, the same in both scenes.
    void changeAt(int frame) {
        World& world = *scene.world;
        if (frame == 10)
            world.destroyEntity(entities[2]);
        if (frame == 15) {
            world.deleteComponent(entities[4], "collider");
            world.addComponent(entities[4], new CircleCollider(2.0f));
        }
        if (frame == 20) {
            const EntityHandle late = scene.circle(0.0f, 10.0f, 2.0f, {"hasGravity", "being"});
            scene.addBody(late, 2.0f, false, 0.3f, glm::vec3(1.0f, 0.0f, 0.0f));
            entities.push_back(late);
        }
        if (frame == 25)
            world.deleteComponent(entities[6], "being");
    }
};

void expectSameBits(const void* a, const void* b, size_t size, const std::string& what) {
    EXPECT_EQ(std::memcmp(a, b, size), 0) << what;
}

void compareScenes(RandomScene& plain, RandomScene& fast, int frame, size_t& contacts) {
    EXPECT_EQ(plain.entities.size(), fast.entities.size());
    for (size_t i = 0; i < plain.entities.size(); ++i) {
        const EntityHandle pe = plain.entities[i];
        const EntityHandle fe = fast.entities[i];
        ASSERT_EQ(pe.entityId, fe.entityId);
        const std::string where =
            "frame " + std::to_string(frame) + " entity " + std::to_string(pe.entityId);
        const Transform* pt = plain.scene.transform(pe);
        const Transform* ft = fast.scene.transform(fe);
        ASSERT_EQ(pt == nullptr, ft == nullptr) << where;
        if (pt)
            expectSameBits(&pt->matrix, &ft->matrix, sizeof pt->matrix, where + " matrix");
        const RigidBody* pb = plain.scene.body(pe);
        const RigidBody* fb = fast.scene.body(fe);
        ASSERT_EQ(pb == nullptr, fb == nullptr) << where;
        if (!pb)
            continue;
        expectSameBits(&pb->velocity, &fb->velocity, sizeof pb->velocity, where + " velocity");
        ASSERT_EQ(pb->contacts.size(), fb->contacts.size()) << where;
        for (size_t c = 0; c < pb->contacts.size(); ++c) {
            EXPECT_EQ(pb->contacts[c].other.entityId, fb->contacts[c].other.entityId) << where;
            expectSameBits(&pb->contacts[c].separation, &fb->contacts[c].separation,
                           sizeof(glm::vec2), where + " separation");
        }
        contacts += pb->contacts.size();
    }
    for (size_t t = 0; t < plain.trackers.size(); ++t) {
        ASSERT_EQ(plain.trackers[t]->contacts.size(), fast.trackers[t]->contacts.size());
        for (size_t c = 0; c < plain.trackers[t]->contacts.size(); ++c) {
            EXPECT_EQ(plain.trackers[t]->contacts[c].other.entityId,
                      fast.trackers[t]->contacts[c].other.entityId);
            expectSameBits(&plain.trackers[t]->contacts[c].separation,
                           &fast.trackers[t]->contacts[c].separation, sizeof(glm::vec2),
                           "tracker separation");
        }
    }
}

} // namespace

TEST(BroadPhaseEquivalence, RandomScenesGiveTheSameContactsPositionsAndVelocities) {
    size_t totalContacts = 0;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        RandomScene plain(seed, false);
        RandomScene fast(seed, true);
        ASSERT_EQ(systemOf(plain.scene)->broadPhase(), nullptr);
        BroadPhase* broad = systemOf(fast.scene)->broadPhase();
        ASSERT_NE(broad, nullptr);
        for (int frame = 0; frame < 45; ++frame) {
            plain.changeAt(frame);
            fast.changeAt(frame);
            plain.scene.step(1.0f / 60.0f);
            fast.scene.step(1.0f / 60.0f);
            compareScenes(plain, fast, frame, totalContacts);
            if (::testing::Test::HasFailure())
                FAIL() << "seed " << seed << " diverged at frame " << frame;
        }
        EXPECT_EQ(broad->size(),
                  fast.scene.world->getEntities("transform", "collider", "rigidBody").size());
    }
    // The scenes are busy: thousands of contacts were compared.
    EXPECT_GT(totalContacts, 2000u);
}
