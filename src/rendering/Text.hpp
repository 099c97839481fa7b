#pragma once

#include "rendering/Renderable.hpp"
#include "rendering/VertexArray.hpp"

#include <GL/glew.h>
#include <glm/vec3.hpp>

#include <memory>
#include <string>

namespace vorn::rendering {
class ShaderProgram;
class Texture;
class VertexBuffer;
} // namespace vorn::rendering

namespace vorn::components {

// What a Text draws with: a tinting program, a 16 x 16 cell font atlas and the buffer that is
// refilled with the string's quads at every draw. Owned by one Text.
struct Font {
    std::shared_ptr<vorn::rendering::ShaderProgram> program;
    std::shared_ptr<vorn::rendering::Texture> texture;
    std::shared_ptr<vorn::rendering::VertexBuffer> vertexBuffer;
};

// One line of monospaced text from a bitmap font atlas of 256 cells in a 16 x 16 grid (character
// code k in column k mod 16, row k / 16 from the top of the image). Drawn in the blended pass;
// answers "renderable", "text" and "behavior". Owners change `text`, `color`, `opacity`, `x`, `y`,
// `ignoreDepth` and `faceCamera` directly; the quads are rebuilt at every draw.
class Text : public Renderable {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = "text";

    Text(std::shared_ptr<vorn::rendering::ShaderProgram> program,
         std::shared_ptr<vorn::rendering::Texture> texture, float x, float y, float z,
         std::string text, float size, float r, float g, float b);
    ~Text() override = default;

    // Draws the string: cells of `size` from (x, y) (lower left of the first cell), one every
    // `advance` x `size` along the model's x axis, tinted by `color`; turned towards the camera
    // with `faceCamera`, over everything with `ignoreDepth`. Codes 240 to 255 have no cell and
    // leave a gap.
    void draw(vorn::rendering::RenderState& state, const glm::mat4& model,
              vorn::rendering::UniformSet& perDraw) override;

    std::string text;
    Font font;
    float x;
    float y;
    float z; // kept for owners; the quads are always built at z = 0
    float size;
    // The step from one letter's cell to the next, as a fraction of `size`. The font's glyphs sit
    // centred in square cells and most fill under half of one, so whole cells read as widely
    // spaced letters; the in-world hints step by less.
    float advance = 1.0f;
    glm::vec3 color;
    // How much of the letters shows, 0 (none) to 1 (all): their alpha is scaled by it, for lines
    // that fade in and out.
    float opacity = 1.0f;
    bool ignoreDepth = false;
    bool faceCamera = false;

private:
    void drawString(vorn::rendering::RenderState& state, const glm::mat4& model,
                    vorn::rendering::UniformSet& perDraw);

    // The font buffer's attribute bindings live in this vertex array (core profiles draw nothing
    // without one).
    vorn::rendering::VertexArray vertexArray;
};

} // namespace vorn::components
