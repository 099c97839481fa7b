#pragma once

#include "engine/Component.hpp"

namespace game {

// A render system that only clears the picture to one colour: the whole first scene until the
// menu takes its place.
class ClearScreenRenderer : public vorn::engine::Component {
public:
    // The name the render pass walks.
    inline static const std::string componentName = vorn::engine::Component::renderPassName;

    ClearScreenRenderer(float red, float green, float blue);
    void render(float dt) override;

private:
    float red;
    float green;
    float blue;
};

} // namespace game
