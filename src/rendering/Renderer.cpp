#include "rendering/Renderer.hpp"

#include "engine/Application.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "rendering/Camera.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/Renderable.hpp"

namespace vorn::systems {

using vorn::components::Renderable;
using vorn::components::Transform;

Renderer::Renderer(std::set<std::string> spaces, float renderPriority, GLbitfield clearMask,
                   vorn::rendering::UniformSet perDraw)
    : perDraw(std::move(perDraw)), spaces(std::move(spaces)), clearMask(clearMask) {
    this->renderPriority = renderPriority;
    addName("renderer");
}

Renderer::Renderer(const std::string& space, float renderPriority, GLbitfield clearMask,
                   vorn::rendering::UniformSet perDraw)
    : Renderer(std::set<std::string>{space}, renderPriority, clearMask, std::move(perDraw)) {}

Renderer::~Renderer() = default;

void Renderer::initialize() {
    std::set<std::string> opaqueNames = spaces;
    opaqueNames.insert({"renderable", "noblending", "transform"});
    opaque = &world->getEntities(opaqueNames);
    std::set<std::string> cameraNames = spaces;
    cameraNames.insert({"camera", "transform"});
    cameras = &world->getEntities(cameraNames);
    renderables = std::make_unique<RenderOrder>(*world, "renderable");
}

bool Renderer::refreshState() {
    vorn::engine::Application* app = world ? world->application() : nullptr;
    state = app ? dynamic_cast<vorn::rendering::RenderState*>(app->renderState()) : nullptr;
    return state != nullptr && renderables != nullptr;
}

void Renderer::applyCamera() {
    state->view = glm::mat4(1.0f);
    state->projection = glm::mat4(1.0f);
    if (!cameras->empty()) {
        const vorn::engine::EntityHandle camera = cameras->front();
        const auto* transform = world->getComponentAs<Transform>(camera, "transform");
        const auto* lens = world->getComponentAs<vorn::components::Camera>(camera, "camera");
        if (transform) {
            perDraw.set("eyePos", glm::vec3(transform->matrix[3]));
            state->view = glm::inverse(transform->matrix);
        }
        if (lens)
            state->projection = lens->projection;
    }
    state->enableCap(GL_DEPTH_TEST);
}

void Renderer::setCulling(const vorn::engine::EntityHandle& entity) {
    if (world->getComponent(entity, "noCullFace"))
        state->disableCap(GL_CULL_FACE);
    else
        state->enableCap(GL_CULL_FACE);
}

// An entity may carry several renderables; the opaque pass draws those that do not blend, the
// blended pass those that do, so a blended text on an opaque model's entity is drawn once, in
// the right pass.
void Renderer::drawOpaquePass() {
    state->disableCap(GL_BLEND);
    glDepthMask(GL_TRUE);
    for (const vorn::engine::EntityHandle& entity : *opaque) {
        const auto* transform = world->getComponentAs<Transform>(entity, "transform");
        if (!transform || !drawnInScenePasses(entity))
            continue;
        setCulling(entity);
        for (vorn::engine::Component* component : world->getComponents(entity, "renderable")) {
            auto* renderable = dynamic_cast<Renderable*>(component);
            if (renderable && !renderable->blending)
                renderable->draw(*state, transform->matrix, perDraw);
        }
    }
    state->enableCap(GL_CULL_FACE);
}

bool Renderer::drawnInScenePasses(const vorn::engine::EntityHandle&) const {
    return true;
}

void Renderer::drawBlendedPass() {
    state->enableCap(GL_BLEND);
    glDepthMask(GL_FALSE);
    renderables->forEach([this](vorn::engine::Component* component) {
        const vorn::engine::EntityHandle entity = component->handle();
        if (!world->getComponent(entity, "blending"))
            return;
        for (const std::string& space : spaces)
            if (!world->getComponent(entity, space))
                return;
        auto* renderable = dynamic_cast<Renderable*>(component);
        if (!renderable || !renderable->blending)
            return;
        const auto* transform = world->getComponentAs<Transform>(entity, "transform");
        if (!transform || !drawnInScenePasses(entity))
            return;
        setCulling(entity);
        renderable->draw(*state, transform->matrix, perDraw);
    });
    state->enableCap(GL_CULL_FACE);
    glDepthMask(GL_TRUE);
}

void Renderer::render(float) {
    if (!refreshState())
        return;
    applyCamera();
    glClear(clearMask);
    drawOpaquePass();
    drawBlendedPass();
    state->enableCap(GL_BLEND);
    state->disableCap(GL_DEPTH_TEST);
}

} // namespace vorn::systems
