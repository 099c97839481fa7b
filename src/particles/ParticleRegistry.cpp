#include "particles/ParticleRegistry.hpp"

#include "particles/ParticleSystem.hpp"

#include <algorithm>

namespace vorn::particles {

ParticleRegistry& ParticleRegistry::instance() {
    static ParticleRegistry registry;
    return registry;
}

void ParticleRegistry::add(ParticleSystem* system) {
    if (system && !contains(system))
        live.push_back(system);
}

bool ParticleRegistry::remove(ParticleSystem* system) {
    const auto it = std::find(live.begin(), live.end(), system);
    if (it == live.end())
        return false;
    live.erase(it);
    return true;
}

bool ParticleRegistry::contains(const ParticleSystem* system) const {
    return std::find(live.begin(), live.end(), system) != live.end();
}

std::size_t ParticleRegistry::totalParticles() const {
    std::size_t total = 0;
    for (const ParticleSystem* system : live)
        total += static_cast<std::size_t>(system->count());
    return total;
}

} // namespace vorn::particles
