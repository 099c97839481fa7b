#pragma once

#include "particles/ParticleBehavior.hpp"

#include <glm/mat4x4.hpp>

namespace vorn::particles {

// Turns drawn points about an axis through a pivot, a little more every frame: the rotation
// accumulates, so the points keep spinning at `speed` degrees per second.
class Rotator : public ParticleBehavior {
public:
    explicit Rotator(float speed = 0.0f, const glm::vec3& axis = glm::vec3(0.0f, 0.0f, 1.0f))
        : speed(speed), axis(axis) {}
    // Remembers dt for the next transformPoints().
    void beginUpdate(float dt) override { lastDt = dt; }
    // Makes the pivot a translation by the system's origin.
    void initParticle(Particle& particle) override;
    // Adds a turn of speed * dt degrees about the axis to the accumulated rotation, then applies
    // the accumulated rotation (about the pivot) to every point.
    void transformPoints(glm::vec3* points, std::size_t count) override;
    // Applies the accumulated rotation about the pivot to every point, without turning further.
    void rotatePoints(glm::vec3* points, std::size_t count) const;

    float speed;    // degrees per second
    glm::vec3 axis; // need not be unit length; a zero axis turns nothing
    glm::mat4 pivot{1.0f};
    glm::mat4 accumulated{1.0f};

private:
    float lastDt = 0.0f;
};

} // namespace vorn::particles
