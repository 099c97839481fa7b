#pragma once

#include "engine/Behavior.hpp"
#include "engine/EntityHandle.hpp"

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <string>

namespace components {

// A spider on a thread from a fixed anchor. It hangs high until a live player passes beneath
// (within `reach` of the anchor's x, below the spider and above the lowest point it can drop to),
// then drops fast to the end of its thread (sound "spiderDrop"), waits there a moment and climbs
// back at a slower pace; a player still beneath when it is back up brings it down again.
//
// The thread is an entity of its own whose transform hangs from the anchor, its height scaled to
// the thread's length (the thread model spans y from 0 down to -1), and whose box collider runs
// from the anchor down to the spider's middle, so the sword meets it wherever it hangs, even
// where it holds a spider that has dropped to the ninja's height. The spider and its thread
// are placed here directly (update priority 0); its "body" keeps a zero velocity while it hangs.
// Once the spider carries "dead" (its thread was cut) the behaviour lets go and gravity has it.
// Answers "spiderBehaviour".
class SpiderBehaviour : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "spiderBehaviour";
    enum State { Hanging, Dropping, Waiting, Climbing };
    static constexpr float dropSpeed = 45.0f;
    static constexpr float climbSpeed = 12.0f;
    static constexpr float waitTime = 1.0f;
    // Half the width of the thread's collider.
    static constexpr float threadHalfWidth = 0.75f;

    // Hangs from `anchor`, `restLength` below it at rest and `dropLength` below it at the bottom of
    // a drop; drops for a player within `reach` of the anchor's x. `shape` is the spider model's
    // rotation and scale; the thread meets its body `topOffset` above the spider's position;
    // `threadScale` is the thread model's scale across.
    SpiderBehaviour(const glm::vec3& anchor, float restLength, float dropLength, float reach,
                    const glm::mat4& shape, float topOffset, vorn::engine::EntityHandle thread,
                    float threadScale);

    // Places spider and thread at the rest length.
    void initialize() override;
    // Runs the hanging, dropping, waiting and climbing, and places spider and thread.
    void update(float dt) override;

    glm::vec3 anchor;
    float restLength;
    float dropLength;
    float reach;
    glm::mat4 shape;
    float topOffset;
    vorn::engine::EntityHandle thread;
    float threadScale;
    State state = Hanging;
    // Distance from the anchor down to the spider's position.
    float length;
    // Seconds spent waiting at the bottom.
    float waited = 0.0f;

private:
    // Whether a live player is beneath the spider.
    bool playerBeneath() const;
    // Puts the spider `length` below the anchor and sizes the thread to reach it.
    void place();
};

} // namespace components
