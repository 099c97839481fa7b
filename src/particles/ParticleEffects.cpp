#include "particles/ParticleEffects.hpp"

#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "particles/AI_WanderPP.hpp"
#include "particles/DustEmitter.hpp"
#include "particles/FadeOutLifeSpanPP.hpp"
#include "particles/ParticleChaos.hpp"
#include "particles/ParticleEmitter.hpp"
#include "particles/ParticleRandom.hpp"
#include "particles/ParticleSystem.hpp"
#include "particles/RandomColourPP.hpp"
#include "particles/RandomLifespanPP.hpp"
#include "particles/RandomSizeInitPP.hpp"
#include "particles/ScatterVelocityPP.hpp"
#include "particles/VolumeSpawnerCubePP.hpp"
#include "rendering/ResourceCaches.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <memory>

namespace vorn::particles {

namespace {

// What every effect shares: the parameters of the table row (the respawn limit before the count,
// which copies it into the particles) and a first renderer scale of 5.
struct EffectParameters {
    glm::vec3 box;
    glm::vec4 colour;
    glm::vec3 velocity;
    glm::vec3 force;
    float mass;
    float lifespan;
    int respawnLimit;
    int particles;
};

void apply(ParticleSystem& system, const EffectParameters& e) {
    system.respawnLimit = e.respawnLimit;
    system.setParticleCount(e.particles);
    system.spawnColour = e.colour;
    system.spawnVelocity = e.velocity;
    system.force = e.force;
    system.mass = e.mass;
    system.lifespan = e.lifespan;
    system.origin = glm::vec3(0.0f);
    system.rendererScale[0] = 5.0f;
    system.addBehavior(std::make_unique<VolumeSpawnerCubePP>(e.box * 0.5f));
}

vorn::engine::EntityHandle place(vorn::engine::World& world, vorn::engine::Component* drawer,
                                 const glm::vec3& position) {
    const vorn::engine::EntityHandle entity = world.createEntity();
    world.addComponent(entity, drawer);
    world.addComponent(entity,
                       new vorn::components::Transform(glm::translate(glm::mat4(1.0f), position)));
    world.addComponent(entity, new vorn::components::Label("gameSpace"));
    return entity;
}

} // namespace

void ParticleEffects::configureDust(ParticleSystem& system) {
    // The sideways drift is drawn once for the whole effect.
    const float vx = randomBetween(-2.0f, 2.0f);
    const float vz = randomBetween(-2.0f, 2.0f);
    apply(system, {{3.0f, 0.7f, 5.0f},
                   {1.0f, 1.0f, 1.0f, 1.0f},
                   {vx, 0.0f, vz},
                   {0.0f, 6.0f, 0.0f},
                   5.0f,
                   4.0f,
                   -4,
                   100});
    system.addBehavior(std::make_unique<RandomSizeInitPP>(0.1f, 1.0f));
    system.addBehavior(std::make_unique<RandomLifespanPP>(0.0f, 8.0f));
    system.addBehavior(std::make_unique<FadeOutLifeSpanPP>(2.5f));
    system.addBehavior(std::make_unique<AI_WanderPP>(1.0f));
}

void ParticleEffects::configureAmbientCloud(ParticleSystem& system) {
    apply(system, {{160.0f, 120.0f, 200.0f},
                   {0.5f, 0.5f, 0.5f, 1.0f},
                   glm::vec3(0.0f),
                   glm::vec3(0.0f),
                   5.0f,
                   8.0f,
                   -4,
                   1000});
    system.addBehavior(std::make_unique<RandomSizeInitPP>(0.01f, 0.3f));
    system.addBehavior(std::make_unique<RandomLifespanPP>(0.0f, 3.0f));
    system.addBehavior(std::make_unique<FadeOutLifeSpanPP>(10.0f));
    system.addBehavior(std::make_unique<AI_WanderPP>(5.0f));
}

void ParticleEffects::configureSugarSparkle(ParticleSystem& system) {
    apply(system, {{15.0f, 13.0f, 13.0f},
                   {0.5f, 0.5f, 0.5f, 1.0f},
                   glm::vec3(0.0f),
                   {0.0f, 20.0f, 0.0f},
                   5.0f,
                   4.0f,
                   2,
                   100});
    system.addBehavior(std::make_unique<RandomSizeInitPP>(0.2f, 1.2f));
    system.addBehavior(std::make_unique<RandomColourPP>());
    system.addBehavior(std::make_unique<RandomLifespanPP>(0.0f, 3.0f));
    system.addBehavior(std::make_unique<FadeOutLifeSpanPP>(5.0f));
    system.addBehavior(std::make_unique<AI_WanderPP>(3.0f));
}

namespace {
// A burst spawns each particle once, all of them in its first update.
void makeBurst(ParticleSystem& system, const EffectParameters& e) {
    apply(system, e);
    system.spawnInterval = 0.0f;
}
} // namespace

void ParticleEffects::configureWaspPuff(ParticleSystem& system) {
    makeBurst(system, {{2.0f, 2.0f, 2.0f},
                       {0.95f, 0.8f, 0.4f, 1.0f},
                       {0.0f, 1.0f, 0.0f},
                       {0.0f, -3.0f, 0.0f},
                       1.0f,
                       1.8f,
                       1,
                       40});
    system.addBehavior(std::make_unique<ScatterVelocityPP>(9.0f, 0.3f));
    system.addBehavior(std::make_unique<RandomSizeInitPP>(0.3f, 1.1f));
    system.addBehavior(std::make_unique<RandomLifespanPP>(0.8f, 1.8f));
    system.addBehavior(std::make_unique<FadeOutLifeSpanPP>(1.5f));
}

void ParticleEffects::configureSilkSnap(ParticleSystem& system) {
    makeBurst(system, {{1.0f, 6.0f, 1.0f},
                       {0.95f, 0.95f, 1.0f, 1.0f},
                       glm::vec3(0.0f),
                       {0.0f, -4.0f, 0.0f},
                       1.0f,
                       2.0f,
                       1,
                       30});
    system.addBehavior(std::make_unique<ScatterVelocityPP>(6.0f, 0.3f));
    system.addBehavior(std::make_unique<RandomSizeInitPP>(0.1f, 0.4f));
    system.addBehavior(std::make_unique<RandomLifespanPP>(1.0f, 2.0f));
    system.addBehavior(std::make_unique<FadeOutLifeSpanPP>(1.0f));
    system.addBehavior(std::make_unique<AI_WanderPP>(1.0f));
}

void ParticleEffects::configureLeafFlutter(ParticleSystem& system) {
    makeBurst(system, {{18.0f, 1.0f, 6.0f},
                       {0.45f, 0.75f, 0.25f, 1.0f},
                       {0.0f, 4.0f, 0.0f},
                       {0.0f, -6.0f, 0.0f},
                       1.0f,
                       2.2f,
                       1,
                       14});
    system.addBehavior(std::make_unique<ScatterVelocityPP>(3.0f, 0.5f));
    system.addBehavior(std::make_unique<RandomSizeInitPP>(0.4f, 0.9f));
    system.addBehavior(std::make_unique<RandomLifespanPP>(1.4f, 2.2f));
    system.addBehavior(std::make_unique<FadeOutLifeSpanPP>(1.5f));
    // The wander is what makes the bits flutter instead of dropping straight.
    system.addBehavior(std::make_unique<AI_WanderPP>(2.0f));
}

vorn::engine::EntityHandle ParticleEffects::createBurst(vorn::engine::World& world,
                                                        const std::string& name,
                                                        const glm::vec3& position) {
    void (*configure)(ParticleSystem&) = nullptr;
    std::string picture = "DirtParticle.png";
    if (name == "waspPuff") {
        configure = configureWaspPuff;
    } else if (name == "silkSnap") {
        configure = configureSilkSnap;
        picture = "sugarParticle.png";
    } else if (name == "leafFlutter") {
        configure = configureLeafFlutter;
    } else {
        return vorn::engine::EntityHandle{0, &world};
    }
    auto* emitter =
        new vorn::components::ParticleEmitter(vorn::rendering::textureCache().get(picture));
    configure(emitter->particleSystem());
    return place(world, emitter, position);
}

vorn::engine::EntityHandle ParticleEffects::createDust(vorn::engine::World& world,
                                                       const glm::vec3& position) {
    auto* emitter =
        new vorn::components::DustEmitter(vorn::rendering::textureCache().get("DirtParticle.png"));
    configureDust(emitter->particleSystem());
    return place(world, emitter, position);
}

vorn::engine::EntityHandle ParticleEffects::createAmbientCloud(vorn::engine::World& world,
                                                               const glm::vec3& position) {
    auto* emitter = new vorn::components::ParticleChaos(
        vorn::rendering::textureCache().get("sugarParticle.png"));
    configureAmbientCloud(emitter->particleSystem());
    emitter->rotator.speed = 10.0f;
    emitter->rotator.axis = glm::vec3(0.0f, 0.0f, 1.0f);
    return place(world, emitter, position);
}

vorn::engine::EntityHandle ParticleEffects::createSugarSparkle(vorn::engine::World& world,
                                                               const glm::vec3& position) {
    auto* emitter = new vorn::components::ParticleEmitter(
        vorn::rendering::textureCache().get("sugarParticle.png"));
    configureSugarSparkle(emitter->particleSystem());
    return place(world, emitter, position);
}

const std::vector<std::string>& ParticleEffects::names() {
    static const std::vector<std::string> all{"ambientCloud", "dust",     "sugarSparkle",
                                              "waspPuff",     "silkSnap", "leafFlutter"};
    return all;
}

vorn::engine::EntityHandle ParticleEffects::create(vorn::engine::World& world,
                                                   const std::string& name,
                                                   const glm::vec3& position) {
    if (name == "ambientCloud")
        return createAmbientCloud(world, position);
    if (name == "dust")
        return createDust(world, position);
    if (name == "sugarSparkle")
        return createSugarSparkle(world, position);
    return createBurst(world, name, position);
}

} // namespace vorn::particles
