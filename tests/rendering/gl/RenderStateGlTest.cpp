// The render state on its own: the GL calls its cache lets through, what it owns and deletes,
// and screenshots taken after other GL errors.
#include "GlCallCounter.hpp"
#include "GlFixture.hpp"

#include "engine/DiagnosticsCapture.hpp"
#include "rendering/FullScreenQuad.hpp"
#include "rendering/Screenshot.hpp"
#include "rendering/ShaderProgram.hpp"

#include <SFML/Graphics/Image.hpp>

#include <functional>
#include <memory>

using testsupport::GlCallCounter;
using vorn::rendering::RenderState;

namespace {

class RenderStateGlTest : public GlFixture {};

} // namespace

TEST_F(RenderStateGlTest, TheCacheLetsThroughExactlyTheCallsThatChangeSomething) {
    // Each case runs on a fresh state and names the GL calls it must issue.
    struct Case {
        const char* what;
        std::function<void(RenderState&)> calls;
        int enables;
        int disables;
        int blendFuncs;
    };
    const std::vector<Case> cases = {
        {"two enables in a row issue one glEnable",
         [](RenderState& s) {
             s.enableCap(GL_BLEND);
             s.enableCap(GL_BLEND);
         },
         1, 0, 0},
        {"the first disable is issued although nothing was recorded",
         [](RenderState& s) { s.disableCap(GL_CULL_FACE); }, 0, 1, 0},
        {"a repeated disable is skipped",
         [](RenderState& s) {
             s.disableCap(GL_CULL_FACE);
             s.disableCap(GL_CULL_FACE);
         },
         0, 1, 0},
        {"enable, disable, enable are all issued",
         [](RenderState& s) {
             s.enableCap(GL_DEPTH_TEST);
             s.disableCap(GL_DEPTH_TEST);
             s.enableCap(GL_DEPTH_TEST);
         },
         2, 1, 0},
        {"GL's default blend function on a fresh state issues nothing",
         [](RenderState& s) { s.setBlendFunc(GL_ONE, GL_ZERO); }, 0, 0, 0},
        {"a repeated blend function is skipped",
         [](RenderState& s) {
             s.setBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
             s.setBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
         },
         0, 0, 1},
        {"a blend function differing in one factor is issued",
         [](RenderState& s) {
             s.setBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
             s.setBlendFunc(GL_SRC_ALPHA, GL_ONE);
             s.setBlendFunc(GL_ONE, GL_ONE);
         },
         0, 0, 3},
    };
    for (const Case& c : cases) {
        RenderState fresh(nullptr);
        GlCallCounter counter;
        c.calls(fresh);
        EXPECT_EQ(counter.count("glEnable"), c.enables) << c.what;
        EXPECT_EQ(counter.count("glDisable"), c.disables) << c.what;
        EXPECT_EQ(counter.count("glBlendFunc"), c.blendFuncs) << c.what;
    }
    // Leave GL as the fixture's state expects it.
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_ONE, GL_ZERO);
}

TEST_F(RenderStateGlTest, TheFullScreenQuadsObjectsAreDeletedWithTheStateThatDrewIt) {
    write("fs.txt", "[ { type vertex data \"#version 330 core\\nin vec3 pos;\\nin vec2 UV;\\n"
                    "void main() { gl_Position = vec4(pos, 1.0); }\" }\n"
                    "  { type fragment data \"#version 330 core\\nout vec4 c;\\n"
                    "void main() { c = vec4(1.0, 0.5, 0.0, 1.0); }\" } ]");
    vorn::engine::DiagnosticsCapture capture;
    const auto program = vorn::rendering::ShaderProgram::load(dir + "fs.txt");
    ASSERT_EQ(capture.errText(), "");
    auto drawing = std::make_unique<RenderState>(nullptr);
    drawing->useProgram(program.get());
    {
        GlCallCounter counter;
        vorn::rendering::drawFullScreenQuad(*drawing);
        vorn::rendering::drawFullScreenQuad(*drawing);
        // Made on the first draw through this state, then reused.
        EXPECT_EQ(counter.count("glGenVertexArrays"), 1);
        EXPECT_EQ(counter.count("glDrawArrays"), 2);
    }
    EXPECT_TRUE(near(context->pixel(10, 50), {255, 128, 0, 255}))
        << describe(context->pixel(10, 50));
    drawing->useProgram(nullptr);

    // The state goes (as it does before the window closes) and takes the quad's vertex array and
    // buffer with it, while the context they were made in still exists.
    GlCallCounter counter;
    drawing.reset();
    EXPECT_EQ(counter.count("glDeleteVertexArrays"), 1);
    EXPECT_EQ(counter.count("glDeleteBuffers"), 1);
}

TEST_F(RenderStateGlTest, AScreenshotIsTakenAfterEarlierGlErrorsAndShowsTheFrame) {
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    // Errors an earlier draw left behind: a bad enum and a program that does not exist.
    glEnable(0x7FFF);
    glUseProgram(0xFFFFFF);
    const std::string path = dir + "shot.png";
    ASSERT_TRUE(vorn::rendering::saveScreenshot(path, 64, 64));
    sf::Image image;
    ASSERT_TRUE(image.loadFromFile(path));
    EXPECT_EQ(image.getPixel(5, 5), sf::Color::Blue);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
