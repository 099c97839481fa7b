// Rigid bodies: the system, resolution against static and dynamic bodies, impulses, contacts,
// and whole scenes stepped in a live world.
#include "PhysicsScene.hpp"

#include "engine/Behavior.hpp"
#include "physics/CollisionTracker.hpp"
#include "physics/Gravity.hpp"
#include "physics/RigidBodySystem.hpp"

#include <gtest/gtest.h>

#include <cmath>

using namespace physics_test;
using vorn::components::Contact;
using vorn::systems::Gravity;
using vorn::systems::RigidBodySystem;

namespace {

const EntityHandle worldEntity(const ActiveScene& scene) {
    return EntityHandle{0, scene.world.get()};
}

// A platform: the top face at y = 0, 20 wide.
EntityHandle platform(ActiveScene& scene, float restitution = 0.0f) {
    const EntityHandle e = scene.box(0.0f, 0.0f, -10.0f, -2.0f, 20.0f, 2.0f, {"platform"});
    scene.addBody(e, 1.0f, true, restitution);
    return e;
}

// Records, when it runs, how many contacts a rigid body holds.
class ContactProbe : public vorn::engine::Behavior {
public:
    ContactProbe(RigidBody* watched, float priority) : watched(watched) {
        updatePriority = priority;
    }
    void update(float) override { seen.push_back(watched->contacts.size()); }
    RigidBody* watched;
    std::vector<size_t> seen;
};

} // namespace

// ---- construction and the system ------------------------------------------------------------

TEST(RigidBody, NamesFieldsAndRequiredNames) {
    RigidBody body(3.0f, true, 0.5f, 1.0f, 2.0f, 3.0f, {"being"});
    for (const char* name : {"behavior", "body", "rigidBody"})
        EXPECT_TRUE(body.hasName(name)) << name;
    EXPECT_EQ(body.updatePriority, 101.0f);
    EXPECT_EQ(body.mass, 3.0f);
    EXPECT_EQ(body.isStatic, 1.0f);
    EXPECT_EQ(body.restitution, 0.5f);
    EXPECT_EQ(body.velocity, glm::vec3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(body.requiredComponents,
              (std::set<std::string>{"being", "transform", "collider", "rigidBody"}));
    RigidBody dynamic(1.0f, false, 0.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(dynamic.isStatic, 0.0f);
    EXPECT_EQ(dynamic.requiredComponents.size(), 3u);
}

TEST(RigidBodySystem, CreatedOnDemandOnceOnEntityZero) {
    ActiveScene scene;
    EXPECT_TRUE(
        scene.world->getComponents(worldEntity(scene), RigidBodySystem::componentName).empty());
    platform(scene);
    const EntityHandle ball = scene.circle(0.0f, 5.0f, 1.0f);
    scene.addBody(ball, 1.0f, false);
    const auto& systems =
        scene.world->getComponents(worldEntity(scene), RigidBodySystem::componentName);
    ASSERT_EQ(systems.size(), 1u);
    auto* system = dynamic_cast<RigidBodySystem*>(systems.front());
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->updatePriority, 100.0f);
    EXPECT_TRUE(system->hasName("behavior"));
    EXPECT_TRUE(system->broadPhaseEnabled());
}

TEST(RigidBodySystem, AnExistingSystemIsKept) {
    ActiveScene scene;
    auto* own = new RigidBodySystem();
    scene.world->addComponent(own);
    platform(scene);
    const auto& systems =
        scene.world->getComponents(worldEntity(scene), RigidBodySystem::componentName);
    ASSERT_EQ(systems.size(), 1u);
    EXPECT_EQ(systems.front(), own);
}

TEST(RigidBodySystem, InactiveWorldGetsItsSystemWhenStarted) {
    auto world = std::make_shared<World>();
    const EntityHandle e = world->createEntity();
    world->addComponent(e, new Transform());
    world->addComponent(e, new CircleCollider(1.0f));
    world->addComponent(e, new RigidBody(1.0f, false, 0.0f, 0.0f, 0.0f, 0.0f));
    EXPECT_TRUE(
        world->getComponents(EntityHandle{0, world.get()}, RigidBodySystem::componentName).empty());
    world->start();
    EXPECT_EQ(
        world->getComponents(EntityHandle{0, world.get()}, RigidBodySystem::componentName).size(),
        1u);
}

// ---- resolution -----------------------------------------------------------------------------

TEST(RigidBodyResolution, DynamicBodyTakesTheWholeSeparationFromAStaticOne) {
    ActiveScene scene;
    const EntityHandle floor = platform(scene);
    const EntityHandle ball = scene.circle(0.0f, 0.75f, 1.0f);
    RigidBody* body = scene.addBody(ball, 5.0f, false, 0.0f, glm::vec3(0.0f, -3.0f, 0.0f));
    scene.step(0.0f); // no motion: resolution only
    EXPECT_NEAR(scene.position(ball).y, 1.0f, 1e-6f);
    EXPECT_EQ(scene.position(ball).x, 0.0f);
    EXPECT_EQ(scene.position(floor), glm::vec3(0.0f));
    // Restitution 0: the velocity into the platform is gone.
    EXPECT_EQ(body->velocity.y, 0.0f);
    EXPECT_EQ(scene.body(floor)->velocity, glm::vec3(0.0f));
}

TEST(RigidBodyResolution, BodyMovingAwayFromAPlatformKeepsItsVelocity) {
    ActiveScene scene;
    platform(scene);
    const EntityHandle ball = scene.circle(0.0f, 0.75f, 1.0f);
    RigidBody* body = scene.addBody(ball, 1.0f, false, 0.0f, glm::vec3(3.0f, 5.0f, 7.0f));
    scene.step(0.0f);
    EXPECT_NEAR(scene.position(ball).y, 1.0f, 1e-6f);
    EXPECT_EQ(body->velocity, glm::vec3(3.0f, 5.0f, 7.0f));
    ASSERT_EQ(body->contacts.size(), 1u);
}

TEST(RigidBodyResolution, SlidingAlongAPlatformKeepsTheTangentialSpeed) {
    ActiveScene scene;
    platform(scene);
    const EntityHandle ball = scene.circle(0.0f, 0.75f, 1.0f);
    RigidBody* body = scene.addBody(ball, 1.0f, false, 0.0f, glm::vec3(4.0f, -2.0f, 1.0f));
    scene.step(0.0f);
    EXPECT_EQ(body->velocity, glm::vec3(4.0f, 0.0f, 1.0f));
}

TEST(RigidBodyResolution, RestitutionIsTheProductOfBothBodies) {
    struct Case {
        float own, platform, expectedVelocity;
    };
    // k = 1 + e1 * e2; the velocity -2 into the platform becomes -2 + 2k.
    const Case cases[] = {
        {1.0f, 1.0f, 2.0f}, {1.0f, 0.0f, 0.0f}, {0.5f, 0.5f, 0.5f}, {1.0f, -1.0f, -2.0f}};
    for (const Case& c : cases) {
        ActiveScene scene;
        platform(scene, c.platform);
        const EntityHandle ball = scene.circle(0.0f, 0.75f, 1.0f);
        RigidBody* body = scene.addBody(ball, 1.0f, false, c.own, glm::vec3(0.0f, -2.0f, 0.0f));
        scene.step(0.0f);
        EXPECT_FLOAT_EQ(body->velocity.y, c.expectedVelocity) << c.own << " x " << c.platform;
    }
}

TEST(RigidBodyResolution, EqualMassesAreEachMovedHalfTheOverlap) {
    ActiveScene scene;
    const EntityHandle a = scene.circle(-0.5f, 0.0f, 1.0f);
    const EntityHandle b = scene.circle(0.5f, 0.0f, 1.0f);
    scene.addBody(a, 2.0f, false);
    scene.addBody(b, 2.0f, false);
    scene.step(0.0f);
    EXPECT_EQ(scene.position(a), glm::vec3(-1.0f, 0.0f, 0.0f));
    EXPECT_EQ(scene.position(b), glm::vec3(1.0f, 0.0f, 0.0f));
}

TEST(RigidBodyResolution, PushIsSharedByMass) {
    ActiveScene scene;
    const EntityHandle light = scene.circle(0.0f, 0.0f, 1.0f);
    const EntityHandle heavy = scene.circle(1.0f, 0.0f, 1.0f);
    scene.addBody(light, 1.0f, false); // updates first: w = 1 / (1 + 3)
    scene.addBody(heavy, 3.0f, false);
    scene.step(0.0f);
    EXPECT_FLOAT_EQ(scene.position(light).x, -0.75f);
    EXPECT_FLOAT_EQ(scene.position(heavy).x, 1.25f);
}

TEST(RigidBodyResolution, ApproachingBodiesExchangeAnImpulseSeparatingOnesDoNot) {
    {
        ActiveScene scene;
        const EntityHandle a = scene.circle(-0.5f, 0.0f, 1.0f);
        const EntityHandle b = scene.circle(0.5f, 0.0f, 1.0f);
        RigidBody* ba = scene.addBody(a, 1.0f, false, 0.0f, glm::vec3(1.0f, 0.0f, 0.0f));
        RigidBody* bb = scene.addBody(b, 1.0f, false, 0.0f, glm::vec3(-1.0f, 0.0f, 0.0f));
        scene.step(0.0f);
        // Head-on, equal masses, no bounce: both stop.
        EXPECT_FLOAT_EQ(ba->velocity.x, 0.0f);
        EXPECT_FLOAT_EQ(bb->velocity.x, 0.0f);
    }
    {
        ActiveScene scene;
        const EntityHandle a = scene.circle(-0.5f, 0.0f, 1.0f);
        const EntityHandle b = scene.circle(0.5f, 0.0f, 1.0f);
        RigidBody* ba = scene.addBody(a, 1.0f, false, 1.0f, glm::vec3(-1.0f, 0.0f, 0.0f));
        RigidBody* bb = scene.addBody(b, 1.0f, false, 1.0f, glm::vec3(1.0f, 0.0f, 0.0f));
        scene.step(0.0f);
        // Already moving apart: pushed out, velocities untouched.
        EXPECT_EQ(ba->velocity.x, -1.0f);
        EXPECT_EQ(bb->velocity.x, 1.0f);
        EXPECT_EQ(scene.position(a).x, -1.0f);
    }
}

TEST(RigidBodyResolution, ZeroTotalMassSplitsThePushInsteadOfProducingNaN) {
    ActiveScene scene;
    const EntityHandle a = scene.circle(-0.5f, 0.0f, 1.0f);
    const EntityHandle b = scene.circle(0.5f, 0.0f, 1.0f);
    scene.addBody(a, 0.0f, false);
    scene.addBody(b, 0.0f, false);
    scene.step(0.0f);
    EXPECT_EQ(scene.position(a).x, -1.0f);
    EXPECT_EQ(scene.position(b).x, 1.0f);
}

TEST(RigidBodyResolution, ExtraRequiredNamesLimitWhatABodyMeets) {
    ActiveScene scene;
    const EntityHandle part = scene.circle(0.0f, 0.0f, 1.0f);
    scene.addBody(part, 1.0f, false, 0.0f, glm::vec3(0.0f), {"being"});
    const EntityHandle plain = scene.box(0.5f, 0.0f, -1.0f, -1.0f, 2.0f, 2.0f);
    scene.addBody(plain, 1.0f, true);
    scene.step(0.0f);
    EXPECT_EQ(scene.position(part), glm::vec3(0.0f));
    EXPECT_TRUE(scene.body(part)->contacts.empty());
    const EntityHandle being = scene.circle(-1.5f, 0.0f, 1.0f, {"being"});
    scene.addBody(being, 1.0f, true);
    scene.step(0.0f);
    ASSERT_EQ(scene.body(part)->contacts.size(), 1u);
    EXPECT_EQ(scene.body(part)->contacts[0].other.entityId, being.entityId);
    EXPECT_FLOAT_EQ(scene.position(part).x, 0.5f);
}

TEST(RigidBodyResolution, MissingSiblingsMeanNoResolution) {
    ActiveScene scene;
    platform(scene);
    // No collider: integrates, never resolves.
    const EntityHandle ghost = scene.entityAt(0.0f, 0.5f);
    RigidBody* body = scene.addBody(ghost, 1.0f, false, 0.0f, glm::vec3(0.0f, -1.0f, 0.0f));
    scene.step(0.5f);
    EXPECT_EQ(scene.position(ghost).y, 0.0f);
    EXPECT_TRUE(body->contacts.empty());
    EXPECT_EQ(body->velocity.y, -1.0f);
}

// ---- contacts -------------------------------------------------------------------------------

TEST(RigidBodyContacts, BothBodiesRecordTheContactWithOppositeSeparations) {
    ActiveScene scene;
    const EntityHandle a = scene.circle(-0.5f, 0.0f, 1.0f);
    const EntityHandle b = scene.circle(0.5f, 0.0f, 1.0f);
    RigidBody* ba = scene.addBody(a, 1.0f, false);
    RigidBody* bb = scene.addBody(b, 1.0f, false);
    scene.step(0.0f);
    // The first resolves and separates the pair; the second then finds no overlap. Each holds
    // exactly one contact for the other.
    ASSERT_EQ(ba->contacts.size(), 1u);
    ASSERT_EQ(bb->contacts.size(), 1u);
    EXPECT_EQ(ba->contacts[0].other.entityId, b.entityId);
    EXPECT_EQ(bb->contacts[0].other.entityId, a.entityId);
    EXPECT_EQ(ba->contacts[0].separation, glm::vec2(-1.0f, 0.0f));
    EXPECT_EQ(bb->contacts[0].separation, glm::vec2(1.0f, 0.0f));
}

TEST(RigidBodyContacts, StaticBodyReceivesContactsButNeverWritesItsOwn) {
    ActiveScene scene;
    const EntityHandle floor = platform(scene);
    // A second static overlapping the first: statics never resolve, so no contact between them.
    const EntityHandle wall = scene.box(9.0f, 0.0f, 0.0f, -2.0f, 2.0f, 6.0f);
    scene.addBody(wall, 1.0f, true);
    const EntityHandle left = scene.circle(-5.0f, 0.5f, 1.0f);
    const EntityHandle right = scene.circle(5.0f, 0.5f, 1.0f);
    scene.addBody(left, 1.0f, false);
    scene.addBody(right, 1.0f, false);
    scene.step(0.0f);
    const auto& floorContacts = scene.body(floor)->contacts;
    ASSERT_EQ(floorContacts.size(), 2u);
    EXPECT_EQ(floorContacts[0].other.entityId, left.entityId);
    EXPECT_EQ(floorContacts[1].other.entityId, right.entityId);
    EXPECT_NEAR(floorContacts[0].separation.y, -0.5f, 1e-6f);
    EXPECT_TRUE(scene.body(wall)->contacts.empty());
    EXPECT_EQ(scene.position(floor), glm::vec3(0.0f));
    EXPECT_EQ(scene.position(wall), glm::vec3(9.0f, 0.0f, 0.0f));
}

TEST(RigidBodyContacts, ClearedAtTheStartOfEachStepSoGameplayReadsThePreviousStep) {
    ActiveScene scene;
    platform(scene);
    const EntityHandle ball = scene.circle(0.0f, 0.5f, 1.0f);
    RigidBody* body = scene.addBody(ball, 1.0f, false);
    const EntityHandle observer = scene.world->createEntity();
    auto* gameplay = new ContactProbe(body, 0.0f);
    auto* afterClearing = new ContactProbe(body, 100.5f);
    scene.world->addComponent(observer, gameplay);
    scene.world->addComponent(observer, afterClearing);
    scene.step(0.0f); // contact made
    scene.step(0.0f); // resting exactly on the face: no overlap, no contact
    EXPECT_EQ(gameplay->seen, (std::vector<size_t>{0u, 1u}));
    EXPECT_EQ(afterClearing->seen, (std::vector<size_t>{0u, 0u}));
    EXPECT_TRUE(body->contacts.empty());
}

TEST(RigidBodyContacts, ClearedWhenTheBodyLeavesItsWorld) {
    ActiveScene scene;
    platform(scene);
    const EntityHandle ball = scene.circle(0.0f, 0.5f, 1.0f);
    RigidBody* body = scene.addBody(ball, 1.0f, false);
    scene.step(0.0f);
    ASSERT_FALSE(body->contacts.empty());
    std::unique_ptr<vorn::engine::Component> taken(scene.world->removeComponent(body));
    EXPECT_TRUE(body->contacts.empty());
}

// ---- whole scenes ---------------------------------------------------------------------------

TEST(RigidBodyScene, DroppedCircleComesToRestOnAPlatformAndStays) {
    ActiveScene scene;
    scene.world->addComponent(new Gravity(0.0f, -40.0f, 0.0f, "hasGravity"));
    const EntityHandle floor = platform(scene);
    const EntityHandle ball = scene.circle(1.0f, 12.0f, 1.0f, {"hasGravity"});
    RigidBody* body = scene.addBody(ball, 1.0f, false);
    const float dt = 1.0f / 60.0f;
    int firstRestingFrame = -1;
    for (int frame = 0; frame < 60 * 8; ++frame) {
        scene.step(dt);
        const float y = scene.position(ball).y;
        ASSERT_GT(y, 1.0f - 0.02f) << "sank through the platform at frame " << frame;
        const bool touching =
            body->contacts.size() == 1 && body->contacts[0].other.entityId == floor.entityId;
        if (firstRestingFrame < 0 && touching && std::fabs(y - 1.0f) < 1e-3f &&
            std::fabs(body->velocity.y) < 1e-3f)
            firstRestingFrame = frame;
        if (firstRestingFrame >= 0) {
            // Once resting: a contact with the platform every frame, no sinking, no jitter.
            ASSERT_TRUE(touching) << "frame " << frame;
            EXPECT_NEAR(y, 1.0f, 1e-3f) << "frame " << frame;
            EXPECT_NEAR(body->velocity.y, 0.0f, 1e-3f) << "frame " << frame;
            EXPECT_EQ(scene.position(ball).x, 1.0f);
        }
    }
    ASSERT_GE(firstRestingFrame, 0);
    EXPECT_LT(firstRestingFrame, 60 * 3) << "took more than three seconds to settle";
    EXPECT_EQ(scene.position(floor), glm::vec3(0.0f));
}

TEST(RigidBodyScene, BouncyBallLosesNothingOnAPerfectlyElasticPlatform) {
    ActiveScene scene;
    scene.world->addComponent(new Gravity(0.0f, -40.0f, 0.0f, "hasGravity"));
    platform(scene, 1.0f);
    const EntityHandle ball = scene.circle(0.0f, 5.0f, 1.0f, {"hasGravity"});
    scene.addBody(ball, 1.0f, false, 1.0f);
    float highest = 0.0f;
    for (int frame = 0; frame < 60 * 4; ++frame) {
        scene.step(1.0f / 60.0f);
        if (frame > 60)
            highest = std::max(highest, scene.position(ball).y);
    }
    // It keeps bouncing back up to about where it started (not resting on the platform).
    EXPECT_GT(highest, 4.0f);
    EXPECT_LT(highest, 6.0f);
}

TEST(RigidBodyScene, TwoEqualBodiesArePushedApartSymmetrically) {
    ActiveScene scene;
    scene.world->addComponent(new Gravity(0.0f, -40.0f, 0.0f, "hasGravity"));
    platform(scene);
    // Side by side on the platform, overlapping by 0.5.
    const EntityHandle a = scene.circle(-0.75f, 1.0f, 1.0f, {"hasGravity"});
    const EntityHandle b = scene.circle(0.75f, 1.0f, 1.0f, {"hasGravity"});
    RigidBody* ba = scene.addBody(a, 1.0f, false);
    RigidBody* bb = scene.addBody(b, 1.0f, false);
    scene.step(1.0f / 60.0f);
    EXPECT_FLOAT_EQ(scene.position(a).x, -1.0f);
    EXPECT_FLOAT_EQ(scene.position(b).x, 1.0f);
    for (int frame = 0; frame < 60; ++frame)
        scene.step(1.0f / 60.0f);
    EXPECT_NEAR(scene.position(a).x, -scene.position(b).x, 1e-5f);
    EXPECT_NEAR(scene.position(a).y, 1.0f, 1e-3f);
    EXPECT_NEAR(scene.position(b).y, 1.0f, 1e-3f);
    EXPECT_NEAR(ba->velocity.x, 0.0f, 1e-5f);
    EXPECT_NEAR(bb->velocity.x, 0.0f, 1e-5f);
}

TEST(RigidBodyScene, PlayerCarriedIntoANewWorldKeepsColliding) {
    ActiveScene scene;
    scene.world->addComponent(new Gravity(0.0f, -40.0f, 0.0f, "hasGravity"));
    platform(scene);
    const EntityHandle player = scene.circle(0.0f, 3.0f, 1.0f, {"hasGravity", "player"});
    RigidBody* body = scene.addBody(player, 1.0f, false);
    auto* tracker = new vorn::components::CollisionTracker("door");
    scene.world->addComponent(player, tracker);
    for (int frame = 0; frame < 60; ++frame)
        scene.step(1.0f / 60.0f);
    ASSERT_FALSE(body->contacts.empty());

    // The next area: its own gravity and a platform 100 units lower, but no rigid-body system yet
    // besides what its platform creates once started.
    auto next = std::make_shared<World>();
    next->addComponent(new Gravity(0.0f, -40.0f, 0.0f, "hasGravity"));
    const EntityHandle floor = next->createEntity();
    next->addComponent(
        floor, new Transform(glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, -100.0f, 0.0f))));
    next->addComponent(floor, new PolygonCollider(0.0f, -10.0f, -2.0f, 20.0f, 2.0f, 1.0f, 1.0f));
    next->addComponent(floor, new RigidBody(1.0f, true, 0.0f, 0.0f, 0.0f, 0.0f));
    next->addComponent(floor, new Label("platform"));
    // A door (no rigid body) where the player will land, for its tracker.
    const EntityHandle door = next->createEntity();
    next->addComponent(
        door, new Transform(glm::translate(glm::mat4(1.0f), glm::vec3(1.0f, -99.0f, 0.0f))));
    next->addComponent(door, new CircleCollider(2.0f));
    next->addComponent(door, new Label("door"));
    const EntityHandle arrived = next->createEntity();
    const auto components = scene.world->getEntityComponents(player);
    for (auto* c : std::vector<vorn::engine::Component*>(components.begin(), components.end()))
        next->addComponent(arrived, scene.world->removeComponent(c));
    EXPECT_TRUE(body->contacts.empty());
    next->getComponentAs<Transform>(arrived, Transform::componentName)
        ->setPosition(glm::vec3(0.0f, -97.0f, 0.0f));
    scene.app.setWorld(next);
    scene.app.update(1.0f / 60.0f);
    scene.world.reset(); // the old area is gone
    ASSERT_EQ(scene.app.currentWorld(), next);

    bool landed = false;
    for (int frame = 0; frame < 120; ++frame) {
        next->update(1.0f / 60.0f);
        EXPECT_LE(body->contacts.size(), 1u);
        landed = landed ||
                 (!body->contacts.empty() && body->contacts[0].other.entityId == floor.entityId);
    }
    EXPECT_TRUE(landed);
    EXPECT_NEAR(next->getComponentAs<Transform>(arrived, Transform::componentName)->position().y,
                -99.0f, 1e-3f);
    ASSERT_EQ(tracker->contacts.size(), 1u);
    EXPECT_EQ(tracker->contacts[0].other.entityId, door.entityId);
    EXPECT_EQ(tracker->contacts[0].other.world, next.get());
}

TEST(RigidBodyScene, CarriedIntoAnEmptyWorldTheBodyBringsItsSystemAlong) {
    ActiveScene scene;
    platform(scene);
    const EntityHandle ball = scene.circle(0.0f, 0.5f, 1.0f);
    RigidBody* body = scene.addBody(ball, 1.0f, false);
    scene.step(0.0f);
    auto empty = std::make_shared<World>();
    const EntityHandle arrived = empty->createEntity();
    const auto components = scene.world->getEntityComponents(ball);
    for (auto* c : std::vector<vorn::engine::Component*>(components.begin(), components.end()))
        empty->addComponent(arrived, scene.world->removeComponent(c));
    scene.app.setWorld(empty);
    scene.app.update(0.0f);
    scene.world.reset();
    EXPECT_EQ(
        empty->getComponents(EntityHandle{0, empty.get()}, RigidBodySystem::componentName).size(),
        1u);
    // A second body arriving overlapping it: contacts are made and cleared every step.
    const EntityHandle other = empty->createEntity();
    empty->addComponent(
        other, new Transform(glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.5f, 0.0f))));
    empty->addComponent(other, new CircleCollider(1.0f));
    empty->addComponent(other, new RigidBody(1.0f, true, 0.0f, 0.0f, 0.0f, 0.0f));
    for (int frame = 0; frame < 5; ++frame) {
        empty->getComponentAs<Transform>(arrived, Transform::componentName)
            ->setPosition(glm::vec3(0.0f));
        empty->update(0.0f);
        EXPECT_EQ(body->contacts.size(), 1u);
    }
}
