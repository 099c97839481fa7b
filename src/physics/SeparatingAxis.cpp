#include "physics/SeparatingAxis.hpp"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace vorn::components::separating {

namespace {

// The largest float: the starting depth that every real overlap beats.
constexpr float noDepth = 3.4028235e38f;

// Keeps the overlap on `axis` when it is strictly shallower than the best so far, so that ties
// keep the earlier axis.
inline void keepShallower(float depth, const glm::vec2& axis, float& best, glm::vec2& bestAxis) {
    if (std::fabs(depth) < std::fabs(best)) {
        best = depth;
        bestAxis = axis;
    }
}

inline bool isZero(const glm::vec2& v) {
    return v.x == 0.0f && v.y == 0.0f;
}

inline Interval projectUnmoved(const glm::vec2* vertices, std::size_t count,
                               const glm::vec2& axis) {
    float v = axis.x * vertices[0].x + axis.y * vertices[0].y;
    Interval result{v, v};
    for (std::size_t i = 1; i < count; ++i) {
        v = axis.x * vertices[i].x + axis.y * vertices[i].y;
        if (v < result.min)
            result.min = v;
        if (v > result.max)
            result.max = v;
    }
    return result;
}

// Twice the signed area of the triangle o, a, b: positive when b lies to the left of o -> a. Worked
// in double, where the products of float differences lose almost nothing.
inline double turn(const glm::vec2& o, const glm::vec2& a, const glm::vec2& b) {
    const double ax = static_cast<double>(a.x) - o.x;
    const double ay = static_cast<double>(a.y) - o.y;
    const double bx = static_cast<double>(b.x) - o.x;
    const double by = static_cast<double>(b.y) - o.y;
    return ax * by - ay * bx;
}

inline bool lexicographicLess(const glm::vec2& a, const glm::vec2& b) {
    return a.x < b.x || (a.x == b.x && a.y < b.y);
}

// An undirected edge with its end points in lexicographic order.
inline std::pair<glm::vec2, glm::vec2> undirected(const glm::vec2& a, const glm::vec2& b) {
    return lexicographicLess(b, a) ? std::make_pair(b, a) : std::make_pair(a, b);
}

inline bool edgeLess(const std::pair<glm::vec2, glm::vec2>& a,
                     const std::pair<glm::vec2, glm::vec2>& b) {
    if (a.first != b.first)
        return lexicographicLess(a.first, b.first);
    return lexicographicLess(a.second, b.second);
}

} // namespace

bool contactsStayWithinBounds(const glm::vec2* vertices, const glm::vec2* axes, std::size_t count) {
    if (count < 2)
        return true;
    for (std::size_t i = 0; i < count; ++i)
        if (!std::isfinite(vertices[i].x) || !std::isfinite(vertices[i].y))
            return false;

    // The x and y axes among the tested ones make the test at least as strict as the rectangles.
    bool xAxis = false;
    bool yAxis = false;
    for (std::size_t i = 0; i < count; ++i) {
        xAxis = xAxis || (axes[i].y == 0.0f && std::fabs(axes[i].x) == 1.0f);
        yAxis = yAxis || (axes[i].x == 0.0f && std::fabs(axes[i].y) == 1.0f);
    }
    if (xAxis && yAxis)
        return true;

    // The list's edges that have a tested axis, undirected and sorted for lookup.
    std::vector<std::pair<glm::vec2, glm::vec2>> edges;
    edges.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        if (!isZero(axes[i]))
            edges.push_back(undirected(vertices[i == 0 ? count - 1 : i - 1], vertices[i]));
    std::sort(edges.begin(), edges.end(), edgeLess);
    const auto isListEdge = [&edges](const glm::vec2& a, const glm::vec2& b) {
        return std::binary_search(edges.begin(), edges.end(), undirected(a, b), edgeLess);
    };

    // The convex hull by the monotone chain, keeping points that lie on a hull edge so that an
    // edge split in several collinear pieces is recognised piece by piece. Rounding in the turn
    // test can only drop a point that is barely outside (the list is then called non-convex,
    // which costs speed, not correctness) or keep one that is barely inside (its hull edges
    // differ from the true ones by rounding, which the broad phase's margin covers).
    std::vector<glm::vec2> points(vertices, vertices + count);
    std::sort(points.begin(), points.end(), lexicographicLess);
    points.erase(std::unique(points.begin(), points.end()), points.end());
    if (points.size() < 2)
        return true; // a single point: no edge, nothing to miss
    std::vector<glm::vec2> chain;
    const auto walk = [&](auto first, auto last) {
        chain.clear();
        for (auto p = first; p != last; ++p) {
            while (chain.size() >= 2 && turn(chain[chain.size() - 2], chain.back(), *p) < 0.0)
                chain.pop_back();
            chain.push_back(*p);
        }
        for (std::size_t i = 1; i < chain.size(); ++i)
            if (!isListEdge(chain[i - 1], chain[i]))
                return false;
        return true;
    };
    return walk(points.begin(), points.end()) && walk(points.rbegin(), points.rend());
}

float overlap(const Interval& first, const Interval& second) {
    if (first.max < second.min || second.max < first.min)
        return 0.0f;
    const float a = first.max - second.min;
    const float b = first.min - second.max;
    return std::fabs(a) > std::fabs(b) ? b : a;
}

Interval project(const glm::vec2* vertices, std::size_t count, const glm::vec2& axis,
                 const glm::vec2& offset) {
    float v = axis.x * (vertices[0].x + offset.x) + axis.y * (vertices[0].y + offset.y);
    Interval result{v, v};
    for (std::size_t i = 1; i < count; ++i) {
        v = axis.x * (vertices[i].x + offset.x) + axis.y * (vertices[i].y + offset.y);
        if (v < result.min)
            result.min = v;
        if (v > result.max)
            result.max = v;
    }
    return result;
}

glm::vec2 edgeAxis(const glm::vec2& from, const glm::vec2& to) {
    const glm::vec2 e = to - from;
    const float length = std::sqrt(e.x * e.x + e.y * e.y);
    // A zero-length edge (a repeated vertex) has no normal; dividing by its length would turn
    // every later separation into NaN, so the axis is marked as absent instead.
    if (!(length > 0.0f) || !std::isfinite(length))
        return glm::vec2(0.0f, 0.0f);
    return glm::vec2(-e.y, e.x) / length;
}

glm::vec2 circleAgainstCircle(float r1, float r2, const glm::vec2& offset) {
    const glm::vec2 v = -offset; // from the other centre to this one
    if (isZero(v))
        return glm::vec2(0.0f, 0.0f);
    const float distance = std::sqrt(v.x * v.x + v.y * v.y);
    // Centres so close that the distance underflows have no usable direction either.
    if (!(distance > 0.0f))
        return glm::vec2(0.0f, 0.0f);
    const float reach = r1 + r2;
    if (reach > distance)
        return v / distance * (reach - distance);
    return glm::vec2(0.0f, 0.0f);
}

glm::vec2 polygonAgainstCircle(const glm::vec2* vertices, const glm::vec2* axes, std::size_t count,
                               float radius, const glm::vec2& offset) {
    if (count < 2)
        return glm::vec2(0.0f, 0.0f);
    float best = noDepth;
    glm::vec2 bestAxis(0.0f, 0.0f);
    for (std::size_t i = 0; i < count; ++i) {
        const glm::vec2& n = axes[i];
        if (isZero(n))
            continue;
        const float centre = n.x * offset.x + n.y * offset.y;
        const float o =
            overlap(Interval{centre - radius, centre + radius}, projectUnmoved(vertices, count, n));
        if (o == 0.0f)
            return glm::vec2(0.0f, 0.0f);
        keepShallower(o, n, best, bestAxis);
    }
    // The axis from the circle's centre to the nearest vertex catches circles beyond a corner.
    std::size_t nearest = 0;
    float nearestDistance = noDepth;
    for (std::size_t i = 0; i < count; ++i) {
        const glm::vec2 d = vertices[i] - offset;
        const float squared = d.x * d.x + d.y * d.y;
        if (i == 0 || squared < nearestDistance) {
            nearest = i;
            nearestDistance = squared;
        }
    }
    const glm::vec2 toVertex = vertices[nearest] - offset;
    const float length = std::sqrt(toVertex.x * toVertex.x + toVertex.y * toVertex.y);
    // A centre exactly on the vertex gives no direction: the edge axes decide alone.
    if (length > 0.0f && std::isfinite(length)) {
        const glm::vec2 n = toVertex / length;
        const float centre = n.x * offset.x + n.y * offset.y;
        const float o =
            overlap(Interval{centre - radius, centre + radius}, projectUnmoved(vertices, count, n));
        if (o == 0.0f)
            return glm::vec2(0.0f, 0.0f);
        keepShallower(o, n, best, bestAxis);
    }
    return bestAxis * best;
}

glm::vec2 polygonAgainstPolygon(const glm::vec2* verticesA, const glm::vec2* axesA,
                                std::size_t countA, const glm::vec2* verticesB,
                                const glm::vec2* axesB, std::size_t countB,
                                const glm::vec2& offset) {
    if (countA < 2 || countB < 2)
        return glm::vec2(0.0f, 0.0f);
    float best = noDepth;
    glm::vec2 bestAxis(0.0f, 0.0f);
    // A's edges first, then B's: on equal depths the earlier axis stays.
    for (int pass = 0; pass < 2; ++pass) {
        const glm::vec2* axes = pass == 0 ? axesA : axesB;
        const std::size_t count = pass == 0 ? countA : countB;
        for (std::size_t i = 0; i < count; ++i) {
            const glm::vec2& n = axes[i];
            if (isZero(n))
                continue;
            const float o = overlap(project(verticesB, countB, n, offset),
                                    projectUnmoved(verticesA, countA, n));
            if (o == 0.0f)
                return glm::vec2(0.0f, 0.0f);
            keepShallower(o, n, best, bestAxis);
        }
    }
    return bestAxis * best;
}

} // namespace vorn::components::separating
