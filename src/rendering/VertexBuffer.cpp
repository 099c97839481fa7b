#include "rendering/VertexBuffer.hpp"

#include "rendering/ShaderProgram.hpp"

#include <algorithm>

#include <glm/common.hpp>
#include <limits>

namespace vorn::rendering {

VertexBuffer::VertexBuffer(VertexLayout layout) : layout(std::move(layout)) {
    glGenBuffers(1, &glId);
}

VertexBuffer::~VertexBuffer() {
    glDeleteBuffers(1, &glId);
    if (indexId)
        glDeleteBuffers(1, &indexId);
}

void VertexBuffer::setIndices(const std::vector<std::uint32_t>& indices) {
    indexCount = static_cast<int>(indices.size());
    if (indices.empty()) {
        if (indexId)
            glDeleteBuffers(1, &indexId);
        indexId = 0;
        return;
    }
    if (!indexId)
        glGenBuffers(1, &indexId);
    // Filled through the array-buffer target: the element target's binding belongs to whichever
    // vertex array object is bound, which must not be changed here. The previous array-buffer
    // binding is restored.
    GLint previous = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &previous);
    glBindBuffer(GL_ARRAY_BUFFER, indexId);
    const bool small = *std::max_element(indices.begin(), indices.end()) <= 0xFFFFu;
    if (small) {
        const std::vector<std::uint16_t> shorter(indices.begin(), indices.end());
        glBufferData(GL_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(shorter.size() * sizeof(std::uint16_t)),
                     shorter.data(), GL_STATIC_DRAW);
    } else {
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint32_t)),
                     indices.data(), GL_STATIC_DRAW);
    }
    indexType = small ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT;
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(previous));
}

void VertexBuffer::bindIndices() const {
    if (indexId)
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexId);
}

void VertexBuffer::drawTriangles() const {
    if (indexId)
        glDrawElements(GL_TRIANGLES, indexCount, indexType, nullptr);
    else
        glDrawArrays(GL_TRIANGLES, 0, vertexCount);
}

std::size_t VertexBuffer::typeSize(GLenum type) {
    switch (type) {
    case GL_BYTE:
    case GL_UNSIGNED_BYTE:
        return 1;
    case GL_SHORT:
    case GL_UNSIGNED_SHORT:
    case GL_HALF_FLOAT:
        return 2;
    case GL_INT:
    case GL_UNSIGNED_INT:
    case GL_FLOAT:
    case GL_FIXED:
        return 4;
    case GL_DOUBLE:
        return 8;
    default:
        return 0;
    }
}

std::size_t VertexBuffer::blockSize(std::size_t index) const {
    const VertexAttribute& a = layout[index];
    return static_cast<std::size_t>(std::max(vertexCount, 0)) *
           static_cast<std::size_t>(std::max(a.components, 0)) * typeSize(a.type);
}

std::size_t VertexBuffer::blockOffset(std::size_t index) const {
    std::size_t offset = 0;
    for (std::size_t i = 0; i < index && i < layout.size(); ++i)
        offset += blockSize(i);
    return offset;
}

void VertexBuffer::allocate(int count, GLenum usage, GLenum target) {
    vertexCount = std::max(count, 0);
    const std::size_t total = blockOffset(layout.size());
    glBufferData(target, static_cast<GLsizeiptr>(total), nullptr, usage);
}

void VertexBuffer::setAttributeData(const std::string& name, const void* data, GLenum target) {
    setAttributeData(name, data, std::numeric_limits<std::size_t>::max(), target);
}

void VertexBuffer::setAttributeData(const std::string& name, const void* data, std::size_t bytes,
                                    GLenum target) {
    if (!data)
        return;
    for (std::size_t i = 0; i < layout.size(); ++i) {
        if (layout[i].name != name)
            continue;
        const std::size_t size = std::min(blockSize(i), bytes);
        if (size > 0)
            glBufferSubData(target, static_cast<GLintptr>(blockOffset(i)),
                            static_cast<GLsizeiptr>(size), data);
        if (name == "pos" && layout[i].type == GL_FLOAT && layout[i].components == 3 &&
            size == blockSize(i) && size > 0) {
            const auto* p = static_cast<const float*>(data);
            boundsMin = boundsMax = glm::vec3(p[0], p[1], p[2]);
            for (std::size_t v = 3; v + 2 < size / sizeof(float); v += 3) {
                const glm::vec3 point(p[v], p[v + 1], p[v + 2]);
                boundsMin = glm::min(boundsMin, point);
                boundsMax = glm::max(boundsMax, point);
            }
            hasBounds = true;
        }
    }
}

void VertexBuffer::bindAttributes(const ShaderProgram& program) const {
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const VertexAttribute& a = layout[i];
        const GLint location = glGetAttribLocation(program.id(), a.name.c_str());
        if (location < 0)
            continue;
        const GLuint index = static_cast<GLuint>(location);
        glEnableVertexAttribArray(index);
        const void* offset = reinterpret_cast<const void*>(blockOffset(i));
        switch (a.type) {
        case GL_BYTE:
        case GL_UNSIGNED_BYTE:
        case GL_SHORT:
        case GL_UNSIGNED_SHORT:
        case GL_INT:
        case GL_UNSIGNED_INT:
            glVertexAttribIPointer(index, a.components, a.type, 0, offset);
            break;
        default:
            glVertexAttribPointer(index, a.components, a.type, GL_FALSE, 0, offset);
            break;
        }
    }
}

void VertexBuffer::unbindAttributes(const ShaderProgram& program) const {
    for (const VertexAttribute& a : layout) {
        const GLint location = glGetAttribLocation(program.id(), a.name.c_str());
        if (location >= 0)
            glDisableVertexAttribArray(static_cast<GLuint>(location));
    }
}

} // namespace vorn::rendering
