#pragma once

#include "rendering/Model.hpp"

#include <memory>

namespace vorn::rendering {
class Texture;
}

namespace vorn::components {

// A textured unit quad in the z = 0 plane, facing +z, drawn with "shaders/flatShader.txt". Its
// size and placement come from the entity's transform. The texture's first image row is at the
// top of the quad. Centred, the quad spans -0.5 to 0.5; otherwise 0 to 1.
class Sprite : public Model {
public:
    Sprite(bool blending, std::shared_ptr<vorn::rendering::Texture> texture, float renderPriority,
           bool centred, bool cullFace);

    // As Renderable, and tags the entity "noCullFace" when the quad is seen from both sides.
    void initialize() override;

    bool cullFace;
};

} // namespace vorn::components
