#pragma once

#include <SFML/Window/Event.hpp>

namespace vorn::engine {

// What the main loop needs of the window and the drawing state. The rendering layer's render
// state implements it over the real window; tests implement it without any window.
class GraphicsContext {
public:
    virtual ~GraphicsContext() = default;
    // Takes the next pending window event; false when there is none.
    virtual bool pollEvent(sf::Event& event) = 0;
    // Shows the frame that was drawn (swaps buffers).
    virtual void display() = 0;
    // Sets the drawing viewport to the window's new size.
    virtual void setViewport(unsigned width, unsigned height) = 0;
    // Sets the state every scene starts from: depth test with GL_LESS, face culling on.
    virtual void prepareDefaultState() = 0;
};

} // namespace vorn::engine
