#pragma once

#include "engine/Component.hpp"
#include "engine/SortedComponentCollection.hpp"
#include "rendering/UniformSet.hpp"

#include <GL/glew.h>

#include <memory>
#include <set>
#include <string>

namespace vorn::engine {
class EntityCollection;
}
namespace vorn::rendering {
class RenderState;
}

namespace vorn::systems {

// A render system: each frame it sets the camera of its spaces, clears, and draws the renderables
// of its spaces, opaque ones first (in entity order), then blended ones in render-priority order.
// Spaces are label names ("gameSpace", "hudSpace"); an entity is drawn when it carries all of
// them. Answers "renderer".
//
// State left behind by render(): blending on, depth test off, face culling on, depth writes on,
// so later systems of the frame start from the same place.
class Renderer : public vorn::engine::Component {
public:
    using RenderOrder =
        vorn::engine::SortedComponentCollection<vorn::engine::Component::CompareByRenderPriority>;

    Renderer(std::set<std::string> spaces, float renderPriority, GLbitfield clearMask,
             vorn::rendering::UniformSet perDraw);
    Renderer(const std::string& space, float renderPriority, GLbitfield clearMask,
             vorn::rendering::UniformSet perDraw);
    ~Renderer() override;

    // Builds the live collections of cameras, opaque entities and renderables.
    void initialize() override;
    // One frame: camera, clear, opaque pass, blended pass.
    void render(float dt) override;

    vorn::rendering::RenderState* state = nullptr;
    vorn::engine::EntityCollection* opaque = nullptr;
    vorn::engine::EntityCollection* cameras = nullptr;
    std::unique_ptr<RenderOrder> renderables;
    vorn::rendering::UniformSet perDraw;
    std::set<std::string> spaces;
    GLbitfield clearMask;

protected:
    // The steps of render(), for renderers that draw into their own buffers.

    // Takes the render state from the world's application; false when there is none.
    bool refreshState();
    // Sets view, projection and "eyePos" from the first camera of the spaces (identity when there
    // is none) and turns the depth test on.
    void applyCamera();
    // Draws the opaque renderables with depth writes on and blending off.
    void drawOpaquePass();
    // Draws the blended renderables in render-priority order with depth writes off, blending on.
    void drawBlendedPass();
    // Whether the opaque and blended passes draw `entity`; renderers that draw some entities in
    // passes of their own leave those out here.
    virtual bool drawnInScenePasses(const vorn::engine::EntityHandle& entity) const;

private:
    // Face culling off for entities tagged "noCullFace", on otherwise.
    void setCulling(const vorn::engine::EntityHandle& entity);
};

} // namespace vorn::systems
