#include "audio/SoundListener.hpp"

#include "engine/Transform.hpp"
#include "engine/VelocitySource.hpp"
#include "engine/World.hpp"

namespace vorn::components {

SoundListener::SoundListener(const glm::vec3& up, const glm::vec3& forward,
                             vorn::audio::SoundManager& manager)
    : manager(manager) {
    addName(componentName);
    manager.setListenerPosition(glm::vec3(0.0f, 0.0f, -500.0f));
    manager.setListenerVelocity(glm::vec3(0.0f));
    manager.setListenerUp(up);
    manager.setListenerForward(forward);
}

void SoundListener::update(float /*dt*/) {
    if (getWorld() == nullptr) {
        return;
    }
    const auto* transform =
        getWorld()->getComponentAs<Transform>(handle(), Transform::componentName);
    if (transform == nullptr) {
        return;
    }
    manager.setListenerPosition(transform->position());
    // The physics body is reached through its velocity interface: this layer sits below physics.
    const auto* body = dynamic_cast<const vorn::engine::VelocitySource*>(
        getWorld()->getComponent(handle(), vorn::engine::VelocitySource::componentName));
    if (body != nullptr) {
        manager.setListenerVelocity(body->currentVelocity());
    }
}

} // namespace vorn::components
