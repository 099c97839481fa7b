#pragma once

#include "engine/Behavior.hpp"
#include "engine/EntityHandle.hpp"

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <string>

namespace components {

// Flies a wasp along its patrol at a steady speed: back and forth between two points, or round a
// circle about its first point when given a radius. It bobs gently on the way, faces where it
// flies (the model's head points along +x) and flutters its wings, a second entity glued to the
// body by a TransformAttachment whose offset this behaviour squeezes and opens about the wings'
// root many times a second. Now and then it buzzes (sound "waspBuzz").
//
// The wasp moves through its "body": each update sets the velocity that takes it to the next
// point of its path in one step, so the body's own integration (priority 101) places it and it
// carries no "hasGravity" while it flies. Once its entity carries "dead" (its death action adds
// it, with gravity) the behaviour lets go: it no longer steers, and the wings fold still. Answers
// "waspBehaviour"; update priority 0.
class WaspBehaviour : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "waspBehaviour";
    // Bob: height and rate (per second) of the gentle up and down of its flight.
    static constexpr float bobHeight = 1.2f;
    static constexpr float bobRate = 0.8f;
    // Wing beats per second, and how far the wings close (their height shrinks to this share).
    static constexpr float flapRate = 9.0f;
    static constexpr float flapClosed = 0.25f;
    // Mean seconds between two buzzes.
    static constexpr float buzzInterval = 3.0f;

    // Patrols from `start` to `end` and back at `speed` units per second; with `radius` above 0 it
    // circles `start` at that radius instead (counter-clockwise, starting at its right). `shape` is
    // the model's rotation and scale, without translation; `wings` the entity of the wings and
    // `wingRoot` the point, in the model's own frame, they beat about.
    WaspBehaviour(const glm::vec3& start, const glm::vec3& end, float radius, float speed,
                  const glm::mat4& shape, vorn::engine::EntityHandle wings,
                  const glm::vec3& wingRoot);

    // Puts the wasp where its patrol begins (a circling wasp starts at the circle's right).
    void initialize() override;
    // Steers the body to the next path point, turns the model, beats the wings, buzzes.
    void update(float dt) override;

    // Where the patrol puts the wasp after `seconds` of flight, bob included.
    glm::vec3 pathPoint(float seconds) const;

    glm::vec3 start;
    glm::vec3 end;
    float radius;
    float speed;
    glm::mat4 shape;
    vorn::engine::EntityHandle wings;
    glm::vec3 wingRoot;
    // Seconds flown.
    float flown = 0.0f;
    // +1 while it flies towards +x, -1 towards -x.
    float facing = 1.0f;

private:
    // Sets the wings' attachment offset: their height squeezed to `open` about the root.
    void beatWings(float open);
};

} // namespace components
