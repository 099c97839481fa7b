#include "rendering/MeshPart.hpp"

#include "rendering/Material.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/VertexBuffer.hpp"

#include <utility>

namespace vorn::rendering {

MeshPart::MeshPart() {
    glGenVertexArrays(1, &vao);
}

MeshPart::MeshPart(std::shared_ptr<Material> material, std::shared_ptr<VertexBuffer> buffer)
    : material(std::move(material)), vertexBuffer(std::move(buffer)) {
    glGenVertexArrays(1, &vao);
}

MeshPart::MeshPart(const MeshPart& other)
    : material(other.material), vertexBuffer(other.vertexBuffer) {
    glGenVertexArrays(1, &vao);
}

MeshPart::MeshPart(MeshPart&& other) noexcept
    : vao(std::exchange(other.vao, 0)), attributesDirty(other.attributesDirty),
      material(std::move(other.material)), vertexBuffer(std::move(other.vertexBuffer)),
      boundProgram(other.boundProgram), boundBuffer(other.boundBuffer) {}

MeshPart& MeshPart::operator=(const MeshPart& other) {
    if (this != &other) {
        material = other.material;
        vertexBuffer = other.vertexBuffer;
        attributesDirty = true;
    }
    return *this;
}

MeshPart& MeshPart::operator=(MeshPart&& other) noexcept {
    if (this != &other) {
        if (vao)
            glDeleteVertexArrays(1, &vao);
        vao = std::exchange(other.vao, 0);
        attributesDirty = other.attributesDirty;
        material = std::move(other.material);
        vertexBuffer = std::move(other.vertexBuffer);
        boundProgram = other.boundProgram;
        boundBuffer = other.boundBuffer;
    }
    return *this;
}

MeshPart::~MeshPart() {
    if (vao)
        glDeleteVertexArrays(1, &vao);
}

bool MeshPart::drawable() const {
    return material && material->program && vertexBuffer;
}

void MeshPart::draw() {
    if (!drawable() || !vao)
        return;
    const ShaderProgram* program = material->program.get();
    glBindVertexArray(vao);
    if (attributesDirty || program != boundProgram || vertexBuffer.get() != boundBuffer) {
        if (boundProgram) {
            // Start from a clean vertex array, so no input of the previous program stays enabled.
            glBindVertexArray(0);
            glDeleteVertexArrays(1, &vao);
            glGenVertexArrays(1, &vao);
            glBindVertexArray(vao);
        }
        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer->id);
        vertexBuffer->bindAttributes(*program);
        attributesDirty = false;
        boundProgram = program;
        boundBuffer = vertexBuffer.get();
    }
    glDrawArrays(GL_TRIANGLES, 0, vertexBuffer->vertexCount);
    glBindVertexArray(0);
}

ShaderProgram& MeshPart::applyMaterial(RenderState& state, UniformSet& perDraw,
                                       const glm::mat4& model) {
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

} // namespace vorn::rendering
