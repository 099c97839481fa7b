#include "components/ActionSignal.hpp"
#include "components/Attack.hpp"
#include "components/Damage.hpp"
#include "components/DelayedSignal.hpp"
#include "components/Energy.hpp"
#include "components/Health.hpp"
#include "components/OriginalSpawnPoint.hpp"
#include "components/PlayerDeathAction.hpp"
#include "components/PlayerReactions.hpp"
#include "engine/DiagnosticsCapture.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/CollisionTracker.hpp"
#include "physics/RigidBody.hpp"
#include "support/TestStage.hpp"

#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

namespace {

using components::Damage;
using components::Health;
using vorn::components::ActionSignal;
using vorn::components::Label;
using vorn::components::RigidBody;
using vorn::components::Transform;
using vorn::engine::EntityHandle;
using vorn::engine::World;

constexpr float dt = 1.0f / 60.0f;

// An entity with health and a counter of how often its death and hurt actions ran.
struct Victim {
    EntityHandle entity;
    Health* health = nullptr;
    int deaths = 0;
    int hurts = 0;
};

Victim makeVictim(World& world, Health* health, const char* tag) {
    Victim v;
    v.entity = world.createEntity();
    v.health = health;
    world.addComponent(v.entity, new Transform());
    world.addComponent(v.entity, health);
    world.addComponent(v.entity, new Label(tag));
    return v;
}

void countActions(World& world, Victim& v) {
    world.addComponent(v.entity,
                       new ActionSignal("deathAction", [&v](EntityHandle) { ++v.deaths; }));
    world.addComponent(v.entity, new ActionSignal("hurtAction", [&v](EntityHandle) { ++v.hurts; }));
}

TEST(HealthTest, BlowsRegenerationAndDeath) {
    testsupport::registerGameSounds();
    struct Case {
        const char* what;
        float maximum, regenRate, regenDelay, blow;
        float afterBlow, afterOneFrame, afterOneSecond;
        int deathsAfterThreeFrames;
    };
    const Case cases[] = {
        // A web heals to full in the frame after a blow that does not destroy it.
        {"web, punch", 150, 1000, 0, 100, 50, 150, 150, 0},
        {"web, sword", 150, 1000, 0, 200, 0, 0, 0, 3},
        // The ninja: single steps of maximum * rate * dt, one every half second.
        {"ninja", 100, 0.5f, 0.5f, 30, 70, 70, 70 + 100 * 0.5f * dt, 0},
        {"worker ant", 100, 0, 0, 100, 0, 0, 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        World world;
        Victim v =
            makeVictim(world, new Health(c.maximum, "hit", c.regenRate, c.regenDelay), "enemy");
        countActions(world, v);
        EXPECT_TRUE(v.health->damage(c.blow));
        EXPECT_FLOAT_EQ(v.health->current, c.afterBlow);
        v.health->update(dt);
        EXPECT_FLOAT_EQ(v.health->current, c.afterOneFrame);
        for (int i = 0; i < 2; ++i)
            v.health->update(dt);
        EXPECT_EQ(v.deaths, c.deathsAfterThreeFrames);
        for (int i = 3; i < 60; ++i)
            v.health->update(dt);
        EXPECT_NEAR(v.health->current, c.afterOneSecond, 1e-3f);
        // Nothing more is taken from, or given to, the dead.
        if (c.afterBlow == 0.0f) {
            EXPECT_FALSE(v.health->damage(10));
            EXPECT_FALSE(v.health->heal(1));
            EXPECT_EQ(v.health->current, 0.0f);
        }
    }
}

TEST(DamageTest, TrackerLooksAtItsFirstContactOnlyAndRigidBodiesAtTheFirstTarget) {
    testsupport::registerGameSounds();
    World world;
    Victim plain = makeVictim(world, new Health(100, "hit", 0, 0), "rock");
    Victim target = makeVictim(world, new Health(100, "hit", 0, 0), "ant");
    countActions(world, target);
    auto* targetBody = new vorn::components::Body(4.0f, 0, 0, 0);
    world.addComponent(target.entity, targetBody);

    // The tracker path: the first contact lacks the tag, so nothing is dealt this time round.
    const EntityHandle puncher = world.createEntity();
    auto* tracker = new vorn::components::CollisionTracker("ant");
    world.addComponent(puncher, tracker);
    auto* punch = new Damage("ant", 25, 0.5f, 0);
    world.addComponent(puncher, punch);
    tracker->contacts = {{{1, 0}, plain.entity}, {{1, 0}, target.entity}};
    punch->update(dt);
    EXPECT_EQ(target.health->current, 100.0f);
    EXPECT_EQ(punch->timer, 0.0f); // the cooldown starts anyway
    tracker->contacts = {{{1, 0}, target.entity}};
    punch->update(dt);
    EXPECT_EQ(target.health->current, 100.0f); // cooling down
    for (int i = 0; i < 30; ++i)
        punch->update(dt);
    EXPECT_EQ(target.health->current, 75.0f);
    EXPECT_EQ(target.hurts, 1);

    // The rigid-body path finds the later contact, reports it and throws the target away.
    const EntityHandle biter = world.createEntity();
    world.addComponent(biter, new Transform());
    auto* biterBody = new RigidBody(10, false, 0, 0, 0, 0);
    world.addComponent(biter, biterBody);
    auto* bite = new Damage("ant", 20, 0.5f, 1000);
    world.addComponent(biter, bite);
    biterBody->contacts = {{{2, 0}, plain.entity}, {{0, 0.5f}, target.entity}};
    vorn::engine::DiagnosticsCapture capture;
    bite->update(dt);
    EXPECT_EQ(capture.outText(), "hit!1\n");
    EXPECT_EQ(target.health->current, 55.0f);
    EXPECT_EQ(plain.health->current, 100.0f);
    EXPECT_EQ(targetBody->deltaVelocity, glm::vec3(0, -0.5f * 1000 / 4.0f, 0));
    EXPECT_EQ(target.hurts, 2);
}

TEST(DelayedSignalTest, FiresOnceAfterItsDelayAndLeaves) {
    World world;
    const EntityHandle e = world.createEntity();
    int calls = 0;
    EntityHandle seen;
    auto* signal = new vorn::components::DelayedSignal(0.1f, [&](EntityHandle h) {
        ++calls;
        seen = h;
    });
    world.addComponent(e, signal);
    for (int i = 0; i < 6; ++i)
        signal->update(dt);
    EXPECT_EQ(calls, 0);
    signal->update(dt);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen.entityId, e.entityId);
    EXPECT_EQ(world.getComponent(e, "delayedSignal"), nullptr);
    EXPECT_EQ(world.componentCount(), 0u);

    // A signal whose function ends its own entity leaves without touching itself again.
    const EntityHandle doomed = world.createEntity();
    world.addComponent(doomed, new Transform());
    auto* last = new vorn::components::DelayedSignal(
        0.0f, [&world](EntityHandle h) { world.destroyEntity(h); });
    world.addComponent(doomed, last);
    last->update(dt);
    EXPECT_FALSE(world.isLive(doomed));
    EXPECT_EQ(world.componentCount(), 0u);
}

TEST(AttackTest, AnUnknownStateIsReportedAndTheDeadDoNotPunch) {
    World world;
    const EntityHandle e = world.createEntity();
    auto* attack = new components::Attack("enemy", 100, 0.05f, 40, 0.2f, 1, 0, 0, 5, 5, 5);
    world.addComponent(e, attack);
    attack->state = 1;
    vorn::engine::DiagnosticsCapture capture;
    attack->update(dt);
    EXPECT_EQ(capture.outText(), "invaild attack state\n");
    EXPECT_EQ(attack->state, 1);
    attack->state = components::Attack::WindUp;
    world.addComponent(e, new Label("dead"));
    for (int i = 0; i < 10; ++i)
        attack->update(dt);
    EXPECT_EQ(attack->timer, 0.0f); // frozen while dead: no strike
    EXPECT_EQ(attack->state, components::Attack::WindUp);
}

TEST(PlayerDeathTest, DeathTagsOnceAndRespawnRestoresEverything) {
    testsupport::registerGameSounds();
    World world;
    const EntityHandle ninja = world.createEntity();
    auto* transform = new Transform(glm::translate(glm::mat4(1.0f), glm::vec3(50, 60, 0)));
    world.addComponent(ninja, transform);
    auto* health = new Health(100, "antBite", 0.5f, 0.5f, 0.1f);
    world.addComponent(ninja, health);
    auto* energy = new vorn::components::Energy();
    world.addComponent(ninja, energy);
    auto* body = new vorn::components::Body(100, 3, -4, 0);
    world.addComponent(ninja, body);
    world.addComponent(ninja, new components::OriginalSpawnPoint(glm::vec3(1, 2, 3)));
    world.addComponent(ninja, new components::PlayerDeathAction());

    health->current = 0;
    energy->current = 12;
    health->update(dt);
    health->update(dt);
    EXPECT_NE(world.getComponent(ninja, "dead"), nullptr);
    EXPECT_EQ(world.getComponents(ninja, "dead").size(), 1u);
    EXPECT_EQ(world.getComponents(ninja, "delayedSignal").size(), 1u);

    // Two seconds later he is back, standing still at the spawn point: the body integrates after
    // the respawn in the same update, so a velocity or velocity change left over would move him.
    world.update(2.0f - dt);
    EXPECT_NE(world.getComponent(ninja, "dead"), nullptr);
    body->velocity = glm::vec3(4, -3, 0);
    body->deltaVelocity = glm::vec3(1, 1, 1);
    world.update(2 * dt);
    EXPECT_EQ(world.getComponent(ninja, "dead"), nullptr);
    EXPECT_EQ(health->current, 100.0f);
    EXPECT_EQ(energy->current, 100.0f);
    EXPECT_EQ(transform->matrix[3], glm::vec4(1, 2, 3, 1));
    EXPECT_EQ(body->velocity, glm::vec3(0.0f));

    // Without a spawn point nothing is restored.
    world.deleteComponent(ninja, components::OriginalSpawnPoint::componentName);
    health->current = 0;
    world.addComponent(ninja, new Label("dead"));
    components::respawn(ninja);
    EXPECT_EQ(health->current, 0.0f);
    EXPECT_NE(world.getComponent(ninja, "dead"), nullptr);
}

} // namespace
