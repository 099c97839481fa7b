#include "rendering/Model.hpp"

#include "rendering/Material.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/ShaderProgram.hpp"

namespace vorn::components {

using vorn::rendering::Material;
using vorn::rendering::MeshPart;

Model::Model(std::vector<MeshPart> parts, bool blending)
    : Renderable(blending), parts(std::move(parts)) {
    addName("model");
}

void Model::draw(vorn::rendering::RenderState& state, const glm::mat4& model,
                 vorn::rendering::UniformSet& perDraw) {
    state.setBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const glm::mat4 modelView = state.view * model;
    for (MeshPart& part : parts) {
        if (!part.drawable())
            continue;
        part.material->apply(state, &perDraw);
        vorn::rendering::ShaderProgram& program = *part.material->program;
        program.setUniform("MVP", state.projection * modelView);
        program.setUniform("MV", modelView);
        program.setUniform("M", model);
        program.setUniform("V", state.view);
        part.draw();
    }
}

void Model::makeMaterialPrivate(MeshPart& part) {
    if (part.material && part.material.use_count() != 1)
        part.material = std::make_shared<Material>(*part.material);
}

void Model::setShaderProgram(const std::shared_ptr<vorn::rendering::ShaderProgram>& program) {
    for (MeshPart& part : parts) {
        if (!part.material)
            continue;
        makeMaterialPrivate(part);
        part.material->setShaderProgram(program);
        part.attributesDirty = true;
    }
}

void Model::setTexture(const std::string& samplerName,
                       const std::shared_ptr<vorn::rendering::Texture>& texture) {
    for (MeshPart& part : parts) {
        if (!part.material)
            continue;
        makeMaterialPrivate(part);
        part.material->setTexture(samplerName, texture);
    }
}

} // namespace vorn::components
