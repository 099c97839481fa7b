#pragma once

#include "components/SoundCue.hpp"
#include "engine/Behavior.hpp"

#include <glm/gtc/quaternion.hpp>
#include <glm/vec2.hpp>

#include <string>

namespace vorn::components {

class Body;
class Energy;

// The ninja's controller. Every frame it reads the movement keys from the engine's input source,
// learns about the ground from its rigid body's contacts with "platform" entities, clings to
// surfaces it presses into while it has energy (switching "hasGravity" off), applies drag and the
// walking force, jumps and double-jumps, turns the body along the ground or upright in the air and
// chooses the animation. Answers "simpleNav"; update priority 0.
//
// Keys: up W/Up, down S/Down, right D/Right, left A/Left, jump Z/J/Space. One press of a jump key
// gives one jump: all jump keys must be released between two jumps.
class SimpleNavigation : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "simpleNav";

    // What the animated model shows.
    enum AnimationState {
        Idle = 0,
        Walking = 1,
        Jumping = 2,
        Falling = 3,
        Landing = 4,
        Punching = 5,
        Dead = 6,
        Hurt = 7
    };

    SimpleNavigation(float maxWalkSpeed, float jumpSpeed, float airDrag, float groundFriction,
                     float walkAcceleration);
    // The whole behaviour of one frame.
    void update(float dt) override;
    // Spends `strength` jumps of energy and sets the speed along `direction` to 3 * jumpSpeed
    // (a faster body is not slowed); the next jump becomes a double jump.
    void jump(Body& body, float strength, const glm::vec2& direction);
    // Rearms both jumps and the ground grace time; plays the landing sound after a flight.
    void land();

    int animationState = Idle;
    float maxWalkSpeed;
    float jumpSpeed;
    float airDrag;
    float groundFriction;
    bool airborne = false;
    bool jumpKeyHeld = false;
    bool doubleJumpUsed = false;
    float walkAcceleration;
    float groundTimer = 0.0f;
    glm::vec2 groundNormal{0.0f, 1.0f};
    bool clinging = false;
    bool turningInAir = false;
    glm::quat airStartRotation{1.0f, 0.0f, 0.0f, 0.0f};
    glm::quat airTargetRotation{1.0f, 0.0f, 0.0f, 0.0f};
    float airTurn = 0.0f;
    float airTurnSpeed = 1.0f;
    float facing = 0.0f;
    float actionTimer = 0.0f;

    // Whether the last update touched a platform / stood on one (normal steeper than 45 degrees
    // up).
    bool isTouching() const { return touching; }
    bool isStanding() const { return standing; }

private:
    glm::vec2 readInput() const;
    void scanGround(Body& body, const glm::vec2& input, float dt);
    void orient(const glm::vec2& input, float dt);
    void chooseAnimation(const glm::vec2& input, bool alive, float dt);
    // Plays `cue` 5 units below the entity's origin in its own frame.
    void playAtFeet(const ::components::SoundCue& cue) const;

    bool touching = false;
    bool standing = false;
    // A jump took off during the current update.
    bool jumpedThisFrame = false;
    ::components::SoundCue jumpSound{"jump"};
    ::components::SoundCue doubleJumpSound{"doubleJump"};
    ::components::SoundCue landingSound{"landing"};
};

} // namespace vorn::components
