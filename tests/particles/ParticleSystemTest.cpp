// Particle systems: spawn timing, respawn limits, move-to, the behaviours, the random vector,
// configuration after start, repeatability under one seed, and the draw arrays.
#include "particles/ParticleSystem.hpp"
#include "particles/AI_WanderPP.hpp"
#include "particles/FadeOutLifeSpanPP.hpp"
#include "particles/ParticleEffects.hpp"
#include "particles/ParticleRandom.hpp"
#include "particles/ParticleRegistry.hpp"
#include "particles/ParticleVertices.hpp"
#include "particles/RandomColourPP.hpp"
#include "particles/RandomLifespanPP.hpp"
#include "particles/RandomSizeInitPP.hpp"
#include "particles/Rotator.hpp"
#include "particles/VolumeSpawnerCubePP.hpp"

#include <glm/geometric.hpp>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>
#include <vector>

using namespace vorn::particles;

namespace {

// Counts, per particle index, how often the system spawned it, and its own updates.
class SpawnCounter : public ParticleBehavior {
public:
    explicit SpawnCounter(std::vector<int>& counts) : counts(counts) {}
    void initParticle(Particle& particle) override {
        ++counts[static_cast<std::size_t>(&particle - system->particles().data())];
    }
    void update(float dt) override {
        ++updates;
        ParticleBehavior::update(dt);
    }
    std::vector<int>& counts;
    int updates = 0;
};

// A started system of n particles with the given lifespan and respawn limit, counting spawns.
std::unique_ptr<ParticleSystem> countingSystem(int n, float lifespan, int respawnLimit,
                                               std::vector<int>& counts) {
    auto system = std::make_unique<ParticleSystem>();
    system->respawnLimit = respawnLimit;
    system->lifespan = lifespan;
    EXPECT_TRUE(system->setParticleCount(n));
    counts.assign(static_cast<std::size_t>(n), 0);
    system->addBehavior(std::make_unique<SpawnCounter>(counts));
    system->start();
    return system;
}

} // namespace

TEST(ParticleSystem, SpawnTimerRespawnsOneDeadParticlePerSixVisitedAtIntervalHalfAndDtTenth) {
    std::vector<int> counts;
    auto system = countingSystem(18, 10.0f, -1, counts);
    system->spawnInterval = 0.5f;
    system->update(0.1f, true);
    // The timer starts at 0.5 and loses 0.1 per particle: it is first below 0 at the sixth.
    const std::vector<int> expected{0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1};
    EXPECT_EQ(counts, expected);
    EXPECT_EQ(system->aliveCount(), 3);
    // Spawned particles start at the origin with the full lifespan, then were not integrated.
    EXPECT_FLOAT_EQ(system->particles()[5].life, 10.0f);
    // The next frame's timer starts afresh; once below 0 it waits for a dead particle: the
    // living 6th (index 5) is passed over for index 6, and then index 12 follows six later.
    system->update(0.1f, true);
    const std::vector<int> second{0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1};
    EXPECT_EQ(counts, second);
    for (int c : counts)
        EXPECT_LE(c, 1);
}

TEST(ParticleSystem, RespawnLimitCapsSpawnsPerParticleAndTheContinuousFlagGatesSpawning) {
    struct Case {
        int limit;
        bool continuous;
        int expectedSpawnsEach; // -1: more than the limit would allow, i.e. unlimited
    };
    const Case cases[] = {
        {2, true, 2}, {2, false, 0}, {0, true, -1}, {-4, true, -1}, {0, false, 0}, {-4, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("limit " + std::to_string(c.limit) + (c.continuous ? " continuous" : ""));
        std::vector<int> counts;
        auto system = countingSystem(4, 0.15f, c.limit, counts);
        system->spawnInterval = 0.0f; // every dead particle may spawn at once
        for (int frame = 0; frame < 100; ++frame)
            system->update(0.1f, c.continuous);
        for (int spawns : counts) {
            if (c.expectedSpawnsEach < 0)
                EXPECT_GT(spawns, 10);
            else
                EXPECT_EQ(spawns, c.expectedSpawnsEach);
        }
    }
    // A limited system gets its budget back on request.
    std::vector<int> counts;
    auto system = countingSystem(3, 0.15f, 2, counts);
    system->spawnInterval = 0.0f;
    for (int frame = 0; frame < 20; ++frame)
        system->update(0.1f, true);
    system->resetRespawns();
    for (int frame = 0; frame < 20; ++frame)
        system->update(0.1f, true);
    EXPECT_EQ(counts, std::vector<int>(3, 4));
}

TEST(ParticleSystem, MoveToShiftsPositionsByTheReferenceChangeAndLeavesVelocities) {
    ParticleSystem system;
    ASSERT_TRUE(system.setParticleCount(3));
    for (int i = 0; i < 3; ++i) {
        system.particles()[i].position = glm::vec3(i, 2.0f * i, -i);
        system.particles()[i].velocity = glm::vec3(1.0f, -2.0f, 0.5f * i);
    }
    system.moveTo(glm::vec3(1.0f, 0.0f, 0.0f));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(system.particles()[i].position, glm::vec3(i - 1.0f, 2.0f * i, -i));
        EXPECT_EQ(system.particles()[i].velocity, glm::vec3(1.0f, -2.0f, 0.5f * i));
    }
    // Only the change counts: the same point again moves nothing, a new one moves by the step.
    system.moveTo(glm::vec3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(system.particles()[2].position, glm::vec3(1.0f, 4.0f, -2.0f));
    system.moveTo(glm::vec3(1.0f, 3.0f, 0.0f));
    EXPECT_EQ(system.particles()[2].position, glm::vec3(1.0f, 1.0f, -2.0f));
    EXPECT_EQ(system.referencePoint, glm::vec3(1.0f, 3.0f, 0.0f));
}

TEST(ParticleSystem, ConfigurationAfterStartFailsAndChangesNothing) {
    ParticleSystem system;
    ASSERT_TRUE(system.setParticleCount(5));
    system.particles()[2].life = 3.0f;
    system.addBehavior(std::make_unique<FadeOutLifeSpanPP>(1.0f));
    system.start();
    EXPECT_FALSE(system.setParticleCount(10));
    EXPECT_EQ(system.count(), 5);
    EXPECT_EQ(system.particles()[2].life, 3.0f);
    system.addBehavior(std::make_unique<FadeOutLifeSpanPP>(1.0f));
    EXPECT_EQ(system.behaviors().size(), 1u);
    EXPECT_EQ(system.behaviors()[0]->getSystem(), &system);
}

TEST(ParticleSystem, NothingHappensBeforeStartOrWithoutParticles) {
    ParticleSystem unstarted;
    ASSERT_TRUE(unstarted.setParticleCount(4));
    unstarted.respawnLimit = -1;
    unstarted.spawnInterval = 0.0f;
    unstarted.particles()[0].velocity = glm::vec3(1.0f);
    unstarted.update(0.1f, true);
    EXPECT_EQ(unstarted.aliveCount(), 0);
    EXPECT_EQ(unstarted.particles()[0].position, glm::vec3(0.0f));

    // Without particles nothing happens either: the followed point is not taken and the
    // behaviours are not run.
    ParticleSystem empty;
    std::vector<int> spawns(1, 0);
    const glm::vec3 followed(7.0f, 8.0f, 9.0f);
    empty.followedPoint = &followed;
    empty.addBehavior(std::make_unique<SpawnCounter>(spawns));
    empty.start();
    empty.update(0.1f, true);
    EXPECT_EQ(empty.origin, glm::vec3(0.0f));
    EXPECT_EQ(static_cast<const SpawnCounter&>(*empty.behaviors()[0]).updates, 0);
}

TEST(ParticleSystem, SpawnUsesOriginFollowedPointAndForceOverMass) {
    ParticleSystem system;
    system.respawnLimit = 3;
    ASSERT_TRUE(system.setParticleCount(1));
    EXPECT_EQ(system.particles()[0].respawnsLeft, 3);
    const glm::vec3 followed(4.0f, 5.0f, 6.0f);
    system.followedPoint = &followed;
    system.spawnInterval = 0.0f;
    system.spawnVelocity = glm::vec3(1.0f, 0.0f, 0.0f);
    system.spawnColour = glm::vec4(0.1f, 0.2f, 0.3f, 0.4f);
    system.force = glm::vec3(0.0f, 10.0f, 0.0f);
    system.mass = 5.0f;
    system.lifespan = 2.0f;
    system.start();
    system.update(0.5f, true);
    const Particle& p = system.particles()[0];
    EXPECT_EQ(system.origin, followed);
    EXPECT_EQ(p.position, followed);
    EXPECT_EQ(p.acceleration, glm::vec3(0.0f, 2.0f, 0.0f));
    EXPECT_EQ(p.colour, glm::vec4(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_EQ(p.size, 1.0f);
    EXPECT_EQ(p.respawnsLeft, 2);
    // Integration: position += v dt + (a dt) dt, then v += a dt.
    system.update(0.5f, true);
    EXPECT_FLOAT_EQ(p.life, 1.5f);
    EXPECT_EQ(p.position, followed + glm::vec3(0.5f, 0.5f, 0.0f));
    EXPECT_EQ(p.velocity, glm::vec3(1.0f, 1.0f, 0.0f));
}

TEST(ParticleBehaviors, FadeOutAtRateFiveKeepsAlphaOneUntilTheLastFifthOfASecond) {
    FadeOutLifeSpanPP fade(5.0f);
    const struct {
        float life;
        float alpha;
    } cases[] = {{3.0f, 1.0f}, {0.5f, 1.0f},  {0.2f, 1.0f}, {0.15f, 0.75f},
                 {0.1f, 0.5f}, {0.02f, 0.1f}, {0.0f, 0.0f}};
    for (const auto& c : cases) {
        Particle p;
        p.life = c.life;
        fade.updateParticle(p, 1.0f / 60.0f, glm::vec3(0.0f));
        EXPECT_NEAR(p.colour.a, c.alpha, 1e-6f) << "life " << c.life;
    }
}

TEST(ParticleBehaviors, RandomInitialisersStayInTheirRanges) {
    std::srand(3);
    RandomLifespanPP lifespan(-1.0f, 3.0f);
    EXPECT_EQ(lifespan.min, 0.0f);
    RandomSizeInitPP size(0.2f, 1.2f);
    VolumeSpawnerCubePP box(glm::vec3(1.5f, 0.35f, 2.5f));
    float lowest = 10.0f, highest = -10.0f;
    glm::vec3 spread(0.0f);
    for (int i = 0; i < 20000; ++i) {
        Particle p;
        lifespan.initParticle(p);
        size.initParticle(p);
        box.initParticle(p);
        ASSERT_GE(p.life, 0.0f);
        ASSERT_LE(p.life, 3.0f);
        ASSERT_GE(p.size, 0.2f);
        ASSERT_LE(p.size, 1.2f);
        ASSERT_LE(std::abs(p.position.x), 1.5f);
        ASSERT_LE(std::abs(p.position.y), 0.35f);
        ASSERT_LE(std::abs(p.position.z), 2.5f);
        lowest = std::min(lowest, p.life);
        highest = std::max(highest, p.life);
        spread = glm::max(spread, glm::abs(p.position));
    }
    // The whole range is used, so the clamp is not just hiding a narrower draw.
    EXPECT_LT(lowest, 0.01f);
    EXPECT_GT(highest, 2.99f);
    EXPECT_GT(spread.x, 1.49f);
    EXPECT_GT(spread.z, 2.49f);
}

TEST(ParticleBehaviors, RandomVectorHasExactlyTheAskedLengthInAnEvenDirection) {
    std::srand(11);
    for (const float length : {0.0f, 0.02f, 1.0f, 50.0f}) {
        glm::vec3 sum(0.0f);
        int up = 0;
        for (int i = 0; i < 5000; ++i) {
            const glm::vec3 v = randomVector(length);
            ASSERT_NEAR(glm::length(v), length, 1e-5f * std::max(1.0f, length));
            sum += v;
            up += v.z > 0.0f ? 1 : 0;
        }
        if (length > 0.0f) {
            // No preferred direction: the mean is near 0 and half the vectors point up.
            EXPECT_LT(glm::length(sum / 5000.0f), 0.05f * length);
            EXPECT_NEAR(up / 5000.0, 0.5, 0.03);
        }
    }
}

TEST(ParticleBehaviors, WanderColourAndRotatorChangeParticlesAsDescribed) {
    std::srand(5);
    Particle p;
    AI_WanderPP wander(3.0f);
    wander.updateParticle(p, 0.1f, glm::vec3(0.0f));
    EXPECT_NEAR(glm::length(p.velocity), 0.1f * 30.0f, 1e-5f);

    ParticleSystem system;
    ASSERT_TRUE(system.setParticleCount(50));
    auto colour = std::make_unique<RandomColourPP>();
    RandomColourPP* colourRaw = colour.get();
    system.addBehavior(std::move(colour));
    system.start();
    float spread = 0.0f;
    for (const Particle& q : system.particles())
        spread = std::max(spread, std::abs(q.colour.a - system.particles()[0].colour.a));
    EXPECT_GT(spread, 0.1f); // attach gave independent colours
    Particle drift;
    drift.colour = glm::vec4(0.5f);
    colourRaw->updateParticle(drift, 0.1f, glm::vec3(0.0f));
    EXPECT_EQ(drift.colour.r, 0.5f);
    EXPECT_NEAR(glm::length(glm::vec3(drift.colour.g, drift.colour.b, drift.colour.a) - 0.5f),
                0.02f, 1e-6f);

    Rotator rotator(90.0f, glm::vec3(0.0f, 0.0f, 2.0f));
    glm::vec3 points[2] = {{1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 3.0f}};
    rotator.beginUpdate(1.0f);
    rotator.transformPoints(points, 2);
    EXPECT_NEAR(points[0].x, 0.0f, 1e-5f);
    EXPECT_NEAR(points[0].y, 1.0f, 1e-5f);
    EXPECT_NEAR(points[1].z, 3.0f, 1e-5f);
    // The turn accumulates once per update, however often points are transformed.
    glm::vec3 again(1.0f, 0.0f, 0.0f);
    rotator.transformPoints(&again, 1);
    EXPECT_NEAR(again.y, 1.0f, 1e-5f);
    rotator.beginUpdate(1.0f);
    glm::vec3 fresh(1.0f, 0.0f, 0.0f);
    rotator.transformPoints(&fresh, 1);
    EXPECT_NEAR(fresh.x, -1.0f, 1e-5f);
    EXPECT_NEAR(fresh.y, 0.0f, 1e-5f);
}

TEST(ParticleEffects, ConfigurationsMatchTheirEffects) {
    struct Row {
        void (*configure)(ParticleSystem&);
        int particles;
        int respawnLimit;
        float lifespan;
        glm::vec3 halfBox;
        glm::vec3 force;
        std::vector<const char*> behaviours;
    };
    const Row rows[] = {
        {&ParticleEffects::configureDust,
         100,
         -4,
         4.0f,
         glm::vec3(1.5f, 0.35f, 2.5f),
         glm::vec3(0.0f, 6.0f, 0.0f),
         {typeid(VolumeSpawnerCubePP).name(), typeid(RandomSizeInitPP).name(),
          typeid(RandomLifespanPP).name(), typeid(FadeOutLifeSpanPP).name(),
          typeid(AI_WanderPP).name()}},
        {&ParticleEffects::configureAmbientCloud,
         1000,
         -4,
         8.0f,
         glm::vec3(80.0f, 60.0f, 100.0f),
         glm::vec3(0.0f),
         {typeid(VolumeSpawnerCubePP).name(), typeid(RandomSizeInitPP).name(),
          typeid(RandomLifespanPP).name(), typeid(FadeOutLifeSpanPP).name(),
          typeid(AI_WanderPP).name()}},
        {&ParticleEffects::configureSugarSparkle,
         100,
         2,
         4.0f,
         glm::vec3(7.5f, 6.5f, 6.5f),
         glm::vec3(0.0f, 20.0f, 0.0f),
         {typeid(VolumeSpawnerCubePP).name(), typeid(RandomSizeInitPP).name(),
          typeid(RandomColourPP).name(), typeid(RandomLifespanPP).name(),
          typeid(FadeOutLifeSpanPP).name(), typeid(AI_WanderPP).name()}},
    };
    for (const Row& row : rows) {
        ParticleSystem system;
        row.configure(system);
        SCOPED_TRACE(row.particles);
        EXPECT_EQ(system.count(), row.particles);
        EXPECT_EQ(system.respawnLimit, row.respawnLimit);
        EXPECT_EQ(system.lifespan, row.lifespan);
        EXPECT_EQ(system.force, row.force);
        EXPECT_EQ(system.mass, 5.0f);
        EXPECT_EQ(system.spawnInterval, 0.5f);
        EXPECT_EQ(system.rendererScale[0], 5.0f);
        EXPECT_EQ(system.particles()[0].respawnsLeft, row.respawnLimit > 0 ? row.respawnLimit : 0);
        ASSERT_EQ(system.behaviors().size(), row.behaviours.size());
        for (std::size_t i = 0; i < row.behaviours.size(); ++i) {
            const ParticleBehavior& b = *system.behaviors()[i];
            EXPECT_STREQ(typeid(b).name(), row.behaviours[i]) << "behaviour " << i;
        }
        const auto* box = dynamic_cast<const VolumeSpawnerCubePP*>(system.behaviors()[0].get());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->halfExtents, row.halfBox);
    }
    std::srand(9);
    ParticleSystem dust;
    ParticleEffects::configureDust(dust);
    EXPECT_EQ(dust.spawnVelocity.y, 0.0f);
    EXPECT_LE(std::abs(dust.spawnVelocity.x), 2.0f);
    EXPECT_LE(std::abs(dust.spawnVelocity.z), 2.0f);
    EXPECT_NE(dust.spawnVelocity.x, 0.0f);
}

TEST(ParticleEffects, TheSameSeedGivesTheSameParticles) {
    const auto run = [](unsigned seed) {
        std::srand(seed);
        ParticleSystem system;
        ParticleEffects::configureAmbientCloud(system);
        system.start();
        for (int frame = 0; frame < 90; ++frame)
            system.update(1.0f / 60.0f, true);
        return system.particles();
    };
    const std::vector<Particle> first = run(7);
    const std::vector<Particle> second = run(7);
    const std::vector<Particle> other = run(8);
    ASSERT_EQ(first.size(), second.size());
    int alive = 0, differing = 0;
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].position, second[i].position) << i;
        EXPECT_EQ(first[i].velocity, second[i].velocity) << i;
        EXPECT_EQ(first[i].life, second[i].life) << i;
        EXPECT_EQ(first[i].size, second[i].size) << i;
        EXPECT_EQ(first[i].colour, second[i].colour) << i;
        alive += first[i].life > 0.0f ? 1 : 0;
        differing += first[i].position != other[i].position ? 1 : 0;
    }
    EXPECT_GT(alive, 100);
    EXPECT_GT(differing, 100);
}

TEST(ParticleVertices, OnlyLivingParticlesAreWrittenAndRefillsReuseTheArrays) {
    ParticleSystem system;
    ASSERT_TRUE(system.setParticleCount(4));
    system.rendererScale[0] = 2.0f;
    for (int i = 0; i < 4; ++i) {
        Particle& p = system.particles()[i];
        p.position = glm::vec3(10.0f * i, 0.0f, 0.0f);
        p.size = 1.0f + i;
        p.colour = glm::vec4(0.25f * i);
        p.life = 1.0f;
    }
    const glm::vec3 right(1, 0, 0), up(0, 1, 0);
    ParticleVertices vertices;
    ASSERT_EQ(vertices.fillPoints(system), 4u);
    ASSERT_EQ(vertices.fillQuads(2.0f, right, up), 24u);
    const ParticleVertices before = vertices;
    const void* const storage[5] = {vertices.positions.data(), vertices.sizes.data(),
                                    vertices.colours.data(), vertices.quadPositions.data(),
                                    vertices.quadUVs.data()};

    // Particles 1 and 3 die and particle 2 moves: the refill writes particles 0 and 2 over the
    // same storage.
    system.particles()[1].life = 0.0f;
    system.particles()[3].life = 0.0f;
    system.particles()[2].position = glm::vec3(50.0f, 5.0f, 0.0f);
    ASSERT_EQ(vertices.fillPoints(system), 2u);
    ASSERT_EQ(vertices.fillQuads(2.0f, right, up), 12u);
    const void* const refilled[5] = {vertices.positions.data(), vertices.sizes.data(),
                                     vertices.colours.data(), vertices.quadPositions.data(),
                                     vertices.quadUVs.data()};
    for (int a = 0; a < 5; ++a)
        EXPECT_EQ(refilled[a], storage[a]) << "array " << a << " was allocated again";

    EXPECT_EQ(vertices.positions[0], before.positions[0]);
    EXPECT_EQ(before.positions[1], glm::vec3(10.0f, 0.0f, 0.0f));
    EXPECT_EQ(vertices.positions[1], glm::vec3(50.0f, 5.0f, 0.0f));
    EXPECT_EQ(vertices.sizes[1], 3.0f);
    EXPECT_EQ(vertices.colours[1], glm::vec4(0.5f));
    for (std::size_t v = 0; v < 6; ++v)
        EXPECT_EQ(vertices.quadPositions[v], before.quadPositions[v]) << v;
    // Particle 2 now: size 3 * scale 2 = a 6-unit square centred on (50, 5, 0), where particle 1's
    // 4-unit square around (10, 0, 0) was.
    glm::vec3 lo(1e9f), hi(-1e9f), oldLo(1e9f), oldHi(-1e9f);
    for (std::size_t v = 6; v < 12; ++v) {
        lo = glm::min(lo, vertices.quadPositions[v]);
        hi = glm::max(hi, vertices.quadPositions[v]);
        oldLo = glm::min(oldLo, before.quadPositions[v]);
        oldHi = glm::max(oldHi, before.quadPositions[v]);
    }
    EXPECT_EQ(lo, glm::vec3(47.0f, 2.0f, 0.0f));
    EXPECT_EQ(hi, glm::vec3(53.0f, 8.0f, 0.0f));
    EXPECT_EQ(oldLo, glm::vec3(8.0f, -2.0f, 0.0f));
    EXPECT_EQ(oldHi, glm::vec3(12.0f, 2.0f, 0.0f));
    EXPECT_EQ(vertices.quadUVs[0], glm::vec2(0.0f, 1.0f)); // lower left: the image's last row
}

TEST(ParticleRegistry, ListsSystemsUntilTheyAreTakenOut) {
    ParticleRegistry& registry = ParticleRegistry::instance();
    const std::size_t already = registry.systems().size();
    ParticleSystem a, b;
    ASSERT_TRUE(a.setParticleCount(3));
    ASSERT_TRUE(b.setParticleCount(4));
    registry.add(&a);
    registry.add(&b);
    registry.add(&a);
    EXPECT_EQ(registry.systems().size(), already + 2);
    EXPECT_TRUE(registry.contains(&b));
    EXPECT_GE(registry.totalParticles(), 7u);
    EXPECT_TRUE(registry.remove(&a));
    EXPECT_FALSE(registry.remove(&a));
    EXPECT_FALSE(registry.contains(&a));
    EXPECT_TRUE(registry.remove(&b));
    EXPECT_EQ(registry.systems().size(), already);
}
