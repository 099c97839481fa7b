#pragma once

#include <GL/glew.h>

namespace vorn::rendering {

// One OpenGL vertex array object, created with the object and deleted with it. Vertex arrays
// record attribute bindings for one context and cannot be shared, so the type moves but does not
// copy; an owner that is copied makes a new one.
class VertexArray {
public:
    // Creates the GL vertex array object (glGenVertexArrays).
    VertexArray();
    VertexArray(const VertexArray&) = delete;
    VertexArray& operator=(const VertexArray&) = delete;
    // Takes the other's object; the other is left without one.
    VertexArray(VertexArray&& other) noexcept;
    // Deletes the object held, then takes the other's.
    VertexArray& operator=(VertexArray&& other) noexcept;
    // Deletes the GL object (glDeleteVertexArrays), unless it was moved away.
    ~VertexArray();

    // The GL name; 0 after a move.
    GLuint id() const { return glId; }
    // Makes this vertex array current (it must still own an object).
    void bind() const;
    // Makes no vertex array current.
    static void unbind();
    // Replaces the object with a fresh one, so no attribute binding of the old one remains. The
    // new one is left bound.
    void reset();

private:
    GLuint glId = 0;
};

} // namespace vorn::rendering
