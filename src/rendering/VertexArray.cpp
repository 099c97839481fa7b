#include "rendering/VertexArray.hpp"

#include <cassert>
#include <utility>

namespace vorn::rendering {

VertexArray::VertexArray() {
    glGenVertexArrays(1, &glId);
    assert(glId != 0 && "glGenVertexArrays needs a current GL context");
}

VertexArray::VertexArray(VertexArray&& other) noexcept : glId(std::exchange(other.glId, 0)) {}

VertexArray& VertexArray::operator=(VertexArray&& other) noexcept {
    if (this != &other) {
        if (glId)
            glDeleteVertexArrays(1, &glId);
        glId = std::exchange(other.glId, 0);
    }
    return *this;
}

VertexArray::~VertexArray() {
    if (glId)
        glDeleteVertexArrays(1, &glId);
}

void VertexArray::bind() const {
    assert(glId != 0 && "binding a vertex array that was moved away");
    glBindVertexArray(glId);
}

void VertexArray::unbind() {
    glBindVertexArray(0);
}

void VertexArray::reset() {
    glBindVertexArray(0);
    if (glId)
        glDeleteVertexArrays(1, &glId);
    glGenVertexArrays(1, &glId);
    glBindVertexArray(glId);
}

} // namespace vorn::rendering
