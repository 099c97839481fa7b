#pragma once

// Concave outlines for the face-cutting tests, each also given as the triangles that make it up.
// All lie in the z = 0 plane, within [-1, 1] in x and y, and wind counter-clockwise.

#include <glm/vec3.hpp>

#include <cmath>
#include <string>
#include <vector>

namespace concave {

// An L, starting at a corner from which the fan around it would cover the notch.
inline std::vector<glm::vec3> ell() {
    return {{1, -1, 0},      {1, -0.333f, 0}, {-0.333f, -0.333f, 0},
            {-0.333f, 1, 0}, {-1, 1, 0},      {-1, -1, 0}};
}

// Five-pointed star, outer radius 1, inner radius 0.4, starting at its top point.
inline std::vector<glm::vec3> star() {
    std::vector<glm::vec3> corners;
    for (int i = 0; i < 10; ++i) {
        const float angle = 1.5707963f + static_cast<float>(i) * 0.62831853f;
        const float r = i % 2 ? 0.4f : 1.0f;
        corners.emplace_back(r * std::cos(angle), r * std::sin(angle), 0.0f);
    }
    return corners;
}

// A ring (radii 1 and 0.6, 32 sides) cut open along a slit whose two edges lie on top of each
// other: 33 corners round the outside, then 33 back round the inside.
inline std::vector<glm::vec3> slitRing() {
    std::vector<glm::vec3> corners;
    for (int i = 0; i <= 32; ++i)
        corners.emplace_back(std::cos(i * 0.19634954f), std::sin(i * 0.19634954f), 0.0f);
    for (int i = 32; i >= 0; --i)
        corners.emplace_back(0.6f * std::cos(i * 0.19634954f), 0.6f * std::sin(i * 0.19634954f),
                             0.0f);
    return corners;
}

// The same shapes as triangles, three corners each.
inline std::vector<glm::vec3> ellTriangles() {
    const std::vector<glm::vec3> c = ell();
    return {c[5], c[0], c[1], c[5], c[1], c[2], c[5], c[2], c[4], c[4], c[2], c[3]};
}

inline std::vector<glm::vec3> starTriangles() {
    const std::vector<glm::vec3> c = star();
    std::vector<glm::vec3> triangles;
    for (std::size_t i = 0; i < c.size(); ++i)
        triangles.insert(triangles.end(), {glm::vec3(0.0f), c[i], c[(i + 1) % c.size()]});
    return triangles;
}

inline std::vector<glm::vec3> slitRingTriangles() {
    const std::vector<glm::vec3> c = slitRing();
    std::vector<glm::vec3> triangles;
    for (std::size_t i = 0; i < 32; ++i) {
        const glm::vec3 outer0 = c[i], outer1 = c[i + 1];
        const glm::vec3 inner0 = c[65 - i], inner1 = c[64 - i];
        triangles.insert(triangles.end(), {outer0, outer1, inner1, outer0, inner1, inner0});
    }
    return triangles;
}

// OBJ text: the corners as positions, then one face of all of them (a polygon) or one face for
// each three (triangles); `header` goes first ("mtllib ..." and "usemtl ...").
inline std::string objText(const std::vector<glm::vec3>& corners, bool polygon,
                           const std::string& header = "") {
    std::string text = header;
    for (const glm::vec3& c : corners)
        text += "v " + std::to_string(c.x) + " " + std::to_string(c.y) + " " + std::to_string(c.z) +
                "\n";
    const std::size_t perFace = polygon ? corners.size() : 3;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        text += i % perFace == 0 ? "f" : "";
        text += " " + std::to_string(i + 1);
        text += i % perFace == perFace - 1 ? "\n" : "";
    }
    return text;
}

} // namespace concave
