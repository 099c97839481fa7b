#pragma once

#include "rendering/VertexArray.hpp"

#include <GL/glew.h>
#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <memory>
#include <vector>

namespace vorn::rendering {

class RenderState;
class ShaderProgram;

// Coloured line segments gathered during a frame and drawn in one call with the overlay line
// program ("shaders/debugLineShader.txt"). Owns its vertex array and buffer; the program comes
// from the program cache. Meant for tools, not for the game's own picture: no lighting, no
// depth test, one pixel wide.
class LineBatch {
public:
    LineBatch();
    LineBatch(const LineBatch&) = delete;
    LineBatch& operator=(const LineBatch&) = delete;
    ~LineBatch();

    // Adds the segment from `a` to `b` in `colour`.
    void add(const glm::vec3& a, const glm::vec3& b, const glm::vec3& colour);
    // Adds the closed outline through `points` (the last joined back to the first).
    void addLoop(const std::vector<glm::vec3>& points, const glm::vec3& colour);
    // Forgets the segments gathered so far.
    void clear() { vertices.clear(); }
    // Segments gathered so far.
    size_t segmentCount() const { return vertices.size() / 2; }

    // Draws every gathered segment through `viewProjection`, over whatever is in the picture.
    // Leaves the depth test off and no vertex array bound.
    void draw(RenderState& state, const glm::mat4& viewProjection);

private:
    struct Vertex {
        glm::vec3 position;
        glm::vec3 colour;
    };
    std::vector<Vertex> vertices;
    std::shared_ptr<ShaderProgram> program;
    VertexArray vertexArray;
    GLuint vbo = 0;
};

} // namespace vorn::rendering
