#include "physics/SeparatingAxis.hpp"

#include <cmath>

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

} // namespace

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
