#pragma once

#include "components/SoundCue.hpp"
#include "engine/Behavior.hpp"
#include "engine/EntityHandle.hpp"

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <string>

namespace components {

// The ninja's punch. Ready (3) -> X or K -> wind-up (0) -> after `windupTime` the strike creates a
// short-lived punch entity that flies forward and hurts the first `targetTag` entity it touches ->
// recovery (2) -> after `recoveryTime` ready again. Nothing happens while the entity is "dead".
// Answers "attack"; update priority 0.
class Attack : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "attack";
    enum State { WindUp = 0, Recovery = 2, Ready = 3 };

    Attack(const std::string& targetTag, float damage, float windupTime, float punchSpeed,
           float punchLifetime, float recoveryTime, float punchOffsetX, float punchOffsetY,
           float punchOffsetZ, float punchWidth, float punchHeight);
    // Advances the state machine; reports an unknown state.
    void update(float dt) override;

    std::string targetTag;
    // The last punch created (id 0 before the first).
    vorn::engine::EntityHandle punchEntity;
    float damage;
    float punchLifetime;
    float punchSpeed;
    float recoveryTime;
    float windupTime;
    glm::vec3 punchOffset;
    glm::vec2 punchSize;
    float timer = 0.0f;
    int state = Ready;

private:
    // Plays the swing and the punch animation when X or K is down.
    void startSwing();
    // Creates the punch entity and enters recovery.
    void strike();

    SoundCue swingSound{"swing"};
};

} // namespace components
