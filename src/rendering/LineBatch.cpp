#include "rendering/LineBatch.hpp"

#include "rendering/RenderState.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/ShaderProgram.hpp"

#include <cstddef>

namespace vorn::rendering {

LineBatch::LineBatch() : program(shaderProgramCache().get("shaders/debugLineShader.txt")) {
    glGenBuffers(1, &vbo);
}

LineBatch::~LineBatch() {
    if (vbo)
        glDeleteBuffers(1, &vbo);
}

void LineBatch::add(const glm::vec3& a, const glm::vec3& b, const glm::vec3& colour) {
    vertices.push_back({a, colour});
    vertices.push_back({b, colour});
}

void LineBatch::addLoop(const std::vector<glm::vec3>& points, const glm::vec3& colour) {
    if (points.size() < 2)
        return;
    for (size_t i = 0; i < points.size(); ++i)
        add(points[i], points[(i + 1) % points.size()], colour);
}

void LineBatch::draw(RenderState& state, const glm::mat4& viewProjection) {
    if (vertices.empty() || !program || program->id() == 0)
        return;
    state.useProgram(program.get());
    program->setUniform("MVP", viewProjection);
    state.disableCap(GL_DEPTH_TEST);
    state.disableCap(GL_BLEND);

    vertexArray.bind();
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)),
                 vertices.data(), GL_STREAM_DRAW);
    const GLint position = glGetAttribLocation(program->id(), "pos");
    const GLint colour = glGetAttribLocation(program->id(), "lineColour");
    if (position >= 0) {
        glEnableVertexAttribArray(static_cast<GLuint>(position));
        glVertexAttribPointer(static_cast<GLuint>(position), 3, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                              reinterpret_cast<const void*>(offsetof(Vertex, position)));
    }
    if (colour >= 0) {
        glEnableVertexAttribArray(static_cast<GLuint>(colour));
        glVertexAttribPointer(static_cast<GLuint>(colour), 3, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                              reinterpret_cast<const void*>(offsetof(Vertex, colour)));
    }
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(vertices.size()));
    VertexArray::unbind();
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    state.enableCap(GL_BLEND);
}

} // namespace vorn::rendering
