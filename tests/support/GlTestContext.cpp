#include "GlTestContext.hpp"

#include "rendering/GlewInitError.hpp"

#include <SFML/Window/Context.hpp>

#include <cstdlib>

namespace testsupport {

std::string GlTestContext::ensureContext() {
    static sf::Context* context = nullptr;
    // SFML aborts the process when there is no X display; say what is missing instead.
    static const std::string failure = []() -> std::string {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            return "no X display: run the OpenGL tests under xvfb-run -a -s \"-screen 0 "
                   "1024x768x24\"";
        static sf::Context shared(sf::ContextSettings(24, 8, 0, 3, 3, sf::ContextSettings::Core), 1,
                                  1);
        context = &shared;
        if (!shared.setActive(true))
            return "could not activate an OpenGL context";
        try {
            vorn::rendering::initializeGlew();
        } catch (const std::exception& e) {
            return e.what();
        }
        const sf::ContextSettings settings = shared.getSettings();
        if (settings.majorVersion * 10 + settings.minorVersion < 33)
            return "OpenGL 3.3 is not available";
        return "";
    }();
    // Something else (a window of the game) may have taken the thread's context meanwhile, or
    // left none current when it closed. SFML's own record of the active sf::Context does not see
    // a window's context come and go, so the shared context is made current every time (a no-op
    // when it already is).
    if (failure.empty())
        context->setActive(true);
    return failure;
}

GlTestContext::GlTestContext(int width, int height) : width_(width), height_(height) {
    error_ = ensureContext();
    if (!error_.empty())
        return;
    while (glGetError() != GL_NO_ERROR) {
    }
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error_ = "the test framebuffer is incomplete";
        return;
    }

    // GL's defaults for everything the render state caches or the engine assumes.
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glBlendFunc(GL_ONE, GL_ZERO);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glUseProgram(0);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    GLint units = 0;
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units);
    for (GLint unit = units - 1; unit >= 0; --unit) {
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    bind();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

GlTestContext::~GlTestContext() {
    if (!ensureContext().empty())
        return;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteRenderbuffers(1, &depth);
    glDeleteRenderbuffers(1, &colour);
    glDeleteFramebuffers(1, &framebuffer);
}

void GlTestContext::bind() const {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, width_, height_);
}

glm::u8vec4 GlTestContext::pixel(int x, int y) const {
    glm::u8vec4 result(0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &result);
    return result;
}

std::vector<glm::u8vec4> GlTestContext::pixels() const {
    std::vector<glm::u8vec4> result(static_cast<size_t>(width_) * static_cast<size_t>(height_));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, result.data());
    return result;
}

} // namespace testsupport
