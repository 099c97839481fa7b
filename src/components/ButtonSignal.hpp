#pragma once

#include "engine/Component.hpp"

#include <SFML/Window/Event.hpp>
#include <boost/signals2/connection.hpp>
#include <boost/signals2/signal.hpp>

#include <functional>
#include <string>

namespace vorn::components {

// A clickable rectangle of a menu: any mouse-button press in its world whose window position
// falls strictly inside the rectangle (x, y, width, height) of the entity's local frame emits the
// signal. Window positions have y turned upward from the bottom of the 600-pixel-high window, so
// they meet the screen camera's coordinates. Answers "buttonSignal".
class ButtonSignal : public vorn::engine::Component {
public:
    inline static const std::string componentName = "buttonSignal";
    using Signal = boost::signals2::signal<void(ButtonSignal&)>;

    // The callback is connected to the signal; the rectangle is in the entity's local frame.
    ButtonSignal(const std::function<void(ButtonSignal&)>& callback, float x, float y, float width,
                 float height);

    // Listens to the mouse-button presses of the world it is active in (once, however often the
    // world is started).
    void onActivated() override;
    // Stops listening.
    void onRemoved() override;

    // The click handler: emits the signal when the press lies inside the rectangle.
    void onMouseButtonPressed(const sf::Event::MouseButtonEvent& event);

    Signal signal;
    float x;
    float y;
    float width;
    float height;

    // Height of the window in pixels, from which y is turned upward.
    static constexpr float windowHeight = 600.0f;

private:
    boost::signals2::scoped_connection clickConnection;
};

} // namespace vorn::components
