// The collision tracker: who is listed, in which order, and when.
#include "PhysicsScene.hpp"

#include "physics/Body.hpp"
#include "physics/CollisionTracker.hpp"

#include <gtest/gtest.h>

using namespace physics_test;
using vorn::components::Body;
using vorn::components::CollisionTracker;

namespace {

CollisionTracker* track(ActiveScene& scene, EntityHandle e, const std::string& tag) {
    auto* tracker = new CollisionTracker(tag);
    scene.world->addComponent(e, tracker);
    return tracker;
}

std::vector<uint32_t> ids(const std::vector<vorn::components::Contact>& contacts) {
    std::vector<uint32_t> out;
    for (const auto& c : contacts)
        out.push_back(c.other.entityId);
    return out;
}

} // namespace

TEST(CollisionTracker, NamesPriorityAndRequiredNames) {
    CollisionTracker tracker("player");
    EXPECT_TRUE(tracker.hasName("collisionTracker"));
    EXPECT_TRUE(tracker.hasName("behavior"));
    EXPECT_EQ(tracker.updatePriority, 102.0f);
    EXPECT_EQ(tracker.requiredComponents,
              (std::set<std::string>{"player", "transform", "collider"}));
}

TEST(CollisionTracker, ListsOverlappingTaggedEntitiesInAscendingId) {
    ActiveScene scene;
    const EntityHandle door = scene.box(0.0f, 0.0f, -2.0f, -2.0f, 4.0f, 4.0f);
    auto* tracker = track(scene, door, "player");
    const EntityHandle far = scene.circle(20.0f, 0.0f, 1.0f, {"player"});
    const EntityHandle second = scene.circle(2.5f, 0.0f, 1.0f, {"player"});
    const EntityHandle untagged = scene.circle(0.0f, 0.5f, 1.0f);
    const EntityHandle touching = scene.circle(3.0f, 0.0f, 1.0f, {"player"});
    const EntityHandle first = scene.circle(-2.5f, 0.0f, 1.0f, {"player"});
    (void)far;
    (void)untagged;
    (void)touching;
    scene.step();
    ASSERT_EQ(ids(tracker->contacts), (std::vector<uint32_t>{second.entityId, first.entityId}));
    // Separations are the tracker's own collider's: the door is pushed away from each.
    EXPECT_NEAR(tracker->contacts[0].separation.x, -0.5f, 1e-6f);
    EXPECT_EQ(tracker->contacts[0].separation.y, 0.0f);
    EXPECT_NEAR(tracker->contacts[1].separation.x, 0.5f, 1e-6f);
    EXPECT_EQ(tracker->contacts[0].other.world, scene.world.get());
}

TEST(CollisionTracker, NeverListsItsOwnEntity) {
    ActiveScene scene;
    const EntityHandle self = scene.circle(0.0f, 0.0f, 1.0f, {"player"});
    auto* tracker = track(scene, self, "player");
    const EntityHandle other = scene.circle(0.5f, 0.0f, 1.0f, {"player"});
    scene.step();
    EXPECT_EQ(ids(tracker->contacts), std::vector<uint32_t>{other.entityId});
}

TEST(CollisionTracker, MissingOwnColliderOrTransformGivesAnEmptyList) {
    ActiveScene scene;
    const EntityHandle noCollider = scene.entityAt(0.0f, 0.0f);
    auto* withoutCollider = track(scene, noCollider, "player");
    const EntityHandle noTransform = scene.world->createEntity();
    scene.world->addComponent(noTransform, new CircleCollider(3.0f));
    auto* withoutTransform = track(scene, noTransform, "player");
    scene.circle(0.0f, 0.0f, 1.0f, {"player"});
    scene.step();
    EXPECT_TRUE(withoutCollider->contacts.empty());
    EXPECT_TRUE(withoutTransform->contacts.empty());
}

TEST(CollisionTracker, ListIsRebuiltEveryFrameNotAccumulated) {
    ActiveScene scene;
    const EntityHandle door = scene.box(0.0f, 0.0f, -1.0f, -1.0f, 2.0f, 2.0f);
    auto* tracker = track(scene, door, "player");
    const EntityHandle player = scene.circle(1.5f, 0.0f, 1.0f, {"player"});
    scene.step();
    scene.step();
    EXPECT_EQ(tracker->contacts.size(), 1u);
    scene.transform(player)->setPosition(glm::vec3(5.0f, 0.0f, 0.0f));
    scene.step();
    EXPECT_TRUE(tracker->contacts.empty());
}

TEST(CollisionTracker, SeesBodiesWhereTheyMovedInTheSameFrame) {
    ActiveScene scene;
    const EntityHandle door = scene.box(0.0f, 0.0f, -1.0f, -1.0f, 2.0f, 2.0f);
    auto* tracker = track(scene, door, "player");
    // Moving left at 60 units/s: after one 1/60 s frame it overlaps the door by 0.5.
    const EntityHandle player = scene.circle(2.5f, 0.0f, 1.0f, {"player"});
    scene.world->addComponent(player, new Body(1.0f, -60.0f, 0.0f, 0.0f));
    scene.step(1.0f / 60.0f);
    ASSERT_EQ(tracker->contacts.size(), 1u);
    EXPECT_NEAR(tracker->contacts[0].separation.x, -0.5f, 1e-5f);
}

TEST(CollisionTracker, EntityGainingTheTagLaterIsListedFromThen) {
    ActiveScene scene;
    const EntityHandle door = scene.box(0.0f, 0.0f, -1.0f, -1.0f, 2.0f, 2.0f);
    auto* tracker = track(scene, door, "player");
    const EntityHandle visitor = scene.circle(0.0f, 0.0f, 1.0f);
    scene.step();
    EXPECT_TRUE(tracker->contacts.empty());
    scene.world->addComponent(visitor, new Label("player"));
    scene.step();
    EXPECT_EQ(ids(tracker->contacts), std::vector<uint32_t>{visitor.entityId});
    scene.world->deleteComponent(visitor, vorn::components::Collider::componentName);
    scene.step();
    EXPECT_TRUE(tracker->contacts.empty());
}

TEST(CollisionTracker, CarriedIntoAnotherWorldTracksThatWorld) {
    ActiveScene first;
    const EntityHandle door = first.box(0.0f, 0.0f, -1.0f, -1.0f, 2.0f, 2.0f);
    auto* tracker = track(first, door, "player");
    first.circle(0.5f, 0.0f, 1.0f, {"player"});
    first.step();
    ASSERT_EQ(tracker->contacts.size(), 1u);

    auto second = std::make_shared<World>();
    const EntityHandle target = second->createEntity();
    const EntityHandle carried = second->createEntity();
    second->addComponent(
        target, new Transform(glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 10.5f, 0.0f))));
    second->addComponent(target, new CircleCollider(1.0f));
    second->addComponent(target, new Label("player"));
    // Move the door's components; the first world goes away entirely.
    const auto components = first.world->getEntityComponents(door);
    for (auto* c : std::vector<vorn::engine::Component*>(components.begin(), components.end()))
        second->addComponent(carried, first.world->removeComponent(c));
    first.app.setWorld(second);
    first.app.update(1.0f / 60.0f); // switches worlds; the old one is released
    first.world.reset();
    ASSERT_EQ(first.app.currentWorld(), second);
    second->getComponentAs<Transform>(carried, Transform::componentName)
        ->setPosition(glm::vec3(0.0f, 10.0f, 0.0f));
    second->update(1.0f / 60.0f);
    EXPECT_EQ(ids(tracker->contacts), std::vector<uint32_t>{target.entityId});
    EXPECT_EQ(tracker->contacts[0].other.world, second.get());
}
