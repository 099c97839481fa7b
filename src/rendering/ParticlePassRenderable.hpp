#pragma once

#include "rendering/Renderable.hpp"

namespace vorn::components {

// A renderable that the post-processing renderer can also draw in its two particle passes. The
// particle emitters derive from it; the renderer sees only this interface, so the rendering layer
// never depends on the particle layer.
class ParticlePassRenderable : public Renderable {
public:
    using Renderable::Renderable;

    // Draws the particles as textured quads into the solid-particle buffer (blend: source alpha,
    // one). `model` is the entity's transform; `perDraw` holds the camera's "V" and "P".
    virtual void drawSolidPass(vorn::rendering::RenderState& state, const glm::mat4& model,
                               vorn::rendering::UniformSet& perDraw) = 0;
    // Draws the particles as additive points into the particle buffer (blend: one, one), depth
    // tested against the scene's depth already in that buffer.
    virtual void drawPointPass(vorn::rendering::RenderState& state, const glm::mat4& model,
                               vorn::rendering::UniformSet& perDraw) = 0;
};

} // namespace vorn::components
