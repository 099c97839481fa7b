#pragma once

#include "engine/Component.hpp"

#include <glm/mat4x4.hpp>

namespace vorn::rendering {
class RenderState;
class UniformSet;
} // namespace vorn::rendering

namespace vorn::components {

// Base of everything a Renderer draws. Answers "renderable"; when it first becomes live it tags its
// entity "blending" or "noblending", which puts the entity in the renderer's blended or opaque
// pass.
class Renderable : public vorn::engine::Component {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = "renderable";

    // `blending`: drawn in the blended pass (alpha blending, no depth writes) instead of the
    // opaque one.
    explicit Renderable(bool blending);

    // Adds Label("blending") or Label("noblending") to the entity.
    void initialize() override;
    // Draws with `model` (the entity's transform matrix) and the renderer's per-draw uniforms.
    virtual void draw(vorn::rendering::RenderState& state, const glm::mat4& model,
                      vorn::rendering::UniformSet& perDraw) = 0;

    bool blending;
};

} // namespace vorn::components
