#include "components/ParticleBurst.hpp"

#include "components/LifeSpan.hpp"
#include "engine/World.hpp"
#include "particles/ParticleEffects.hpp"

namespace components {

vorn::engine::EntityHandle ParticleBurst::at(vorn::engine::World& world, const std::string& name,
                                             const glm::vec3& position) {
    const vorn::engine::EntityHandle burst =
        vorn::particles::ParticleEffects::createBurst(world, name, position);
    if (burst.entityId != 0)
        world.addComponent(burst, new LifeSpan(vorn::particles::ParticleEffects::burstSeconds));
    return burst;
}

} // namespace components
