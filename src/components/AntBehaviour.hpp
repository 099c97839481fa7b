#pragma once

#include "engine/Behavior.hpp"

#include <glm/vec2.hpp>

#include <string>

namespace vorn::components {

// A worker ant's crawling. Every frame the ant picks, among the platforms it touches, the surface
// that faces most against its walking direction (so it climbs a wall it runs into and follows a
// floor round a corner), presses itself onto that surface, walks along it in its walking sense and
// turns to stand on it. Touching no platform it falls under gravity with horizontal air drag.
// Invisible "antCommandCW" and "antCommandCCW" markers set the walking sense. Now and then it
// chirps. Answers "antBehavior"; update priority 102, after the rigid bodies have found this
// frame's contacts.
class AntBehaviour : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "antBehavior";

    AntBehaviour(bool clockwise, float maxSpeed, float airDrag, float groundFriction,
                 float walkAcceleration);

    // Surface choice, pressing on, gravity switch, drag, walking, orientation, turn markers and
    // the chirp, in this order.
    void update(float dt) override;

    // The walking force applies only below this speed along the walking direction.
    float maxSpeed;
    // Horizontal drag when touching no platform.
    float airDrag;
    // Drag on all three axes when touching a platform.
    float groundFriction;
    float walkAcceleration;
    // Unit normal of the surface walked on, chosen afresh every frame.
    glm::vec2 surfaceNormal{0.0f, 1.0f};
    bool onPlatform = false;
    // Walking sense: on a floor (normal (0, 1)) clockwise walks towards -x.
    bool clockwise;

    // The walking direction along a surface of normal `normal` in the given sense.
    static glm::vec2 walkingDirection(const glm::vec2& normal, bool clockwise);

private:
    void followTurnMarkers();
    void chirp(float dt);
};

} // namespace vorn::components
