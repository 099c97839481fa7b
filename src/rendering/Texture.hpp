#pragma once

#include <GL/glew.h>

#include <string>

namespace vorn::rendering {

class RenderState;

// One OpenGL texture object. Textures loaded from image files are shared through the texture cache;
// render targets are created empty with allocate(). A texture remembers the render state whose unit
// table records it, so destroying it clears that table.
class Texture {
public:
    Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;
    ~Texture();

    // Called by a render state that is destroyed first: the texture no longer refers to it.
    void detachRenderState() { state = nullptr; }

    GLuint id = 0;
    RenderState* state = nullptr;
    GLenum internalFormat = 0;
    GLenum target = 0;
};

} // namespace vorn::rendering
