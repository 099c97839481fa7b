#include "rendering/GlObjectCensus.hpp"

#include <GL/glew.h>

namespace vorn::rendering {

namespace {

// Names past the last one in use that are still tried before a scan ends.
constexpr GLuint gapToEnd = 16384;

template <typename Exists> int countNames(Exists exists) {
    int count = 0;
    GLuint lastUsed = 0;
    for (GLuint name = 1; name <= lastUsed + gapToEnd; ++name) {
        if (exists(name) == GL_TRUE) {
            ++count;
            lastUsed = name;
        }
    }
    return count;
}

} // namespace

GlObjectCounts GlObjectCensus::take() {
    GlObjectCounts counts;
    counts.programs = countNames([](GLuint n) { return glIsProgram(n); });
    counts.textures = countNames([](GLuint n) { return glIsTexture(n); });
    counts.buffers = countNames([](GLuint n) { return glIsBuffer(n); });
    counts.vertexArrays = countNames([](GLuint n) { return glIsVertexArray(n); });
    counts.framebuffers = countNames([](GLuint n) { return glIsFramebuffer(n); });
    return counts;
}

} // namespace vorn::rendering
