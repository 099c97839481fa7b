#include "rendering/RenderState.hpp"

#include "rendering/FullScreenQuad.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/Texture.hpp"

#include <SFML/Window/Window.hpp>

#include <algorithm>
#include <cassert>

namespace vorn::rendering {

Texture* RenderState::unitZeroMarker() {
    static char marker;
    return reinterpret_cast<Texture*>(&marker);
}

RenderState::RenderState(sf::Window* window) : window(window) {
    GLint units = 0;
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units);
    maxTextureUnits = units > 0 ? units : 1;
    boundTextures.assign(static_cast<size_t>(maxTextureUnits), nullptr);
    boundTextures[0] = unitZeroMarker();
}

RenderState::~RenderState() {
    // The quad's objects go first, in this state's context; the tables below only detach.
    quadObjects.reset();
    for (Texture* texture : registeredTextures)
        texture->detachRenderState();
    for (ShaderProgram* program : registeredPrograms)
        program->detachRenderState();
}

FullScreenQuadObjects& RenderState::fullScreenQuad() {
    if (!quadObjects)
        quadObjects = std::make_unique<FullScreenQuadObjects>();
    return *quadObjects;
}

void RenderState::enableCap(GLenum cap) {
    const auto found = capabilities.find(cap);
    if (found != capabilities.end() && found->second)
        return;
    glEnable(cap);
    capabilities[cap] = true;
}

void RenderState::disableCap(GLenum cap) {
    const auto found = capabilities.find(cap);
    if (found != capabilities.end() && !found->second)
        return;
    glDisable(cap);
    capabilities[cap] = false;
}

void RenderState::setBlendFunc(GLenum src, GLenum dst) {
    if (src == blendSrc && dst == blendDst)
        return;
    glBlendFunc(src, dst);
    blendSrc = src;
    blendDst = dst;
}

void RenderState::registerTexture(Texture* texture) {
    assert(texture && texture != unitZeroMarker());
    if (std::find(registeredTextures.begin(), registeredTextures.end(), texture) ==
        registeredTextures.end())
        registeredTextures.push_back(texture);
}

void RenderState::forgetTexture(Texture* texture) {
    assert(texture != unitZeroMarker() && "unit 0's marker is never a texture");
    for (size_t unit = 1; unit < boundTextures.size(); ++unit)
        if (boundTextures[unit] == texture)
            boundTextures[unit] = nullptr;
    registeredTextures.erase(
        std::remove(registeredTextures.begin(), registeredTextures.end(), texture),
        registeredTextures.end());
}

void RenderState::useProgram(ShaderProgram* program) {
    if (program == currentProgram)
        return;
    glUseProgram(program ? program->id() : 0);
    currentProgram = program;
    if (program && program->state != this) {
        if (program->state)
            program->state->forgetProgram(program);
        program->state = this;
        registeredPrograms.push_back(program);
    }
}

void RenderState::forgetProgram(ShaderProgram* program) {
    if (currentProgram == program)
        currentProgram = nullptr;
    registeredPrograms.erase(
        std::remove(registeredPrograms.begin(), registeredPrograms.end(), program),
        registeredPrograms.end());
}

bool RenderState::pollEvent(sf::Event& event) {
    return window && window->pollEvent(event);
}

void RenderState::display() {
    if (window)
        window->display();
}

void RenderState::setViewport(unsigned width, unsigned height) {
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
}

void RenderState::prepareDefaultState() {
    glDepthFunc(GL_LESS);
    enableCap(GL_CULL_FACE);
    enableCap(GL_DEPTH_TEST);
}

} // namespace vorn::rendering
