#pragma once

#include <glm/vec2.hpp>

#include <cstddef>

// The overlap tests behind the colliders, on plain data. Every function returns the separation of
// the first shape against the second (the translation that takes the first shape out of the
// second); the zero vector means no contact, and touching at exactly zero depth is no contact.
// Nothing here allocates: projections are computed in place over the vertex lists.
namespace vorn::components::separating {

// A closed interval on an axis.
struct Interval {
    float min;
    float max;
};

// The signed overlap of two intervals: 0 when they are apart (strictly) or touch; otherwise
// a = first.max - second.min and b = first.min - second.max, whichever has the smaller magnitude
// (a on a tie).
float overlap(const Interval& first, const Interval& second);

// The interval of the polygon's vertices, moved by `offset`, projected on `axis`.
Interval project(const glm::vec2* vertices, std::size_t count, const glm::vec2& axis,
                 const glm::vec2& offset);

// The unit normal of the edge from `from` to `to`, (-e.y, e.x) / |e|; (0, 0) for an edge whose
// length is zero (or too small to normalise), which the tests skip.
glm::vec2 edgeAxis(const glm::vec2& from, const glm::vec2& to);

// Circle of radius r1 against a circle of radius r2 whose centre is `offset` away.
glm::vec2 circleAgainstCircle(float r1, float r2, const glm::vec2& offset);

// Polygon (vertices and the axes of its edges, edge i running from vertex i - 1 to vertex i and
// edge 0 from the last vertex to the first) against a circle of radius r centred at `offset`.
glm::vec2 polygonAgainstCircle(const glm::vec2* vertices, const glm::vec2* axes, std::size_t count,
                               float radius, const glm::vec2& offset);

// Whether the polygon tests, run on this vertex list with these edge axes, can report a contact
// only with shapes whose bounding rectangles overlap the list's own. That holds when the axes
// contain the x and y axes themselves (the test then includes the rectangle test), or when every
// edge of the vertices' convex hull is an edge of the list: the projections of a list are those of
// its hull, so the test then treats the list exactly as that convex hull, for which a separating
// axis always exists among the tested ones. A concave or self-crossing list lacks some hull edge
// normals and may be reported in contact with shapes well apart from it. Lists of fewer than two
// vertices never touch anything and pass; lists with non-finite coordinates fail.
bool contactsStayWithinBounds(const glm::vec2* vertices, const glm::vec2* axes, std::size_t count);

// Polygon A against polygon B moved by `offset`; both given as vertices and edge axes.
glm::vec2 polygonAgainstPolygon(const glm::vec2* verticesA, const glm::vec2* axesA,
                                std::size_t countA, const glm::vec2* verticesB,
                                const glm::vec2* axesB, std::size_t countB,
                                const glm::vec2& offset);

} // namespace vorn::components::separating
