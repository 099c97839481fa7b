#pragma once

#include "rendering/MeshPart.hpp"
#include "rendering/Renderable.hpp"

#include <memory>
#include <string>
#include <vector>

namespace vorn::rendering {
class ShaderProgram;
class Texture;
} // namespace vorn::rendering

namespace vorn::components {

// A drawable made of mesh parts (usually vorn::rendering::makeParts of an OBJ). Answers "model".
// Parts share materials and buffers with every other model of the same mesh until
// setShaderProgram or setTexture gives this model private copies of its materials.
class Model : public Renderable {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = "model";

    // Takes the parts (copies get vertex arrays of their own; materials and buffers stay shared).
    explicit Model(std::vector<vorn::rendering::MeshPart> parts, bool blending = false);

    // Draws every drawable part: material, then "MVP", "MV", "M" and "V". Parts without material,
    // program or buffer are skipped whole.
    void draw(vorn::rendering::RenderState& state, const glm::mat4& model,
              vorn::rendering::UniformSet& perDraw) override;

    // Gives every part this program, copying materials that are shared first.
    void setShaderProgram(const std::shared_ptr<vorn::rendering::ShaderProgram>& program);
    // Gives every part this texture under `samplerName`, copying shared materials first.
    void setTexture(const std::string& samplerName,
                    const std::shared_ptr<vorn::rendering::Texture>& texture);

    // Multiplies every part's diffuse colour by `factor`, copying shared materials first (scenery
    // is drawn darker and cooler than the pieces that can be stood on).
    void tint(const glm::vec3& factor);

    std::vector<vorn::rendering::MeshPart> parts;
};

} // namespace vorn::components
