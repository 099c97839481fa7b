#include "rendering/Text.hpp"

#include "rendering/Material.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/Texture.hpp"
#include "rendering/VertexAttribute.hpp"
#include "rendering/VertexBuffer.hpp"

#include <glm/geometric.hpp>
#include <glm/mat4x4.hpp>

#include <vector>

namespace vorn::components {

Text::Text(std::shared_ptr<vorn::rendering::ShaderProgram> program,
           std::shared_ptr<vorn::rendering::Texture> texture, float x, float y, float z,
           std::string text, float size, float r, float g, float b)
    : Renderable(true), text(std::move(text)), x(x), y(y), z(z), size(size), color(r, g, b) {
    font.program = std::move(program);
    font.texture = std::move(texture);
    font.vertexBuffer =
        std::make_shared<vorn::rendering::VertexBuffer>(vorn::rendering::VertexLayouts::quad());
    addName(componentName);
    addName(updatePassName);
}

void Text::draw(vorn::rendering::RenderState& state, const glm::mat4& model,
                vorn::rendering::UniformSet& perDraw) {
    state.setBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glm::mat4 m = model;
    if (faceCamera) {
        // Turn the text towards the camera, keeping world y as its up direction; the model's own
        // rotation and scale are not used.
        const glm::vec3 camera = glm::vec3(glm::inverse(state.view)[3]);
        const glm::vec3 p = glm::vec3(model[3]);
        const glm::vec3 toCamera = camera - p;
        if (glm::dot(toCamera, toCamera) > 0.0f) {
            const glm::vec3 zAxis = glm::normalize(toCamera);
            const glm::vec3 xAxis = glm::cross(glm::vec3(0.0f, 1.0f, 0.0f), zAxis);
            const glm::vec3 yAxis = glm::cross(zAxis, xAxis);
            m = glm::mat4(glm::vec4(xAxis, 0.0f), glm::vec4(yAxis, 0.0f), glm::vec4(zAxis, 0.0f),
                          glm::vec4(p, 1.0f));
        }
    }
    if (ignoreDepth) {
        state.disableCap(GL_DEPTH_TEST);
        drawString(state, m, perDraw);
        state.enableCap(GL_DEPTH_TEST);
    } else {
        drawString(state, m, perDraw);
    }
}

void Text::drawString(vorn::rendering::RenderState& state, const glm::mat4& m,
                      vorn::rendering::UniformSet& perDraw) {
    if (!font.program || text.empty())
        return;
    vorn::rendering::ShaderProgram& program = *font.program;
    if (state.currentProgram != &program) {
        state.useProgram(&program);
        program.upload(perDraw);
    } else if (perDraw.dirty) {
        program.upload(perDraw);
    }
    // A material's values stay in its program after it has drawn; letters drawn with the same
    // program (the pick-up labels share the flat pictures' one) must not inherit them, a picture's
    // transparency say. The material uploads them again when it next draws.
    if (program.lastMaterial) {
        program.restoreDefaults(program.lastMaterial->uniforms);
        program.lastMaterial = nullptr;
        state.currentMaterial = nullptr;
    }
    program.setUniform("color", color);
    program.setUniform("opacity", opacity);
    if (font.texture)
        program.bindTexture(state, *font.texture, "diffuseTex");
    program.setUniform("MVP", state.projection * state.view * m);
    program.setUniform("M", m);
    program.setUniform("V", state.view);

    std::vector<glm::vec3> pos;
    std::vector<glm::vec2> uv;
    pos.reserve(text.size() * 6);
    uv.reserve(text.size() * 6);
    const float cell = 1.0f / 16.0f;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned code = static_cast<unsigned char>(text[i]);
        if (code >= 240)
            continue; // the atlas has no cell for it
        const float left = x + size * advance * static_cast<float>(i);
        const float right = left + size;
        const float bottom = y;
        const float top = y + size;
        const float u0 = static_cast<float>(code % 16) * cell;
        const float u1 = u0 + cell;
        const float vTop = static_cast<float>(code / 16) * cell;
        const float vBottom = vTop + cell;
        pos.insert(pos.end(), {{left, top, 0.0f},
                               {left, bottom, 0.0f},
                               {right, top, 0.0f},
                               {right, bottom, 0.0f},
                               {right, top, 0.0f},
                               {left, bottom, 0.0f}});
        uv.insert(
            uv.end(),
            {{u0, vTop}, {u0, vBottom}, {u1, vTop}, {u1, vBottom}, {u1, vTop}, {u0, vBottom}});
    }
    if (pos.empty())
        return;

    vorn::rendering::VertexBuffer& buffer = *font.vertexBuffer;
    vertexArray.bind();
    glBindBuffer(GL_ARRAY_BUFFER, buffer.id());
    buffer.allocate(static_cast<int>(pos.size()), GL_DYNAMIC_DRAW, GL_ARRAY_BUFFER);
    buffer.setAttributeData("pos", pos, GL_ARRAY_BUFFER);
    buffer.setAttributeData("UV", uv, GL_ARRAY_BUFFER);
    buffer.bindAttributes(program);
    glDrawArrays(GL_TRIANGLES, 0, buffer.vertexCount);
    buffer.unbindAttributes(program);
    vorn::rendering::VertexArray::unbind();
}

} // namespace vorn::components
