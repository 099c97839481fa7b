#pragma once

#include <cstddef>
#include <vector>

namespace vorn::particles {

class ParticleSystem;

// The process-wide list of live particle systems, created on first use. Emitters enter their
// system when they create it and take it out before deleting it, so the list never holds a
// dangling pointer. It owns nothing.
class ParticleRegistry {
public:
    // The one registry.
    static ParticleRegistry& instance();

    // Enters a system (once; a second add of the same system is ignored).
    void add(ParticleSystem* system);
    // Takes a system out; false when it was not listed.
    bool remove(ParticleSystem* system);
    // Whether a system is listed.
    bool contains(const ParticleSystem* system) const;
    // The listed systems in the order they were entered.
    const std::vector<ParticleSystem*>& systems() const { return live; }
    // Number of particles of every listed system together.
    std::size_t totalParticles() const;

private:
    ParticleRegistry() = default;
    std::vector<ParticleSystem*> live;
};

} // namespace vorn::particles
