#pragma once

#include "engine/EntityHandle.hpp"

#include <glm/vec3.hpp>

#include <string>
#include <vector>

namespace vorn::engine {
class World;
}

namespace vorn::particles {

class ParticleSystem;

// The game's particle effects: how each one's system is configured, and the routines that build
// an effect entity (drawing component, "transform" at the given position, Label "gameSpace").
// Effect entities are owned by the gameplay component that created them, which ends them with a
// LifeSpan of 0 when it is removed.
class ParticleEffects {
public:
    // Dirt kicked up by feet: 100 particles in a 3 x 0.7 x 5 box, drifting up.
    static void configureDust(ParticleSystem& system);
    // The slow cloud of sparkles around the player: 1000 particles in a 160 x 120 x 200 box.
    static void configureAmbientCloud(ParticleSystem& system);
    // The sparkle of a touched sugar pile: 100 coloured particles rising from a 15 x 13 x 13 box,
    // each spawned at most twice per touch.
    static void configureSugarSparkle(ParticleSystem& system);

    // The bursts of the longer journey's creatures and leaves: every particle is spawned once, all
    // in the first update (no spawn interval), and the effect is spent after about two seconds;
    // its owner ends the entity then.
    // A wasp's last puff: 40 dusty yellow specks scattered from a 2 x 2 x 2 box, sinking slowly.
    static void configureWaspPuff(ParticleSystem& system);
    // A cut spider thread: 30 small white fibres scattered from along a 1 x 6 x 1 stretch of
    // thread, drifting down.
    static void configureSilkSnap(ParticleSystem& system);
    // A leaf stepped on: 14 green bits shaken off its top (an 18 x 1 x 6 box), fluttering down.
    static void configureLeafFlutter(ParticleSystem& system);
    // How long the bursts above last: after this their owners end them.
    static constexpr float burstSeconds = 2.5f;

    // A dust entity drawn by a DustEmitter with "DirtParticle.png".
    static vorn::engine::EntityHandle createDust(vorn::engine::World& world,
                                                 const glm::vec3& position);
    // An ambient cloud entity drawn by a ParticleChaos with "sugarParticle.png", its rotator
    // turning 10 degrees per second about z.
    static vorn::engine::EntityHandle createAmbientCloud(vorn::engine::World& world,
                                                         const glm::vec3& position);
    // A sugar sparkle entity drawn by a ParticleEmitter with "sugarParticle.png".
    static vorn::engine::EntityHandle createSugarSparkle(vorn::engine::World& world,
                                                         const glm::vec3& position);

    // A burst entity (one of the three above, by name) drawn by a ParticleEmitter: the puff and
    // the leaf bits with "DirtParticle.png", the fibres with "sugarParticle.png".
    static vorn::engine::EntityHandle
    createBurst(vorn::engine::World& world, const std::string& name, const glm::vec3& position);

    // The effect names: "ambientCloud", "dust", "sugarSparkle", "waspPuff", "silkSnap",
    // "leafFlutter".
    static const std::vector<std::string>& names();
    // Builds the effect called `name` (one of names()); an entity id of 0 when there is none.
    static vorn::engine::EntityHandle create(vorn::engine::World& world, const std::string& name,
                                             const glm::vec3& position);
};

} // namespace vorn::particles
