#include "rendering/FullScreenQuad.hpp"

#include "rendering/RenderState.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/VertexAttribute.hpp"
#include "rendering/VertexBuffer.hpp"

#include <memory>

namespace vorn::rendering {

namespace {

struct Quad {
    GLuint vao = 0;
    std::unique_ptr<VertexBuffer> buffer;

    Quad() {
        glGenVertexArrays(1, &vao);
        glBindVertexArray(vao);
        buffer = std::make_unique<VertexBuffer>(VertexLayouts::quad());
        glBindBuffer(GL_ARRAY_BUFFER, buffer->id);
        buffer->allocate(6, GL_STATIC_DRAW, GL_ARRAY_BUFFER);
        const float pos[] = {-1, -1, 0, 1, -1, 0, -1, 1, 0, -1, 1, 0, 1, -1, 0, 1, 1, 0};
        const float uv[] = {0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1};
        buffer->setAttributeData("pos", pos, GL_ARRAY_BUFFER);
        buffer->setAttributeData("UV", uv, GL_ARRAY_BUFFER);
    }
    Quad(const Quad&) = delete;
    Quad& operator=(const Quad&) = delete;
    ~Quad() { glDeleteVertexArrays(1, &vao); }
};

} // namespace

void drawFullScreenQuad(RenderState& state) {
    if (!state.currentProgram)
        return;
    static Quad quad;
    glBindVertexArray(quad.vao);
    glBindBuffer(GL_ARRAY_BUFFER, quad.buffer->id);
    quad.buffer->bindAttributes(*state.currentProgram);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    quad.buffer->unbindAttributes(*state.currentProgram);
    glBindVertexArray(0);
}

} // namespace vorn::rendering
