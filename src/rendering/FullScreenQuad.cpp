#include "rendering/FullScreenQuad.hpp"

#include "rendering/RenderState.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/VertexAttribute.hpp"

#include <cassert>

namespace vorn::rendering {

FullScreenQuadObjects::FullScreenQuadObjects() : buffer(VertexLayouts::quad()) {
    vertexArray.bind();
    glBindBuffer(GL_ARRAY_BUFFER, buffer.id());
    buffer.allocate(6, GL_STATIC_DRAW, GL_ARRAY_BUFFER);
    const float pos[] = {-1, -1, 0, 1, -1, 0, -1, 1, 0, -1, 1, 0, 1, -1, 0, 1, 1, 0};
    const float uv[] = {0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1};
    buffer.setAttributeData("pos", pos, GL_ARRAY_BUFFER);
    buffer.setAttributeData("UV", uv, GL_ARRAY_BUFFER);
    VertexArray::unbind();
}

void drawFullScreenQuad(RenderState& state) {
    if (!state.currentProgram)
        return;
    FullScreenQuadObjects& quad = state.fullScreenQuad();
    assert(quad.buffer.vertexCount == 6);
    quad.vertexArray.bind();
    glBindBuffer(GL_ARRAY_BUFFER, quad.buffer.id());
    quad.buffer.bindAttributes(*state.currentProgram);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    quad.buffer.unbindAttributes(*state.currentProgram);
    VertexArray::unbind();
}

} // namespace vorn::rendering
