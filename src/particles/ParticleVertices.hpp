#pragma once

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

#include <cstddef>
#include <vector>

namespace vorn::particles {

class ParticleSystem;

// The vertex data of one particle draw, rebuilt from the particles every draw. Only living
// particles are written. The arrays grow to the system's size once and are then reused, so
// refilling them allocates nothing.
class ParticleVertices {
public:
    // Writes position, size and colour of every living particle; returns how many.
    std::size_t fillPoints(const ParticleSystem& system);
    // Writes two triangles (six vertices, positions and UVs) for each point of the last
    // fillPoints(): a square of side size * `scale` spanned by `right` and `up` (unit vectors in
    // the particles' own space) and centred on the point, the texture's first row at the top.
    // Returns the number of vertices.
    std::size_t fillQuads(float scale, const glm::vec3& right, const glm::vec3& up);

    std::vector<glm::vec3> positions;
    std::vector<float> sizes;
    std::vector<glm::vec4> colours;
    std::size_t pointCount = 0;

    std::vector<glm::vec3> quadPositions;
    std::vector<glm::vec2> quadUVs;
    std::size_t quadVertexCount = 0;
};

} // namespace vorn::particles
