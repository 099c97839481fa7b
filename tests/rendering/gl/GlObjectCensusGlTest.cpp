// The GL object census counts exactly the objects that exist: made ones are added, deleted ones
// taken away again, kind by kind.
#include "GlFixture.hpp"

#include "rendering/GlObjectCensus.hpp"

#include <vector>

using vorn::rendering::GlObjectCensus;
using vorn::rendering::GlObjectCounts;

namespace {
class GlObjectCensusGlTest : public GlFixture {};
} // namespace

TEST_F(GlObjectCensusGlTest, CountsMadeAndDeletedObjectsOfEachKind) {
    const GlObjectCounts before = GlObjectCensus::take();
    GLuint textures[3], buffers[2], arrays[4], framebuffers[1];
    glGenTextures(3, textures);
    glGenBuffers(2, buffers);
    glGenVertexArrays(4, arrays);
    glGenFramebuffers(1, framebuffers);
    // Names count once bound, as GL defines when an object exists.
    for (GLuint t : textures)
        glBindTexture(GL_TEXTURE_2D, t);
    for (GLuint b : buffers)
        glBindBuffer(GL_ARRAY_BUFFER, b);
    for (GLuint a : arrays)
        glBindVertexArray(a);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[0]);
    const GLuint program = glCreateProgram();
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
    context->bind(); // back to the fixture's framebuffer

    const GlObjectCounts made = GlObjectCensus::take();
    EXPECT_EQ(made.textures, before.textures + 3);
    EXPECT_EQ(made.buffers, before.buffers + 2);
    EXPECT_EQ(made.vertexArrays, before.vertexArrays + 4);
    EXPECT_EQ(made.framebuffers, before.framebuffers + 1);
    EXPECT_EQ(made.programs, before.programs + 1);

    glDeleteTextures(2, textures);
    glDeleteBuffers(2, buffers);
    glDeleteVertexArrays(4, arrays);
    glDeleteFramebuffers(1, framebuffers);
    glDeleteProgram(program);
    const GlObjectCounts after = GlObjectCensus::take();
    EXPECT_EQ(after.textures, before.textures + 1);
    EXPECT_EQ(after.buffers, before.buffers);
    EXPECT_EQ(after.vertexArrays, before.vertexArrays);
    EXPECT_EQ(after.framebuffers, before.framebuffers);
    EXPECT_EQ(after.programs, before.programs);
    glDeleteTextures(1, &textures[2]);
}

// After many objects made and deleted, the live names lie far above the first ones (Mesa does not
// reuse names): an object made then still counts, however far the names in between are unused.
TEST_F(GlObjectCensusGlTest, CountsObjectsFarPastALongRunOfDeletedNames) {
    const GlObjectCounts before = GlObjectCensus::take();
    std::vector<GLuint> spent(40000);
    glGenTextures(static_cast<GLsizei>(spent.size()), spent.data());
    glDeleteTextures(static_cast<GLsizei>(spent.size()), spent.data());
    GLuint late = 0;
    glGenTextures(1, &late);
    glBindTexture(GL_TEXTURE_2D, late);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(GlObjectCensus::take().textures, before.textures + 1) << "late texture name " << late;
    glDeleteTextures(1, &late);
    EXPECT_EQ(GlObjectCensus::take().textures, before.textures);
}
