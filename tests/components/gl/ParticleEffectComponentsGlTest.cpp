// The components that own particle-effect entities: the sugar pile that sparkles only while the
// player touches it, and the ambient cloud that follows the player and ends with it.
#include "rendering/gl/SceneFixture.hpp"

#include "components/AmbientParticleEmitter.hpp"
#include "components/TouchEmitter.hpp"
#include "particles/ParticleChaos.hpp"
#include "particles/ParticleEmitter.hpp"
#include "particles/ParticleSystem.hpp"
#include "physics/CircleCollider.hpp"
#include "physics/CollisionTracker.hpp"

#include <cstdlib>

using vorn::components::CircleCollider;
using vorn::components::ParticleEmitter;
using vorn::components::Transform;

namespace {

class ParticleEffectComponentsGlTest : public SceneFixture {
protected:
    // Starts the world (once) and runs `frames` updates of 1/60 s.
    void run(int frames) {
        if (!started) {
            app->setWorld(world);
            started = true;
        }
        for (int i = 0; i < frames; ++i)
            world->update(1.0f / 60.0f);
    }

    vorn::engine::EntityHandle at(const glm::vec3& p) {
        return entity(glm::translate(glm::mat4(1.0f), p));
    }

    void moveTo(vorn::engine::EntityHandle e, const glm::vec3& p) {
        world->getComponentAs<Transform>(e, Transform::componentName)->setPosition(p);
    }
};

} // namespace

TEST_F(ParticleEffectComponentsGlTest, SugarPileSparklesOnlyWhileThePlayerTouchesIt) {
    std::srand(4);
    const auto pile = at(glm::vec3(0.0f));
    world->addComponent(pile, new CircleCollider(4.0f));
    world->addComponent(pile, new vorn::components::CollisionTracker("player"));
    auto* touch = new components::TouchEmitter();
    world->addComponent(pile, touch);
    const auto player =
        entity(glm::translate(glm::mat4(1.0f), glm::vec3(100.0f, 0.0f, 0.0f)), {"player"});
    world->addComponent(player, new CircleCollider(2.0f));
    run(1);

    ASSERT_NE(touch->effect.entityId, 0u);
    auto* sparkle =
        world->getComponentAs<ParticleEmitter>(touch->effect, ParticleEmitter::componentName);
    ASSERT_NE(sparkle, nullptr);
    EXPECT_TRUE(world->getComponent(touch->effect, "gameSpace"));
    const vorn::particles::ParticleSystem& system = sparkle->particleSystem();
    EXPECT_TRUE(system.isStarted());

    run(120); // two seconds untouched: not one particle
    EXPECT_EQ(system.aliveCount(), 0);
    EXPECT_FALSE(sparkle->continuous);

    moveTo(player, glm::vec3(3.0f, 0.0f, 0.0f));
    run(30);
    EXPECT_TRUE(sparkle->continuous);
    const int touching = system.aliveCount();
    EXPECT_GT(touching, 10);

    // The tracker updates after the pile's emitter, so the pile sees a touch one frame late.
    moveTo(player, glm::vec3(100.0f, 0.0f, 0.0f));
    run(2);
    EXPECT_FALSE(sparkle->continuous);
    EXPECT_GT(system.aliveCount(), 0); // the particles in flight finish their life
    run(4 * 60);
    EXPECT_EQ(system.aliveCount(), 0);

    // Coming back sparkles again.
    moveTo(player, glm::vec3(-3.0f, 0.0f, 0.0f));
    run(30);
    EXPECT_GT(system.aliveCount(), 10);

    // Removing the component ends the sparkle entity on the next update.
    const auto effect = touch->effect;
    delete world->removeComponent(touch);
    EXPECT_TRUE(world->isLive(effect));
    run(1);
    EXPECT_FALSE(world->isLive(effect));
}

TEST_F(ParticleEffectComponentsGlTest, AmbientCloudStaysBelowThePlayersFeetAndEndsWithIt) {
    const auto player = at(glm::vec3(10.0f, 20.0f, 0.0f));
    auto* ambient = new components::AmbientParticleEmitter();
    world->addComponent(player, ambient);
    run(1);
    ASSERT_NE(ambient->effect.entityId, 0u);
    const auto cloud = ambient->effect;
    auto* chaos = world->getComponentAs<vorn::components::ParticleChaos>(
        cloud, vorn::components::ParticleChaos::componentName);
    ASSERT_NE(chaos, nullptr);
    EXPECT_EQ(chaos->particleSystem().count(), 1000);
    EXPECT_EQ(chaos->rotator.speed, 10.0f);
    const auto cloudPosition = [&] {
        return world->getComponentAs<Transform>(cloud, Transform::componentName)->position();
    };
    EXPECT_EQ(cloudPosition(), glm::vec3(10.0f, 17.0f, 0.0f));

    // Turned a quarter round about z, "below the feet" points along +x in the world.
    auto* transform = world->getComponentAs<Transform>(player, Transform::componentName);
    transform->matrix = glm::translate(glm::mat4(1.0f), glm::vec3(-5.0f, 2.0f, 1.0f)) *
                        glm::rotate(glm::mat4(1.0f), glm::half_pi<float>(), glm::vec3(0, 0, 1));
    run(1);
    const glm::vec3 placed = cloudPosition();
    EXPECT_NEAR(placed.x, -2.0f, 1e-5f);
    EXPECT_NEAR(placed.y, 2.0f, 1e-5f);
    EXPECT_NEAR(placed.z, 1.0f, 1e-5f);
    EXPECT_GT(chaos->particleSystem().aliveCount(), 0); // the cloud runs without being asked

    // A second activation in the same world (the world restarted) makes no second cloud.
    ambient->onActivated();
    EXPECT_TRUE(ambient->effect.sameEntity(cloud));

    delete world->removeComponent(ambient);
    run(1);
    EXPECT_FALSE(world->isLive(cloud));
}
