#include "rendering/Model.hpp"

#include "rendering/Material.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/ShaderProgram.hpp"

namespace vorn::components {

using vorn::rendering::Material;
using vorn::rendering::MeshPart;

Model::Model(std::vector<MeshPart> parts, bool blending)
    : Renderable(blending), parts(std::move(parts)) {
    addName(componentName);
}

void Model::draw(vorn::rendering::RenderState& state, const glm::mat4& model,
                 vorn::rendering::UniformSet& perDraw) {
    state.setBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (MeshPart& part : parts) {
        if (!part.drawable())
            continue;
        part.applyMaterial(state, perDraw, model);
        part.draw();
    }
}

void Model::setShaderProgram(const std::shared_ptr<vorn::rendering::ShaderProgram>& program) {
    MeshPart::setShaderProgram(parts, program);
}

void Model::setTexture(const std::string& samplerName,
                       const std::shared_ptr<vorn::rendering::Texture>& texture) {
    MeshPart::setTexture(parts, samplerName, texture);
}

void Model::tint(const glm::vec3& factor) {
    MeshPart::tint(parts, factor);
}

} // namespace vorn::components
