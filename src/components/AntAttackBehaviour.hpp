#pragma once

#include "engine/Behavior.hpp"
#include "engine/EntityHandle.hpp"

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <string>

namespace components {

// A worker ant's bite. A request (`trigger`) starts a wind-up; at its end a small bite area
// appears in front of the ant for one frame, tracking players; the next update resolves the bite
// against whatever the area touched and removes it; the ant then recovers until `recoveryTime`
// has passed since the wind-up began. A bitten player loses `damage` health and is knocked away
// from the ant; one with no health left, or none at all, is sent back to his spawn point whole.
// Answers "antAttackBehavior"; update priority 102.
//
// States: 3 ready -> (trigger) -> 0 wind-up -> (windupTime) -> 1 biting -> (next update) ->
// 2 recovering -> (recoveryTime) -> 3.
class AntAttackBehaviour : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "antAttackBehavior";

    enum State { windingUp = 0, biting = 1, recovering = 2, ready = 3 };

    AntAttackBehaviour(float windupTime, float damage, float recoveryTime, float biteOffsetX,
                       float biteOffsetY, float biteOffsetZ, float biteWidth, float biteHeight);

    // Advances the state machine.
    void update(float dt) override;
    // Removes a bite area that is still out.
    void onRemoved() override;

    // The bite area of the current bite (empty when none was made yet).
    vorn::engine::EntityHandle biteEntity;
    float windupTime;
    float damage;
    float recoveryTime;
    // Where the bite area sits in the ant's local frame.
    glm::vec3 biteOffset;
    glm::vec2 biteSize;
    float timer = 0.0f;
    // A one-shot request to bite, cleared when the wind-up starts.
    bool trigger = false;
    int state = ready;

private:
    // Makes the bite area and enters the biting state.
    void bite();
    // Applies the bite to every player the area touched and removes it.
    void resolveBite();
    // Puts a bitten player back at his spawn point, at rest, with full energy.
    void sendHome(vorn::engine::EntityHandle victim) const;
    void recover(float dt);
};

} // namespace components
