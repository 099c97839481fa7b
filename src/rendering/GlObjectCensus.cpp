#include "rendering/GlObjectCensus.hpp"

#include <GL/glew.h>

namespace vorn::rendering {

namespace {

// Names past the last one in use that are still tried before a scan ends.
constexpr GLuint gapToEnd = 16384;

// Counts the names for which `exists` holds, from 1 up to `fresh` (a name the context has just
// handed out, so at least as high as any name it handed out before) and then on while names in
// use keep turning up within `gapToEnd` of each other.
template <typename Exists> int countNames(Exists exists, GLuint fresh) {
    int count = 0;
    GLuint lastUsed = 0;
    for (GLuint name = 1; name <= fresh || name <= lastUsed + gapToEnd; ++name) {
        if (exists(name) == GL_TRUE) {
            ++count;
            lastUsed = name;
        }
    }
    return count;
}

// A name of one kind from the context, given back at once: the upper end of that kind's scan.
template <typename Generate, typename Delete> GLuint freshName(Generate generate, Delete remove) {
    GLuint name = 0;
    generate(1, &name);
    remove(1, &name);
    return name;
}

} // namespace

GlObjectCounts GlObjectCensus::take() {
    GlObjectCounts counts;
    const GLuint program = glCreateProgram();
    glDeleteProgram(program);
    const GLuint texture = freshName(glGenTextures, glDeleteTextures);
    const GLuint buffer = freshName(glGenBuffers, glDeleteBuffers);
    const GLuint vertexArray = freshName(glGenVertexArrays, glDeleteVertexArrays);
    const GLuint framebuffer = freshName(glGenFramebuffers, glDeleteFramebuffers);
    counts.programs = countNames([](GLuint n) { return glIsProgram(n); }, program);
    counts.textures = countNames([](GLuint n) { return glIsTexture(n); }, texture);
    counts.buffers = countNames([](GLuint n) { return glIsBuffer(n); }, buffer);
    counts.vertexArrays = countNames([](GLuint n) { return glIsVertexArray(n); }, vertexArray);
    counts.framebuffers = countNames([](GLuint n) { return glIsFramebuffer(n); }, framebuffer);
    return counts;
}

} // namespace vorn::rendering
