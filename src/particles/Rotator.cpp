#include "particles/Rotator.hpp"

#include "particles/ParticleRandom.hpp"
#include "particles/ParticleSystem.hpp"

#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>

namespace vorn::particles {

void Rotator::initParticle(Particle&) {
    if (system)
        pivot = glm::translate(glm::mat4(1.0f), system->origin);
}

void Rotator::transformPoints(glm::vec3* points, std::size_t count) {
    constexpr float degrees = 0.017453293f;
    if (glm::dot(axis, axis) > 1e-12f) {
        accumulated = accumulated *
                      glm::rotate(glm::mat4(1.0f), speed * lastDt * degrees, glm::normalize(axis));
        // Long runs multiply many small rotations; re-orthonormalise so rounding never grows
        // into a shear or a scale.
        const glm::vec3 x = glm::normalize(glm::vec3(accumulated[0]));
        const glm::vec3 y =
            glm::normalize(glm::vec3(accumulated[1]) - glm::dot(glm::vec3(accumulated[1]), x) * x);
        accumulated[0] = glm::vec4(x, 0.0f);
        accumulated[1] = glm::vec4(y, 0.0f);
        accumulated[2] = glm::vec4(glm::cross(x, y), 0.0f);
    }
    lastDt = 0.0f; // one turn per update, however many times the points are transformed
    rotatePoints(points, count);
}

void Rotator::rotatePoints(glm::vec3* points, std::size_t count) const {
    const glm::mat4 m = pivot * accumulated * glm::inverse(pivot);
    for (std::size_t i = 0; i < count; ++i)
        points[i] = glm::vec3(m * glm::vec4(points[i], 1.0f));
}

} // namespace vorn::particles
