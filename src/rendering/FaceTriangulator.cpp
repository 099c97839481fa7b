#include "rendering/FaceTriangulator.hpp"

#include <glm/geometric.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <cmath>

namespace vorn::rendering {

namespace {

using Point = glm::dvec2;

constexpr double pi = 3.14159265358979323846;
// Point-in-triangle tests one ear clipping may make before it gives up (a few milliseconds).
constexpr std::size_t earTestBudget = 4'000'000;

// Twice the signed area of the triangle (a, b, c): positive when it turns counter-clockwise.
double cross(const Point& a, const Point& b, const Point& c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

void appendFan(std::size_t count, std::vector<std::size_t>& triangles) {
    for (std::size_t i = 1; i + 1 < count; ++i)
        triangles.insert(triangles.end(), {0, i, i + 1});
}

// The face in its own plane, turning counter-clockwise. The Newell normal's components are twice
// the areas the face casts on the three coordinate planes; dropping the axis of the largest keeps
// the face as open as it can be, and keeping the other two in cyclic order (y z, z x, x y) makes
// the cast area's sign that component's sign. False for a face with no usable plane: next to no
// area for its size, or coordinates that are not finite.
bool flatten(const std::vector<glm::vec3>& corners, std::vector<Point>& flat, double& size) {
    glm::dvec3 normal(0.0);
    glm::dvec3 low(corners[0]);
    glm::dvec3 high(corners[0]);
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const glm::dvec3 a(corners[i]);
        const glm::dvec3 b(corners[(i + 1) % corners.size()]);
        normal.x += (a.y - b.y) * (a.z + b.z);
        normal.y += (a.z - b.z) * (a.x + b.x);
        normal.z += (a.x - b.x) * (a.y + b.y);
        low = glm::min(low, a);
        high = glm::max(high, a);
    }
    size = glm::length(high - low);
    const double area = glm::length(normal);
    if (!std::isfinite(size) || !std::isfinite(area) || area <= 1e-9 * size * size)
        return false;
    const glm::dvec3 magnitude = glm::abs(normal);
    const int axis = magnitude.x >= magnitude.y && magnitude.x >= magnitude.z ? 0
                     : magnitude.y >= magnitude.z                             ? 1
                                                                              : 2;
    // Mirroring a clockwise face makes it counter-clockwise.
    const double mirror = normal[axis] < 0.0 ? -1.0 : 1.0;
    flat.clear();
    for (const glm::vec3& c : corners) {
        const glm::dvec3 p(c);
        const Point kept = axis == 0   ? Point(p.y, p.z)
                           : axis == 1 ? Point(p.z, p.x)
                                       : Point(p.x, p.y);
        flat.emplace_back(kept.x * mirror, kept.y);
    }
    return true;
}

// Whether the counter-clockwise outline is convex: no turn to the right, no turning back, and
// one turn round in all (a star whose points all turn left goes round twice). Repeated corners
// are passed over, so a quad written with a corner twice still counts as the triangle it is.
bool isConvex(const std::vector<Point>& p) {
    std::vector<Point> edges;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const Point edge = p[(i + 1) % p.size()] - p[i];
        if (edge != Point(0.0))
            edges.push_back(edge);
    }
    double turning = 0.0;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        const Point a = edges[i];
        const Point b = edges[(i + 1) % edges.size()];
        const double sine = (a.x * b.y - a.y * b.x) / (glm::length(a) * glm::length(b));
        const double dot = glm::dot(a, b);
        // Rounding in the file's numbers may bend a straight side a hair's breadth either way.
        if (sine < -1e-6 || (dot < 0.0 && std::abs(sine) <= 1e-6))
            return false;
        turning += std::atan2(a.x * b.y - a.y * b.x, dot);
    }
    return std::abs(turning - 2.0 * pi) < 1.0;
}

// Whether the segments (a, b) and (c, d) cross at a point inside both. Touching, and running
// along each other, do not count: a ring cut open along a slit has its two cut edges on top of
// each other and is still a fine outline to cut into ears.
bool crossProperly(const Point& a, const Point& b, const Point& c, const Point& d,
                   double tolerance) {
    const double abc = cross(a, b, c);
    const double abd = cross(a, b, d);
    const double cda = cross(c, d, a);
    const double cdb = cross(c, d, b);
    return ((abc > tolerance && abd < -tolerance) || (abc < -tolerance && abd > tolerance)) &&
           ((cda > tolerance && cdb < -tolerance) || (cda < -tolerance && cdb > tolerance));
}

bool crossesItself(const std::vector<Point>& p, double tolerance) {
    const std::size_t n = p.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Point& a = p[i];
        const Point& b = p[(i + 1) % n];
        const Point low = glm::min(a, b);
        const Point high = glm::max(a, b);
        // Edges next to each other share a corner and cannot cross.
        for (std::size_t j = i + 2; j < n; ++j) {
            if (i == 0 && j == n - 1)
                continue;
            const Point& c = p[j];
            const Point& d = p[(j + 1) % n];
            if (std::max(c.x, d.x) < low.x || std::min(c.x, d.x) > high.x ||
                std::max(c.y, d.y) < low.y || std::min(c.y, d.y) > high.y)
                continue;
            if (crossProperly(a, b, c, d, tolerance))
                return true;
        }
    }
    return false;
}

// Ear clipping over the counter-clockwise outline `p`, with consecutive repeated corners already
// left out (`ids` maps its points to the face's corner numbers). The search for the next ear
// starts at the second corner and goes on from each ear just cut, which cuts a convex run of
// corners as the fan around the first one would. False when no ear can be found.
bool clipEars(const std::vector<Point>& p, const std::vector<std::size_t>& ids, double tolerance,
              std::vector<std::size_t>& triangles) {
    const std::size_t n = p.size();
    std::vector<std::size_t> prev(n);
    std::vector<std::size_t> next(n);
    for (std::size_t i = 0; i < n; ++i) {
        prev[i] = (i + n - 1) % n;
        next[i] = (i + 1) % n;
    }
    std::size_t budget = earTestBudget;
    // Whether (a, tip, c) can be cut off: the tip turns left and no other corner lies in the
    // triangle or on its sides. Corners on top of one of its three corners (where a slit's two
    // edges meet) do not block it.
    const auto isEar = [&](std::size_t a, std::size_t tip, std::size_t c, bool& flat) {
        const double area = cross(p[a], p[tip], p[c]);
        flat = std::abs(area) <= tolerance;
        if (flat)
            return true; // a straight or doubled-back corner: cutting it changes no area
        if (area < 0.0)
            return false;
        for (std::size_t v = next[c]; v != a; v = next[v]) {
            if (budget-- == 0)
                return false;
            const Point& q = p[v];
            if (q == p[a] || q == p[tip] || q == p[c])
                continue;
            if (cross(p[a], p[tip], q) >= -tolerance && cross(p[tip], p[c], q) >= -tolerance &&
                cross(p[c], p[a], q) >= -tolerance)
                return false;
        }
        return true;
    };

    std::size_t tip = 1 % n;
    std::size_t remaining = n;
    std::size_t misses = 0;
    while (remaining > 3) {
        const std::size_t a = prev[tip];
        const std::size_t c = next[tip];
        bool flat = false;
        if (isEar(a, tip, c, flat)) {
            if (!flat)
                triangles.insert(triangles.end(), {ids[a], ids[tip], ids[c]});
            next[a] = c;
            prev[c] = a;
            --remaining;
            tip = c;
            misses = 0;
        } else {
            if (budget == 0 || ++misses > remaining)
                return false;
            tip = next[tip];
        }
    }
    if (cross(p[prev[tip]], p[tip], p[next[tip]]) > tolerance)
        triangles.insert(triangles.end(), {ids[prev[tip]], ids[tip], ids[next[tip]]});
    return true;
}

} // namespace

bool FaceTriangulator::triangulate(const std::vector<glm::vec3>& corners,
                                   std::vector<std::size_t>& triangles) {
    const std::size_t n = corners.size();
    if (n <= 3) {
        appendFan(n, triangles);
        return true;
    }
    std::vector<Point> flat;
    double size = 0.0;
    if (!flatten(corners, flat, size)) {
        appendFan(n, triangles);
        return false;
    }
    if (isConvex(flat)) {
        appendFan(n, triangles);
        return true;
    }
    // Areas below this count as none: far below what a float coordinate can tell apart.
    const double tolerance = 1e-12 * size * size;
    // Leave out corners that repeat the one before; they add nothing but zero-area ears.
    std::vector<Point> outline;
    std::vector<std::size_t> ids;
    for (std::size_t i = 0; i < n; ++i) {
        if (!outline.empty() && flat[i] == outline.back())
            continue;
        outline.push_back(flat[i]);
        ids.push_back(i);
    }
    while (outline.size() > 1 && outline.back() == outline.front()) {
        outline.pop_back();
        ids.pop_back();
    }
    const std::size_t start = triangles.size();
    if (outline.size() >= 3 && outline.size() <= maxEarCorners &&
        !crossesItself(outline, tolerance) && clipEars(outline, ids, tolerance, triangles))
        return true;
    triangles.resize(start);
    appendFan(n, triangles);
    return false;
}

} // namespace vorn::rendering
