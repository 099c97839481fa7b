#include "rendering/MeshPart.hpp"

#include "rendering/Material.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/VertexBuffer.hpp"

#include <cassert>
#include <utility>

namespace vorn::rendering {

MeshPart::MeshPart() = default;

MeshPart::MeshPart(std::shared_ptr<Material> material, std::shared_ptr<VertexBuffer> buffer)
    : material(std::move(material)), vertexBuffer(std::move(buffer)) {}

MeshPart::MeshPart(const MeshPart& other)
    : material(other.material), vertexBuffer(other.vertexBuffer) {}

MeshPart& MeshPart::operator=(const MeshPart& other) {
    if (this != &other) {
        material = other.material;
        vertexBuffer = other.vertexBuffer;
        attributesDirty = true;
    }
    return *this;
}

bool MeshPart::drawable() const {
    return material && material->program && vertexBuffer;
}

void MeshPart::draw() {
    if (!drawable() || !vertexArray.id())
        return;
    const ShaderProgram* program = material->program.get();
    vertexArray.bind();
    if (attributesDirty || program != boundProgram || vertexBuffer.get() != boundBuffer) {
        // Start from a clean vertex array, so no input of the previous program stays enabled.
        if (boundProgram)
            vertexArray.reset();
        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer->id());
        vertexBuffer->bindAttributes(*program);
        vertexBuffer->bindIndices();
        attributesDirty = false;
        boundProgram = program;
        boundBuffer = vertexBuffer.get();
    }
    vertexBuffer->drawTriangles();
    VertexArray::unbind();
}

ShaderProgram& MeshPart::applyMaterial(RenderState& state, UniformSet& perDraw,
                                       const glm::mat4& model) {
    assert(drawable() && "only drawable parts apply their material");
    material->apply(state, &perDraw);
    ShaderProgram& program = *material->program;
    const glm::mat4 modelView = state.view * model;
    program.setUniform("MVP", state.projection * modelView);
    program.setUniform("MV", modelView);
    program.setUniform("M", model);
    program.setUniform("V", state.view);
    return program;
}

namespace {
// Replaces a material that someone else also holds with a private copy.
void makeMaterialPrivate(MeshPart& part) {
    if (part.material && part.material.use_count() != 1)
        part.material = std::make_shared<Material>(*part.material);
}
} // namespace

void MeshPart::setShaderProgram(std::vector<MeshPart>& parts,
                                const std::shared_ptr<ShaderProgram>& program) {
    for (MeshPart& part : parts) {
        if (!part.material)
            continue;
        makeMaterialPrivate(part);
        part.material->setShaderProgram(program);
        part.attributesDirty = true;
    }
}

void MeshPart::setTexture(std::vector<MeshPart>& parts, const std::string& samplerName,
                          const std::shared_ptr<Texture>& texture) {
    for (MeshPart& part : parts) {
        if (!part.material)
            continue;
        makeMaterialPrivate(part);
        part.material->setTexture(samplerName, texture);
    }
}

void MeshPart::tint(std::vector<MeshPart>& parts, const glm::vec3& factor) {
    for (MeshPart& part : parts) {
        if (!part.material)
            continue;
        makeMaterialPrivate(part);
        const UniformValue* diffuse = part.material->uniforms.find("mat_diffuse");
        const glm::vec3* colour = diffuse ? diffuse->getIf<glm::vec3>() : nullptr;
        part.material->setUniform("mat_diffuse", colour ? *colour * factor : factor);
    }
}

} // namespace vorn::rendering
