#include "components/Health.hpp"

#include "components/Action.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"

namespace components {

Health::Health(float maximum, const std::string& hurtSoundName, float regenRate, float regenDelay,
               float unused)
    : regenRate(regenRate), maximum(maximum), current(maximum), regenDelay(regenDelay),
      hurtSoundName(hurtSoundName), hurtSound(hurtSoundName) {
    (void)unused;
    addName(componentName);
    updatePriority = 1001.0f;
}

void Health::update(float dt) {
    if (current <= 0.0f)
        vorn::components::invokeAction(handle(), "deathAction");
    if (current == maximum)
        return;
    if (regenDelay <= timeSinceDamage) {
        if (maximum > current)
            heal(regenRate * dt);
        if (current > maximum)
            current = maximum;
    } else {
        timeSinceDamage += dt;
    }
}

bool Health::heal(float fraction) {
    if (!(current > 0.0f && current <= maximum))
        return false;
    current += maximum * fraction;
    timeSinceDamage = 0.0f;
    return true;
}

bool Health::damage(float amount) {
    if (!(current > 0.0f))
        return false;
    if (vorn::engine::World* world = getWorld()) {
        const auto* transform = world->getComponentAs<vorn::components::Transform>(
            handle(), vorn::components::Transform::componentName);
        if (transform != nullptr)
            hurtSound.play(transform->position());
    }
    if (invulnerable)
        return true;
    current -= amount;
    if (current < 0.0f)
        current = 0.0f;
    timeSinceDamage = 0.0f;
    return true;
}

} // namespace components
