#include "components/ButtonSignal.hpp"

#include "engine/Transform.hpp"
#include "engine/World.hpp"

#include <glm/mat4x4.hpp>
#include <glm/vec4.hpp>

namespace vorn::components {

ButtonSignal::ButtonSignal(const std::function<void(ButtonSignal&)>& callback, float x, float y,
                           float width, float height)
    : x(x), y(y), width(width), height(height) {
    addName(componentName);
    if (callback)
        signal.connect(callback);
}

void ButtonSignal::onActivated() {
    clickConnection.disconnect();
    if (getWorld() == nullptr)
        return;
    clickConnection = getWorld()->mouseButtonPressed.connect(
        [this](const sf::Event::MouseButtonEvent& event) { onMouseButtonPressed(event); });
}

void ButtonSignal::onRemoved() {
    clickConnection.disconnect();
}

void ButtonSignal::onMouseButtonPressed(const sf::Event::MouseButtonEvent& event) {
    if (getWorld() == nullptr)
        return;
    const auto* transform =
        getWorld()->getComponentAs<Transform>(handle(), Transform::componentName);
    if (transform == nullptr)
        return;
    const glm::vec4 window(static_cast<float>(event.x), windowHeight - static_cast<float>(event.y),
                           0.0f, 1.0f);
    const glm::vec4 p = glm::inverse(transform->matrix) * window;
    // Strict on every side: a press on the border belongs to no button.
    if (x < p.x && p.x < x + width && y < p.y && p.y < y + height)
        signal(*this);
}

} // namespace vorn::components
