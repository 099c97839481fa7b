// The ant's bite state machine and bite resolution, and the damaging front and back parts.
#include "ComponentScene.hpp"
#include "components/AntAttackBehaviour.hpp"
#include "components/Damage.hpp"
#include "components/TransformAttachment.hpp"
#include "engine/DiagnosticsCapture.hpp"
#include "physics/CollisionTracker.hpp"

#include <gtest/gtest.h>

namespace {

using ::components::AntAttackBehaviour;
using components_test::GameplayScene;
using vorn::engine::EntityHandle;

// An ant facing +x (its local z axis), with the bite the level gives it.
EntityHandle biter(GameplayScene& scene, float x, float y) {
    const EntityHandle ant = scene.circle(x, y, 2.5f, {"ant", "enemy", "being"});
    scene.transform(ant)->matrix =
        glm::rotate(scene.transform(ant)->matrix, glm::radians(90.0f), glm::vec3(0, 1, 0));
    scene.world->addComponent(ant, new AntAttackBehaviour(0.1f, 20.0f, 2.0f, 0, 0, 5, 3, 3));
    return ant;
}

AntAttackBehaviour* attack(GameplayScene& scene, EntityHandle ant) {
    return scene.get<AntAttackBehaviour>(ant, AntAttackBehaviour::componentName);
}

TEST(AntAttackBehaviour, WindsUpBitesForOneFrameAndRecoversFromTheStartOfTheWindUp) {
    GameplayScene scene;
    const EntityHandle ant = biter(scene, 0.0f, 0.0f);
    AntAttackBehaviour* bite = attack(scene, ant);
    scene.step(0.0625f);
    EXPECT_EQ(bite->state, AntAttackBehaviour::ready); // nothing happens without a request

    bite->trigger = true;
    scene.step(0.0625f);
    EXPECT_FALSE(bite->trigger);
    EXPECT_EQ(bite->state, AntAttackBehaviour::windingUp);
    EXPECT_EQ(bite->timer, 0.0f);
    scene.step(0.0625f);
    EXPECT_EQ(bite->state, AntAttackBehaviour::windingUp);
    scene.step(0.0625f); // 0.125 s of wind-up: the bite area appears in front of the ant
    EXPECT_EQ(bite->state, AntAttackBehaviour::biting);
    const EntityHandle area = bite->biteEntity;
    ASSERT_TRUE(scene.has(area, "collisionTracker"));
    ASSERT_TRUE(scene.has(area, "polygonCollider"));
    EXPECT_NEAR(scene.position(area).x, 5.0f, 1e-5f);
    EXPECT_NEAR(scene.position(area).z, 0.0f, 1e-5f);

    scene.step(0.0625f); // resolved and gone; the recovery counts on from the wind-up's start
    EXPECT_EQ(bite->state, AntAttackBehaviour::recovering);
    EXPECT_FALSE(scene.world->isLive(area));
    EXPECT_EQ(bite->timer, 0.1875f);
    int frames = 0;
    while (bite->state == AntAttackBehaviour::recovering && frames < 100) {
        scene.step(0.0625f);
        ++frames;
    }
    EXPECT_EQ(bite->state, AntAttackBehaviour::ready);
    EXPECT_EQ(frames, 29); // 0.1875 + 29 * 0.0625 = 2.0
    EXPECT_EQ(bite->timer, 0.0f);

    vorn::engine::DiagnosticsCapture capture;
    bite->state = 7;
    scene.step(0.0625f);
    EXPECT_EQ(capture.outText(), "invaild attack state\n");
    EXPECT_EQ(bite->state, 7);
}

TEST(AntAttackBehaviour, BiteHurtsAndKnocksBackOrSendsAFinishedNinjaHome) {
    struct Case {
        const char* name;
        bool hasHealth;
        float healthBefore;
        float healthAfter;
        bool sentHome;
    };
    const Case cases[] = {
        {"alive", true, 100.0f, 80.0f, false},
        {"at zero health", true, 0.0f, 100.0f, true},
        {"without health", false, 0.0f, 0.0f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameplayScene scene;
        const EntityHandle ant = biter(scene, 0.0f, 0.0f);
        // The ninja stands just in front of the ant, where the bite lands, with his spawn point
        // far away.
        const EntityHandle ninja = scene.player(7.0f, 1.0f);
        scene.get<::components::OriginalSpawnPoint>(ninja, "originalSpawnPoint")->position =
            glm::vec3(-50.0f, 20.0f, 0.0f);
        if (c.hasHealth)
            scene.health(ninja)->current = c.healthBefore;
        else
            scene.world->deleteComponent(ninja, "health");
        scene.energy(ninja)->current = 10.0f;
        scene.body(ninja)->velocity = glm::vec3(3.0f, 0.0f, 0.0f);

        attack(scene, ant)->trigger = true;
        scene.step(0.0625f);
        scene.step(0.0625f);
        scene.step(0.0625f);
        ASSERT_EQ(attack(scene, ant)->state, AntAttackBehaviour::biting);
        const glm::vec3 before = scene.position(ninja);
        scene.step(0.0625f);
        ASSERT_EQ(attack(scene, ant)->state, AntAttackBehaviour::recovering);

        if (c.hasHealth) {
            EXPECT_FLOAT_EQ(scene.health(ninja)->current, c.healthAfter);
        }
        if (c.sentHome) {
            EXPECT_EQ(scene.position(ninja), glm::vec3(-50.0f, 20.0f, 0.0f));
            EXPECT_EQ(scene.body(ninja)->velocity, glm::vec3(0.0f));
            EXPECT_EQ(scene.body(ninja)->deltaVelocity, glm::vec3(0.0f));
            EXPECT_EQ(scene.energy(ninja)->current, 100.0f);
        } else {
            // A unit change of velocity pointing from the ant to the ninja.
            const glm::vec3 knock = scene.body(ninja)->deltaVelocity;
            EXPECT_NEAR(glm::length(knock), 1.0f, 1e-5f);
            const glm::vec3 away = glm::normalize(before - scene.position(ant));
            EXPECT_NEAR(glm::dot(knock, away), 1.0f, 1e-5f);
            EXPECT_EQ(scene.energy(ninja)->current, 10.0f);
        }
    }
}

// The two damaging parts of a worker ant, as the level attaches them 4 units ahead and behind.
void addPart(GameplayScene& scene, EntityHandle ant, float offset) {
    const EntityHandle part = scene.circle(0.0f, 0.0f, 1.5f);
    scene.world->addComponent(
        part, new vorn::components::TransformAttachment(
                  false, glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, offset)), ant));
    scene.addBody(part, 100.0f, false, 0.0f, glm::vec3(0.0f), {"being"});
    scene.world->addComponent(part, new ::components::Damage("player", 20.0f, 0.5f, 1000.0f));
}

TEST(AntParts, FrontAndBackHurtTheNinjaAndThrowHimAwayFromTheAnt) {
    struct Case {
        const char* part;
        float ninjaX; // the ant stands at 0 facing +x; its parts are at +4 and -4
        float awaySign;
    };
    for (const Case& c : {Case{"front", 10.0f, 1.0f}, Case{"back", -10.0f, -1.0f}}) {
        SCOPED_TRACE(c.part);
        GameplayScene scene;
        const EntityHandle ant = biter(scene, 0.0f, 0.0f);
        addPart(scene, ant, 4.0f);
        addPart(scene, ant, -4.0f);
        scene.step(0.01f); // the parts take their places
        const EntityHandle ninja = scene.player(c.ninjaX, 0.0f);
        vorn::engine::DiagnosticsCapture capture;
        scene.step(0.01f);
        EXPECT_FLOAT_EQ(scene.health(ninja)->current, 80.0f);
        scene.step(0.01f); // the knock-back is folded into the velocity
        EXPECT_GT(scene.body(ninja)->velocity.x * c.awaySign, 2.0f);
        // Within the half-second cooldown the parts do not bite again.
        scene.run(5);
        EXPECT_FLOAT_EQ(scene.health(ninja)->current, 80.0f);
    }
}

} // namespace
