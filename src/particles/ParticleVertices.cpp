#include "particles/ParticleVertices.hpp"

#include "particles/ParticleSystem.hpp"

namespace vorn::particles {

namespace {
// Grows a vector to at least n elements; never shrinks, so steady use allocates nothing.
template <class T> void ensureSize(std::vector<T>& v, std::size_t n) {
    if (v.size() < n)
        v.resize(n);
}
} // namespace

std::size_t ParticleVertices::fillPoints(const ParticleSystem& system) {
    const std::vector<Particle>& particles = system.particles();
    ensureSize(positions, particles.size());
    ensureSize(sizes, particles.size());
    ensureSize(colours, particles.size());
    std::size_t n = 0;
    for (const Particle& p : particles) {
        if (p.life <= 0.0f)
            continue;
        positions[n] = p.position;
        sizes[n] = p.size;
        colours[n] = p.colour;
        ++n;
    }
    pointCount = n;
    return n;
}

std::size_t ParticleVertices::fillQuads(float scale, const glm::vec3& right, const glm::vec3& up) {
    ensureSize(quadPositions, pointCount * 6);
    ensureSize(quadUVs, pointCount * 6);
    // Counter-clockwise seen from the side `right` x `up` points to.
    static const glm::vec2 corners[6] = {{-1, -1}, {1, 1}, {-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
    std::size_t n = 0;
    for (std::size_t i = 0; i < pointCount; ++i) {
        const float half = 0.5f * sizes[i] * scale;
        for (const glm::vec2& c : corners) {
            quadPositions[n] = positions[i] + (c.x * half) * right + (c.y * half) * up;
            quadUVs[n] = glm::vec2(0.5f + 0.5f * c.x, 0.5f - 0.5f * c.y);
            ++n;
        }
    }
    quadVertexCount = n;
    return n;
}

} // namespace vorn::particles
