#pragma once

#include "rendering/VertexAttribute.hpp"

#include <GL/glew.h>
#include <glm/vec3.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vorn::rendering {

class ShaderProgram;

// A GL buffer of vertex data with a named, planar layout: the whole block of the first attribute
// for all vertices, then the whole block of the second, and so on, each tightly packed. One
// attribute is therefore filled with a single glBufferSubData. It may carry a second GL buffer of
// indices, the triangles' corners, so that a vertex shared by several triangles is stored once.
class VertexBuffer {
public:
    // Creates the GL buffer object (no storage yet).
    explicit VertexBuffer(VertexLayout layout);
    VertexBuffer(const VertexBuffer&) = delete;
    VertexBuffer& operator=(const VertexBuffer&) = delete;
    ~VertexBuffer();

    // Creates storage for `count` vertices of the layout; the buffer must be bound to `target`.
    void allocate(int count, GLenum usage, GLenum target);
    // Fills every block named `name` from `data`, which must hold a whole block.
    void setAttributeData(const std::string& name, const void* data, GLenum target);
    // As above from a vector; fills no more than the vector holds.
    template <class T>
    void setAttributeData(const std::string& name, const std::vector<T>& data, GLenum target) {
        setAttributeData(name, data.data(), data.size() * sizeof(T), target);
    }
    // Stores the triangles' corners as indices into the vertices (16-bit when every index fits,
    // else 32-bit); draws then go through them. An empty list removes them.
    void setIndices(const std::vector<std::uint32_t>& indices);
    // Binds the index buffer, if any, to the bound vertex array object.
    void bindIndices() const;
    // Draws the vertices as triangles: through the indices when there are some, else in order.
    void drawTriangles() const;

    // Points the program's inputs at the blocks (the buffer must be bound to GL_ARRAY_BUFFER and
    // a vertex array object bound); names the program lacks are skipped.
    void bindAttributes(const ShaderProgram& program) const;
    // Disables the program's inputs of the layout's names.
    void unbindAttributes(const ShaderProgram& program) const;

    // Bytes of one value of a GL type (0 for an unknown type).
    static std::size_t typeSize(GLenum type);
    // Byte offset of the block of layout entry `index`.
    std::size_t blockOffset(std::size_t index) const;
    // Byte size of the block of layout entry `index`.
    std::size_t blockSize(std::size_t index) const;

    // The GL name of the buffer object, owned by this buffer for its whole life.
    GLuint id() const { return glId; }

    VertexLayout layout;
    int vertexCount = 0;
    // The number of indices given to setIndices (0: none; draws take the vertices in order).
    int indexCount = 0;
    // The box around the last whole block of three-float "pos" values given to
    // setAttributeData (for culling what lies outside the view); hasBounds is false before one.
    glm::vec3 boundsMin{0.0f};
    glm::vec3 boundsMax{0.0f};
    bool hasBounds = false;

private:
    GLuint glId = 0;
    GLuint indexId = 0;
    GLenum indexType = GL_UNSIGNED_INT;
    void setAttributeData(const std::string& name, const void* data, std::size_t bytes,
                          GLenum target);
};

} // namespace vorn::rendering
