#pragma once

#include <glm/vec3.hpp>

#include <cstddef>
#include <vector>

namespace vorn::rendering {

// Cuts one polygon face of a model into triangles.
//
// The face is flattened into its own plane (the Newell normal picks the axis to drop), so slightly
// bent faces and either winding work alike. A convex face becomes the fan around its first corner,
// in the fan's order, so models made of convex faces get exactly the triangles they always had.
// Any other face is cut by ear clipping, which keeps concave outlines (an L, a star, a ring cut
// open along a slit, its two cut edges on top of each other) in their shape. Faces that are not
// simple polygons (self-crossing, no area) have no right answer and fall back to the fan; so do
// concave faces of more than `maxEarCorners` corners, which would cost too much to cut.
class FaceTriangulator {
public:
    // Concave faces with more corners than this are drawn as fans.
    static constexpr std::size_t maxEarCorners = 1024;

    // Appends the face's triangles to `triangles` as corner numbers (0 to corners.size() - 1),
    // three per triangle, each in the face's own winding. Returns false when the face had to
    // fall back to the fan although it is not convex. Fewer than three corners give nothing.
    static bool triangulate(const std::vector<glm::vec3>& corners,
                            std::vector<std::size_t>& triangles);
};

} // namespace vorn::rendering
