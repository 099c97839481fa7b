// The emitters' own updates: dust and the ambient cloud keep emitted particles in place in the
// world while their entity moves, their timers wrap after 3 s, and the cloud's swirl turns the
// drawn points and changes course every 3 s.
#include "rendering/gl/SceneFixture.hpp"

#include "particles/DustEmitter.hpp"
#include "particles/ParticleChaos.hpp"
#include "particles/ParticleSystem.hpp"

#include <cstdlib>

using vorn::components::Transform;
using vorn::particles::Particle;

namespace {

class EmitterUpdateGlTest : public SceneFixture {
protected:
    // Gives `system` one living particle at `local` that neither moves nor spawns again.
    static void oneStillParticle(vorn::particles::ParticleSystem& system, const glm::vec3& local,
                                 float size) {
        ASSERT_TRUE(system.setParticleCount(1));
        Particle& p = system.particles()[0];
        p.position = local;
        p.life = 100.0f;
        p.size = size;
        p.colour = glm::vec4(1.0f);
    }

    void start() {
        app->setWorld(world);
        started = true;
    }

    // Where the particle is in the world: the entity's matrix applied to its position.
    glm::vec3 worldPosition(vorn::engine::EntityHandle e, const glm::vec3& local) const {
        const auto* t = world->getComponentAs<Transform>(e, Transform::componentName);
        return glm::vec3(t->matrix * glm::vec4(local, 1.0f));
    }
};

} // namespace

TEST_F(EmitterUpdateGlTest, DustStaysWhereItWasRaisedAndTheTimerWrapsAfterThreeSeconds) {
    auto* dust = new vorn::components::DustEmitter(solid(sf::Color::White));
    dust->continuous = false;
    oneStillParticle(dust->particleSystem(), glm::vec3(1.0f, 2.0f, 0.0f), 1.0f);
    // Placed away from the origin: the first update takes that as the starting point.
    const auto e = entity(glm::translate(glm::mat4(1.0f), glm::vec3(2.0f, 0.0f, 0.0f)));
    world->addComponent(e, dust);
    start();
    world->update(0.01f);
    const Particle& p = dust->particleSystem().particles()[0];
    EXPECT_EQ(p.position, glm::vec3(1.0f, 2.0f, 0.0f));
    EXPECT_EQ(worldPosition(e, p.position), glm::vec3(3.0f, 2.0f, 0.0f));
    world->getComponentAs<Transform>(e, Transform::componentName)
        ->setPosition(glm::vec3(7.0f, -1.0f, 0.0f));
    world->update(0.01f);
    EXPECT_EQ(p.position, glm::vec3(-4.0f, 3.0f, 0.0f));
    EXPECT_EQ(worldPosition(e, p.position), glm::vec3(3.0f, 2.0f, 0.0f));

    dust->timer = 0.0f;
    for (int i = 0; i < 180; ++i)
        world->update(1.0f / 60.0f); // 3.0 s, give or take rounding: not past it yet
    const float beforeWrap = dust->timer;
    world->update(0.05f);
    EXPECT_GT(beforeWrap, 2.9f);
    EXPECT_EQ(dust->timer, 0.0f);
    world->update(0.25f);
    EXPECT_FLOAT_EQ(dust->timer, 0.25f);
}

TEST_F(EmitterUpdateGlTest, CloudSwirlTurnsTheDrawnPointsAndChangesCourseEveryThreeSeconds) {
    std::srand(12);
    screenCamera();
    auto* chaos = new vorn::components::ParticleChaos(solid(sf::Color::White));
    chaos->continuous = false;
    chaos->rotator.speed = 90.0f;
    oneStillParticle(chaos->particleSystem(), glm::vec3(16.0f, 0.0f, 0.0f), 4.0f);
    const auto e = entity(glm::translate(glm::mat4(1.0f), glm::vec3(32.0f, 32.0f, 0.0f)));
    world->addComponent(e, chaos);
    world->addComponent(new vorn::systems::Renderer(std::set<std::string>{}, 0.0f,
                                                    GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, {}));
    clearColour(0, 0, 0, 1);
    render();
    EXPECT_GT(context->pixel(48, 32).r, 200) << "unturned: 16 to the right of the entity";

    world->update(1.0f); // a quarter turn about z
    render();
    EXPECT_EQ(context->pixel(48, 32).r, 0);
    EXPECT_GT(context->pixel(32, 48).r, 200) << "a quarter turn later: 16 above the entity";
    // The particle itself stays put; only the drawing turns.
    EXPECT_EQ(chaos->particleSystem().particles()[0].position, glm::vec3(16.0f, 0.0f, 0.0f));

    EXPECT_EQ(chaos->rotator.speed, 90.0f);
    world->update(1.0f);
    world->update(1.0f); // the timer is now 3 s: not past it
    EXPECT_EQ(chaos->rotator.speed, 90.0f);
    for (int round = 0; round < 20; ++round) {
        world->update(3.01f);
        EXPECT_EQ(chaos->timer, 0.0f);
        EXPECT_GE(chaos->rotator.speed, -30.0f);
        EXPECT_LE(chaos->rotator.speed, 20.0f);
        for (int i = 0; i < 3; ++i) {
            EXPECT_GE(chaos->rotator.axis[i], 0.0f);
            EXPECT_LE(chaos->rotator.axis[i], 1.0f);
        }
    }
}
