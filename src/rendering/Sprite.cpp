#include "rendering/Sprite.hpp"

#include "engine/Label.hpp"
#include "engine/World.hpp"
#include "rendering/Material.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/Texture.hpp"
#include "rendering/VertexAttribute.hpp"
#include "rendering/VertexBuffer.hpp"

namespace vorn::components {

namespace {

// Two counter-clockwise triangles; v = 0 (the image's first row) at the top edge.
vorn::rendering::MeshPart makeQuad(const std::shared_ptr<vorn::rendering::Texture>& texture,
                                   bool centred) {
    using namespace vorn::rendering;
    auto material = std::make_shared<Material>();
    material->setShaderProgram(shaderProgramCache().get("shaders/flatShader.txt"));
    material->setTexture("diffuseTex", texture);

    const float lo = centred ? -0.5f : 0.0f;
    const float hi = centred ? 0.5f : 1.0f;
    const float pos[] = {lo, lo, 0, hi, hi, 0, lo, hi, 0, hi, hi, 0, lo, lo, 0, hi, lo, 0};
    const float normal[] = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
    const float uv[] = {0, 1, 1, 0, 0, 0, 1, 0, 0, 1, 1, 1};
    auto buffer = std::make_shared<VertexBuffer>(VertexLayouts::lit());
    glBindBuffer(GL_ARRAY_BUFFER, buffer->id());
    buffer->allocate(6, GL_STATIC_DRAW, GL_ARRAY_BUFFER);
    buffer->setAttributeData("pos", pos, GL_ARRAY_BUFFER);
    buffer->setAttributeData("normal", normal, GL_ARRAY_BUFFER);
    buffer->setAttributeData("UV", uv, GL_ARRAY_BUFFER);
    return MeshPart(material, buffer);
}

} // namespace

Sprite::Sprite(bool blending, std::shared_ptr<vorn::rendering::Texture> texture,
               float renderPriority, bool centred, bool cullFace)
    : Model({}, blending), cullFace(cullFace) {
    this->renderPriority = renderPriority;
    parts.push_back(makeQuad(texture, centred));
}

void Sprite::initialize() {
    Renderable::initialize();
    if (!cullFace && world)
        world->addComponent(handle(), new Label("noCullFace"));
}

} // namespace vorn::components
