#pragma once

#include "engine/Behavior.hpp"

#include <glm/vec3.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace components {

// A leaf that floats back and forth between two points at a steady speed and carries whatever
// stands on it; one given a sink depth also sinks under a load and rises again when it is left.
//
// The leaf's own "rigidBody" is static and keeps a zero velocity: the leaf moves its transform
// here, at update priority 0, before the physics step (which re-reads every position), so bodies
// meet it where it now is. Riders are the dynamic bodies that lay on its top in the last physics
// step (their contact normal points up out of the leaf by more than `riderNormal`). Each update
// moves them by the leaf's own step, so a ninja standing still goes along and one walking walks
// on it as on still ground: his own velocity stays relative to the leaf. The horizontal
// velocities are switched between the two frames where a rider comes and goes: one who steps or
// lands on the leaf loses the leaf's horizontal velocity, one who jumps or walks off gains it, so
// a jump from a moving leaf carries its speed into the air. Up and down only the carrying moves
// him (the contact itself stops his fall): handing vertical velocity over too would make a
// sinking leaf and its rider throw each other up and down. A former rider found far from the
// leaf (sent back to his spawn point) gains nothing.
//
// When a player lands on it the leaf rustles (sound "leafRustle") and sheds a few bits of leaf
// (the "leafFlutter" effect), at most once per `rustleRest` seconds. Answers "movingLeaf".
class MovingLeaf : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "movingLeaf";
    // The least upward part of a contact normal that makes a rider.
    static constexpr float riderNormal = 0.5f;
    // Beyond this distance from the leaf a former rider gets no velocity from it.
    static constexpr float handOverReach = 40.0f;
    static constexpr float rustleRest = 0.5f;

    // Travels from `start` to `end` and back at `speed` units per second (it stays at `start`
    // when the two are the same or the speed is 0). With `sinkDepth` above 0 it sinks up to that
    // far below its path at `sinkSpeed` while loaded and rises at the same speed when not.
    MovingLeaf(const glm::vec3& start, const glm::vec3& end, float speed, float sinkDepth,
               float sinkSpeed);

    // Moves the leaf and its riders, hands velocities over, rustles.
    void update(float dt) override;

    glm::vec3 start;
    glm::vec3 end;
    float speed;
    float sinkDepth;
    float sinkSpeed;
    // Distance travelled along the path, from 0 up to twice its length (there and back).
    float travelled = 0.0f;
    // How far below its path it hangs now.
    float sunk = 0.0f;
    // The velocity of the last update's step.
    glm::vec3 velocity{0.0f};

private:
    // The path point after `travelled` units.
    glm::vec3 pathPoint() const;
    // Entity ids of this update's riders, in contact order without repeats.
    std::vector<uint32_t> findRiders() const;
    // Plays the rustle and sheds leaf bits where the leaf stands.
    void rustle(const glm::vec3& at);

    std::vector<uint32_t> riders;
    float sinceRustle = rustleRest;
};

} // namespace components
