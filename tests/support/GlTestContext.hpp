#pragma once

#include <GL/glew.h>
#include <glm/vec4.hpp>

#include <string>
#include <vector>

namespace testsupport {

// An off-screen drawing target for OpenGL tests: a framebuffer of a known size (RGBA8 colour,
// 24-bit depth) on the process's one OpenGL 3.3 core context, with GLEW initialised.
//
// The context is created on first use and lives until the process ends, so resources made in one
// test (cached programs and textures, say) stay valid in the next. Each GlTestContext resets the GL
// state the engine caches (capabilities, blend function, depth mask, program, vertex array, texture
// units) to GL's defaults, so a fresh RenderState agrees with GL. Needs an X display: run GL tests
// under xvfb-run.
class GlTestContext {
public:
    // Makes the context current and binds a new width x height framebuffer; check ok() after.
    explicit GlTestContext(int width = 64, int height = 64);
    GlTestContext(const GlTestContext&) = delete;
    GlTestContext& operator=(const GlTestContext&) = delete;
    ~GlTestContext();

    // Whether the context and the framebuffer exist; error() says why not.
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    // The framebuffer's size in pixels.
    int width() const { return width_; }
    int height() const { return height_; }

    // Binds the framebuffer for drawing and reading and sets the viewport to it.
    void bind() const;
    // The pixel at (x, y), x from the left and y from the bottom, as RGBA bytes.
    glm::u8vec4 pixel(int x, int y) const;
    // Every pixel, row by row from the bottom row up.
    std::vector<glm::u8vec4> pixels() const;

    // Creates the shared context if needed and makes it current; "" on success, else the reason.
    static std::string ensureContext();

private:
    int width_;
    int height_;
    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint depth = 0;
    std::string error_;
};

} // namespace testsupport
