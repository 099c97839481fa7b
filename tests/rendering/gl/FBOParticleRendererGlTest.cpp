// The post-processing renderer under Xvfb with real pixels: its buffers, the lit scene reaching the
// window untouched when there are no particles, particles hidden by the scene's depth, the glow of
// bright additive particles, ambient occlusion in a corner, and a window that changes size.
#include "SceneFixture.hpp"

#include "rendering/FBOParticleRenderer.hpp"
#include "rendering/Mesh.hpp"
#include "rendering/Model.hpp"
#include "rendering/ParticlePassRenderable.hpp"
#include "rendering/RenderQuality.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/Text.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <optional>
#include <vector>

namespace {

// One point of a test emitter: where, what light, how many pixels wide.
struct TestPoint {
    glm::vec3 position;
    glm::vec4 colour;
};

// An emitter of fixed points drawn through the particle-pass interface, as the particle layer's
// emitters are: additive points in the point pass, the same points in the solid pass.
class TestEmitter : public vorn::components::ParticlePassRenderable {
public:
    TestEmitter(std::shared_ptr<vorn::rendering::ShaderProgram> program,
                std::vector<TestPoint> points, float pointSize)
        : ParticlePassRenderable(true), program(std::move(program)), points(std::move(points)),
          pointSize(pointSize) {
        addName("particleEmitter");
    }
    ~TestEmitter() override {
        glDeleteBuffers(1, &buffer);
        glDeleteVertexArrays(1, &vao);
    }

    // The plain renderer's draw: never used by the post-processing renderer.
    void draw(vorn::rendering::RenderState&, const glm::mat4&,
              vorn::rendering::UniformSet&) override {
        ++sceneDraws;
    }
    void drawPointPass(vorn::rendering::RenderState& state, const glm::mat4& model,
                       vorn::rendering::UniformSet& perDraw) override {
        ++pointPasses;
        drawPoints(state, model, perDraw);
    }
    void drawSolidPass(vorn::rendering::RenderState& state, const glm::mat4& model,
                       vorn::rendering::UniformSet& perDraw) override {
        ++solidPasses;
        drawPoints(state, model, perDraw);
    }

    int sceneDraws = 0;
    int pointPasses = 0;
    int solidPasses = 0;

private:
    void drawPoints(vorn::rendering::RenderState& state, const glm::mat4& model,
                    vorn::rendering::UniformSet& perDraw) {
        if (vao == 0) {
            glGenVertexArrays(1, &vao);
            glGenBuffers(1, &buffer);
            glBindVertexArray(vao);
            glBindBuffer(GL_ARRAY_BUFFER, buffer);
            glBufferData(GL_ARRAY_BUFFER,
                         static_cast<GLsizeiptr>(points.size() * sizeof(TestPoint)), points.data(),
                         GL_STATIC_DRAW);
            const GLint pos = glGetAttribLocation(program->id(), "pos");
            const GLint colour = glGetAttribLocation(program->id(), "colour");
            glEnableVertexAttribArray(static_cast<GLuint>(pos));
            glVertexAttribPointer(static_cast<GLuint>(pos), 3, GL_FLOAT, GL_FALSE,
                                  sizeof(TestPoint), nullptr);
            glEnableVertexAttribArray(static_cast<GLuint>(colour));
            glVertexAttribPointer(static_cast<GLuint>(colour), 4, GL_FLOAT, GL_FALSE,
                                  sizeof(TestPoint),
                                  reinterpret_cast<const void*>(offsetof(TestPoint, colour)));
        }
        state.useProgram(program.get());
        program->upload(perDraw);
        program->setUniform("M", model);
        glPointSize(pointSize);
        glBindVertexArray(vao);
        glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(points.size()));
        glBindVertexArray(0);
        glPointSize(1.0f);
    }

    std::shared_ptr<vorn::rendering::ShaderProgram> program;
    std::vector<TestPoint> points;
    float pointSize;
    GLuint vao = 0;
    GLuint buffer = 0;
};

// 96 x 72: the bloom levels are 48 x 36, 24 x 18, 12 x 9, 6 x 4 and 3 x 2, so the last two sizes
// are truncated.
constexpr int testWidth = 96;
constexpr int testHeight = 72;

class FBOParticleRendererGlTest : public SceneFixture {
protected:
    FBOParticleRendererGlTest() : SceneFixture(testWidth, testHeight) {}

    FBOParticleRenderer& addRenderer(vorn::rendering::UniformSet lights = {}) {
        renderer = new FBOParticleRenderer("gameSpace", 0.0f, std::move(lights));
        world->addComponent(renderer);
        return *renderer;
    }

    // A program for the test emitters: points at "pos" in the camera's "V" and "P", of
    // "colour".
    std::shared_ptr<vorn::rendering::ShaderProgram> pointProgram() {
        write("points.vert",
              "in vec3 pos;\nin vec4 colour;\nuniform mat4 M;\nuniform mat4 V;\n"
              "uniform mat4 P;\nout vec4 light;\nvoid main() {\n"
              "    light = colour;\n    gl_Position = P * V * M * vec4(pos, 1.0);\n}\n");
        write("points.frag", "in vec4 light;\nout vec4 fragColor;\n"
                             "void main() { fragColor = light; }\n");
        write("points.txt",
              "[ { type vertex key \"points.vert\" data \"#version 330 core\\n\" }\n"
              "  { type fragment key \"points.frag\" data \"#version 330 core\\n\" } ]\n");
        return vorn::rendering::shaderProgramCache().getFullPath(dir + "points.txt");
    }

    TestEmitter* emitter(const char* kind, std::vector<TestPoint> points, float size = 1.0f) {
        // In the game space, as the game's effects are: the scene passes must still leave it out.
        const auto e = entity(glm::mat4(1.0f), {kind, "gameSpace"});
        auto* added = new TestEmitter(pointProgram(), std::move(points), size);
        world->addComponent(e, added);
        return added;
    }

    // The lit-scene buffer as window bytes (rounded, clamped), bottom row first.
    std::vector<glm::u8vec4> litScenePixels() const {
        const auto& buffer = renderer->litSceneBuffer();
        std::vector<glm::vec4> values(static_cast<size_t>(buffer.width() * buffer.height()));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, buffer.id());
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glReadPixels(0, 0, buffer.width(), buffer.height(), GL_RGBA, GL_FLOAT, values.data());
        context->bind();
        std::vector<glm::u8vec4> bytes;
        for (const glm::vec4& v : values)
            bytes.push_back(glm::u8vec4(glm::round(glm::clamp(v, 0.0f, 1.0f) * 255.0f)));
        return bytes;
    }

    // A lit grey mesh from OBJ text written to the scratch directory.
    void litMesh(const std::string& name, const std::string& obj, const glm::mat4& placement) {
        write("grey.mtl", "newmtl grey\nKd 0.8 0.8 0.8\nKs 0 0 0\nNs 10\n");
        write(name, "mtllib grey.mtl\nusemtl grey\n" + obj);
        const auto mesh = vorn::rendering::meshCache().getFullPath(dir + name);
        ASSERT_TRUE(mesh);
        ASSERT_FALSE(mesh->parts.empty());
        const auto e = entity(placement, {"gameSpace"});
        world->addComponent(e, new vorn::components::Model(mesh->parts));
    }

    // A 2 x 2 texture of four colours, two of them half transparent.
    std::shared_ptr<vorn::rendering::Texture> texture4() {
        return vorn::rendering::textureCache().getFullPath(
            writeImage("four.png", 2, 2,
                       {sf::Color(200, 30, 30, 255), sf::Color(30, 200, 30, 128),
                        sf::Color(30, 30, 200, 64), sf::Color(230, 230, 230, 255)}));
    }

    FBOParticleRenderer* renderer = nullptr;
};

glm::u8vec4 rgb(const glm::u8vec4& c) {
    return {c.r, c.g, c.b, 0};
}

} // namespace

TEST_F(FBOParticleRendererGlTest, BuffersAreCompleteWithTheirSizesFormatsAndFilters) {
    screenCamera({"gameSpace"});
    auto& r = addRenderer();
    render();

    const auto buffers = r.framebuffers();
    ASSERT_EQ(buffers.size(), 11u);
    for (const auto* buffer : buffers)
        EXPECT_EQ(buffer->status(), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));

    const int expectedLevels[5][2] = {{48, 36}, {24, 18}, {12, 9}, {6, 4}, {3, 2}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(r.brightLevel(i).width(), expectedLevels[i][0]) << "level " << i;
        EXPECT_EQ(r.brightLevel(i).height(), expectedLevels[i][1]) << "level " << i;
        EXPECT_EQ(r.brightLevel(i).colorTexture(0).width, expectedLevels[i][0]);
        EXPECT_EQ(r.brightLevel(i).colorTexture(0).height, expectedLevels[i][1]);
    }

    struct Expected {
        const vorn::rendering::FrameBufferObject* buffer;
        int width, height, colours;
        GLenum format;
        GLint filter;
        bool depth;
    };
    const Expected table[] = {
        {&r.brightLevel(0), 48, 36, 1, GL_RGBA16F, GL_LINEAR, true},
        {&r.brightLevel(4), 3, 2, 1, GL_RGBA16F, GL_LINEAR, true},
        {&r.sceneBuffer(), 96, 72, 2, GL_RGBA16F, GL_LINEAR, true},
        {&r.litSceneBuffer(), 96, 72, 1, GL_RGBA16F, GL_LINEAR, true},
        {&r.particleBuffer(), 96, 72, 1, GL_RGBA16F, GL_LINEAR, true},
        {&r.brightBuffer(), 96, 72, 1, GL_RGBA16F, GL_LINEAR, false},
        // A quarter of the window at first; without particles no bloom resizes it.
        {&r.blurBuffer(), 24, 18, 1, GL_RGBA16F, GL_LINEAR, false},
        {&r.bloomBuffer(), 96, 72, 1, GL_RGBA8, GL_NEAREST, false},
    };
    for (const Expected& e : table) {
        EXPECT_EQ(e.buffer->width(), e.width);
        EXPECT_EQ(e.buffer->height(), e.height);
        ASSERT_EQ(e.buffer->colorCount(), e.colours);
        EXPECT_EQ(e.buffer->depthTexture() != nullptr, e.depth);
        for (int i = 0; i < e.colours; ++i) {
            const auto& texture = e.buffer->colorTexture(i);
            EXPECT_EQ(texture.internalFormat, e.format);
            GLint filter = 0;
            GLint wrap = 0;
            glBindTexture(GL_TEXTURE_2D, texture.id());
            glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
            glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
            EXPECT_EQ(filter, e.filter);
            EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
        }
        if (e.depth) {
            EXPECT_EQ(e.buffer->depthTexture()->internalFormat,
                      static_cast<GLenum>(GL_DEPTH_COMPONENT24));
        }
    }
    // The particle and bright buffers hold no storage of their own: they draw into the scene's.
    EXPECT_EQ(&r.particleBuffer().colorTexture(0), &r.sceneBuffer().colorTexture(0));
    EXPECT_EQ(r.particleBuffer().depthTexture(), r.sceneBuffer().depthTexture());
    EXPECT_EQ(&r.brightBuffer().colorTexture(0), &r.sceneBuffer().colorTexture(1));
    // The random normals repeat over the screen.
    const auto noise = vorn::rendering::textureCache().get("images/noise_norm.jpg");
    GLint wrap = 0;
    glBindTexture(GL_TEXTURE_2D, noise->id());
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
    EXPECT_EQ(wrap, GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, 0);
    state->boundTextures.assign(state->boundTextures.size(), nullptr);
}

TEST_F(FBOParticleRendererGlTest, WithoutEmittersTheWindowShowsTheLitSceneExactly) {
    // A lit sphere-like slab and an unlit sprite, over the areas' clear colour.
    const auto camera = entity(glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, 10)), {"gameSpace"});
    world->addComponent(
        camera, new vorn::components::Camera(glm::perspective(0.8f, 96.0f / 72.0f, 0.5f, 50.0f)));
    vorn::rendering::UniformSet lights;
    lights.set("ambientLight", glm::vec3(0.3f, 0.2f, 0.2f));
    lights.set("lights[0].direction", glm::normalize(glm::vec3(1, -1, -1)));
    lights.set("lights[0].color", glm::vec3(1.5f, 1.2f, 1.0f));
    litMesh("box.obj",
            "v -2 -1 0\nv 2 -1 0\nv 2 1 0\nv -2 1 0\nv -2 -1 -2\nv -2 1 -2\n"
            "vn 0 0 1\nvn 1 0 0\nf 1//1 2//1 3//1\nf 1//1 3//1 4//1\nf 5//2 1//2 4//2\n"
            "f 5//2 4//2 6//2\n",
            glm::rotate(glm::mat4(1.0f), 0.5f, glm::vec3(0, 1, 0)));
    sprite(solid(sf::Color(30, 200, 90)), 1.0f, 1.2f, 1.0f, 1.5f, 1.0f, false, 0.0f, true,
           {"gameSpace"});
    addRenderer(lights);
    render();

    const auto window = context->pixels();
    const auto lit = litScenePixels();
    ASSERT_EQ(window.size(), lit.size());
    int differing = 0;
    int drawn = 0;
    const glm::u8vec4 background(31, 19, 8, 0); // 0.12, 0.075, 0.03
    for (size_t i = 0; i < window.size(); ++i) {
        if (!near(rgb(window[i]), rgb(lit[i]), 1))
            ++differing;
        if (!near(rgb(window[i]), background, 1))
            ++drawn;
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(drawn, 600) << "the scene must cover a good part of the window";
    EXPECT_TRUE(near(rgb(context->pixel(0, 0)), background, 1)) << describe(context->pixel(0, 0));
}

TEST_F(FBOParticleRendererGlTest, SolidOnlyFramesChangeNoPixelButTheirParticles) {
    // The areas' dust alone: solid particles and no additive ones. From the second frame on the
    // particle buffer was once cleared to the scene's dusk colour, and the composite added that
    // to every pixel.
    screenCamera({"gameSpace"});
    sprite(solid(sf::Color(100, 100, 100)), 0, 20, 0, 96, 30, false, 0.0f, true, {"gameSpace"});
    emitter("solid", {{{70.5f, 35.5f, 1.0f}, glm::vec4(0.2f, 0.9f, 0.1f, 1.0f)}});
    addRenderer();
    for (int frame = 0; frame < 3; ++frame) {
        render();
        const auto window = context->pixels();
        const auto lit = litScenePixels();
        ASSERT_EQ(window.size(), lit.size());
        int differing = 0;
        for (size_t i = 0; i < window.size(); ++i)
            differing += near(rgb(window[i]), rgb(lit[i]), 1) ? 0 : 1;
        EXPECT_EQ(differing, 1) << "frame " << frame << ": only the particle's pixel changes";
        EXPECT_FALSE(near(rgb(context->pixel(70, 35)), glm::u8vec4(100, 100, 100, 0), 20))
            << "frame " << frame << ": " << describe(context->pixel(70, 35));
    }
}

TEST_F(FBOParticleRendererGlTest, ParticleBehindAPlatformIsHiddenAndOneInFrontShows) {
    screenCamera({"gameSpace"});
    // The platform: a grey band across the middle at z = 0.
    sprite(solid(sf::Color(100, 100, 100)), 0, 20, 0, 96, 30, false, 0.0f, true, {"gameSpace"});
    const glm::vec4 light(0.5f, 0.25f, 0.0f, 1.0f); // dim: no bloom, so only these pixels change
    auto* additive = emitter("additive", {{{20.5f, 35.5f, -10.0f}, light},   // behind the platform
                                          {{70.5f, 35.5f, 10.0f}, light},    // in front of it
                                          {{45.5f, 60.5f, -10.0f}, light}}); // behind, above it
    addRenderer();
    render();
    EXPECT_EQ(additive->pointPasses, 1);
    EXPECT_EQ(additive->solidPasses, 0);
    EXPECT_EQ(additive->sceneDraws, 0);

    const glm::u8vec4 grey(100, 100, 100, 0);
    EXPECT_TRUE(near(rgb(context->pixel(20, 35)), grey, 1)) << describe(context->pixel(20, 35));
    EXPECT_TRUE(near(rgb(context->pixel(70, 35)), glm::u8vec4(228, 164, 100, 0), 1))
        << describe(context->pixel(70, 35));
    // Behind nothing, a particle far back still shows over the background.
    EXPECT_TRUE(near(rgb(context->pixel(45, 60)), glm::u8vec4(159, 83, 8, 0), 1))
        << describe(context->pixel(45, 60));
    // Its neighbours are untouched.
    EXPECT_TRUE(near(rgb(context->pixel(72, 35)), grey, 1)) << describe(context->pixel(72, 35));
}

TEST_F(FBOParticleRendererGlTest, BrightAdditiveParticleGlowsIntoItsNeighboursDimOneDoesNot) {
    screenCamera({"gameSpace"});
    const glm::vec4 bright(8.0f, 6.0f, 4.0f, 1.0f);
    const glm::vec4 dim(0.8f, 0.6f, 0.4f, 1.0f);
    emitter("additive", {{{24.0f, 36.0f, 0.0f}, bright}, {{72.0f, 36.0f, 0.0f}, dim}}, 4.0f);
    addRenderer();
    render();

    const glm::u8vec4 background(31, 19, 8, 0);
    // The particles themselves.
    EXPECT_EQ(rgb(context->pixel(24, 36)), glm::u8vec4(255, 255, 255, 0));
    EXPECT_GT(context->pixel(72, 36).r, 200);
    // Pixels a few steps beside the bright one are lit by its glow; beside the dim one, not.
    for (const int offset : {4, 6, 9}) {
        for (const glm::ivec2 side : {glm::ivec2(1, 0), glm::ivec2(-1, 0), glm::ivec2(0, 1)}) {
            const glm::ivec2 nearBright = glm::ivec2(24, 36) + side * offset;
            const glm::ivec2 nearDim = glm::ivec2(72, 36) + side * offset;
            const glm::u8vec4 glow = context->pixel(nearBright.x, nearBright.y);
            EXPECT_GT(glow.r, background.r + 6) << "offset " << offset << " " << describe(glow);
            EXPECT_TRUE(near(rgb(context->pixel(nearDim.x, nearDim.y)), background, 1))
                << "offset " << offset << " " << describe(context->pixel(nearDim.x, nearDim.y));
        }
    }
    // The glow fades with distance.
    EXPECT_GT(context->pixel(28, 36).r, context->pixel(33, 36).r);
    // The blur buffer was last resized to the smallest level.
    EXPECT_EQ(renderer->blurBuffer().width(), 3);
    EXPECT_EQ(renderer->blurBuffer().height(), 2);
}

TEST_F(FBOParticleRendererGlTest, AmbientOcclusionDarkensTheInsideCornerMoreThanTheOpenFloor) {
    // A floor (y = 0) meeting a back wall (z = -3), seen from above the front, in ambient light
    // alone: without occlusion every pixel of both would have the same colour.
    const glm::vec3 eye(0.0f, 3.0f, 6.0f);
    const glm::mat4 view = glm::lookAt(eye, glm::vec3(0, 0.5f, -2), glm::vec3(0, 1, 0));
    const glm::mat4 projection = glm::perspective(0.9f, 96.0f / 72.0f, 0.5f, 40.0f);
    const auto camera = entity(glm::inverse(view), {"gameSpace"});
    world->addComponent(camera, new vorn::components::Camera(projection));
    vorn::rendering::UniformSet lights;
    lights.set("ambientLight", glm::vec3(0.9f));
    litMesh("corner.obj",
            "v -6 0 -3\nv 6 0 -3\nv 6 0 6\nv -6 0 6\nv -6 6 -3\nv 6 6 -3\n"
            "vn 0 1 0\nvn 0 0 1\nf 1//1 4//1 3//1\nf 1//1 3//1 2//1\nf 1//2 2//2 6//2\n"
            "f 1//2 6//2 5//2\n",
            glm::mat4(1.0f));
    addRenderer(lights);
    render();

    const glm::vec4 viewport(0, 0, testWidth, testHeight);
    const auto pixelOf = [&](const glm::vec3& p) {
        const glm::vec3 w = glm::project(p, view, projection, viewport);
        return glm::ivec2(int(w.x), int(w.y));
    };
    const glm::ivec2 corner = pixelOf(glm::vec3(0.0f, 0.05f, -2.9f));
    const glm::ivec2 openFloor = pixelOf(glm::vec3(0.0f, 0.0f, 2.0f));
    const glm::ivec2 openWall = pixelOf(glm::vec3(0.0f, 3.5f, -3.0f));
    const glm::u8vec4 atCorner = context->pixel(corner.x, corner.y);
    const glm::u8vec4 onFloor = context->pixel(openFloor.x, openFloor.y);
    const glm::u8vec4 onWall = context->pixel(openWall.x, openWall.y);
    // 0.9 x 0.8 ambient, unoccluded: 184.
    EXPECT_NEAR(onFloor.r, 184, 3) << describe(onFloor);
    EXPECT_NEAR(onWall.r, 184, 3) << describe(onWall);
    EXPECT_LT(atCorner.r + 20, onFloor.r) << describe(atCorner) << " vs " << describe(onFloor);
    // Only the ambient term is darkened: grey stays grey.
    EXPECT_EQ(atCorner.r, atCorner.g);
}

TEST_F(FBOParticleRendererGlTest, AResizedWindowKeepsTheBuffersAndStretchesThePicture) {
    screenCamera({"gameSpace"});
    sprite(solid(sf::Color(255, 0, 0)), 0, 0, 0, 48, 72, false, 0.0f, true, {"gameSpace"});
    sprite(solid(sf::Color(0, 0, 255)), 48, 0, 0, 48, 72, false, 0.0f, true, {"gameSpace"});
    auto* additive = emitter("additive", {{{10.0f, 10.0f, 1.0f}, glm::vec4(3.0f)}}, 2.0f);
    auto* solidOne = emitter("solid", {{{80.5f, 60.5f, 1.0f}, glm::vec4(0.0f, 1.0f, 0.0f, 1.0f)}});
    addRenderer();
    render();
    const auto before = context->pixels();

    // The window shrinks to half its size: the main loop sets the viewport to it.
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    world->render(1.0f / 60.0f); // without the fixture's bind, which would restore the viewport
    context->bind();
    glViewport(0, 0, 48, 36);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    world->render(1.0f / 60.0f);
    EXPECT_EQ(additive->pointPasses, 3);
    EXPECT_EQ(solidOne->solidPasses, 3);

    for (const auto* buffer : renderer->framebuffers())
        EXPECT_EQ(buffer->status(), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(renderer->sceneBuffer().width(), 96);
    EXPECT_EQ(renderer->sceneBuffer().height(), 72);
    EXPECT_EQ(renderer->brightLevel(0).width(), 48);
    EXPECT_EQ(renderer->bloomBuffer().width(), 96);
    // The whole picture fills the smaller viewport: red left, blue right, white outside.
    EXPECT_EQ(rgb(context->pixel(12, 18)), glm::u8vec4(255, 0, 0, 0));
    EXPECT_EQ(rgb(context->pixel(36, 18)), glm::u8vec4(0, 0, 255, 0));
    EXPECT_EQ(rgb(context->pixel(70, 50)), glm::u8vec4(255, 255, 255, 0));
    // The full-size frame before showed the solid particle at its place.
    const glm::u8vec4 solidPixel = before[static_cast<size_t>(60 * testWidth + 80)];
    EXPECT_EQ(solidPixel.g, 255) << describe(solidPixel);
}

TEST_F(FBOParticleRendererGlTest, FrameProfileTimesEveryStepOfEveryFrame) {
    screenCamera({"gameSpace"});
    sprite(solid(sf::Color(90, 90, 90)), 0, 0, 0, 96, 72, false, 0.0f, true, {"gameSpace"});
    emitter("additive", {{{10.0f, 10.0f, 1.0f}, glm::vec4(3.0f)}}, 2.0f);
    auto& r = addRenderer();
    render();
    EXPECT_EQ(r.profile(), nullptr);
    r.setProfiling(true);
    ASSERT_NE(r.profile(), nullptr);
    for (int frame = 0; frame < 5; ++frame)
        render();
    r.profile()->collectAll();
    EXPECT_EQ(r.profile()->frames(), 5u);
    // Every step took some time but the solid particles', skipped without a solid emitter.
    for (int step = 0; step < FBOParticleRenderer::stepCount; ++step) {
        const double mean = r.profile()->meanMilliseconds(step);
        if (step == FBOParticleRenderer::solidParticlesStep)
            EXPECT_EQ(mean, 0.0) << FBOParticleRenderer::stepName(step);
        else
            EXPECT_GT(mean, 0.0) << FBOParticleRenderer::stepName(step);
    }
    EXPECT_STREQ(FBOParticleRenderer::stepName(FBOParticleRenderer::ambientOcclusionStep),
                 "ambient occlusion");
}

TEST_F(FBOParticleRendererGlTest, OneDrawCompositeMatchesTheCopyAndTwoBlends) {
    // Coloured bands under bright and dim additive points and half-strength solid points, so that
    // the bloom, the solid particles and their rounding all reach the window.
    screenCamera({"gameSpace"});
    sprite(solid(sf::Color(200, 40, 90)), 0, 0, 0, 32, 72, false, 0.0f, true, {"gameSpace"});
    sprite(solid(sf::Color(37, 151, 222)), 32, 0, 0, 32, 72, false, 0.0f, true, {"gameSpace"});
    sprite(solid(sf::Color(250, 250, 3)), 64, 0, 0, 32, 72, false, 0.0f, true, {"gameSpace"});
    std::vector<TestPoint> additivePoints;
    std::vector<TestPoint> solidPoints;
    for (int i = 0; i < 12; ++i) {
        const float x = 4.5f + 7.0f * static_cast<float>(i);
        const float strength = 0.3f + 0.45f * static_cast<float>(i % 5);
        additivePoints.push_back({{x, 20.5f + 3.0f * static_cast<float>(i % 4), 1.0f},
                                  glm::vec4(strength, 0.7f * strength, 0.37f * strength, 1.0f)});
        solidPoints.push_back({{x + 2.0f, 50.5f - 2.0f * static_cast<float>(i % 3), 1.0f},
                               glm::vec4(0.13f * static_cast<float>(i % 7), 0.61f,
                                         0.05f * static_cast<float>(i), 0.8f)});
    }
    emitter("additive", additivePoints, 3.0f);
    emitter("solid", solidPoints, 2.0f);
    addRenderer();
    renderer->combinedComposite = true;
    render();
    const auto combined = context->pixels();
    const auto lit = litScenePixels();
    renderer->combinedComposite = false;
    render();
    const auto separate = context->pixels();

    ASSERT_EQ(combined.size(), separate.size());
    ASSERT_EQ(combined.size(), lit.size());
    int differing = 0;
    int changedByParticles = 0;
    for (size_t i = 0; i < combined.size(); ++i) {
        // The two may differ by one step where llvmpipe's conversion to bytes rounds otherwise.
        if (!near(rgb(combined[i]), rgb(separate[i]), 1) && ++differing <= 5)
            ADD_FAILURE() << "pixel " << i << ": one draw " << describe(combined[i])
                          << ", three draws " << describe(separate[i]);
        if (rgb(separate[i]) != rgb(lit[i]))
            ++changedByParticles;
    }
    EXPECT_EQ(differing, 0);
    // The glow spreads well beyond the points themselves.
    EXPECT_GT(changedByParticles, 120);

    // A third frame, after the blur buffer has gone through every level's size twice, repeats the
    // first exactly.
    renderer->combinedComposite = true;
    render();
    EXPECT_TRUE(context->pixels() == combined);
    EXPECT_EQ(renderer->blurBuffer().colorTexture(0).width, 3);
    EXPECT_EQ(renderer->blurBuffer().colorTexture(0).height, 2);
}

// The lighter quality levels (and auto on a software renderer, which also lowers the render
// scale) draw the game space their own way, but the HUD and the in-world hints at the window's
// resolution as the full picture does: the HUD pixel for pixel, the hint's letters too but for one
// step in the blended pixels at their edges, which are blended over an 8-bit picture instead of
// the full picture's 16-bit one.
TEST_F(FBOParticleRendererGlTest, LighterLevelsDrawTheHudAndAHintAsFullDoes) {
    using vorn::rendering::QualityLevel;
    screenCamera({"gameSpace"});
    vorn::rendering::UniformSet lights;
    lights.set("ambientLight", glm::vec3(0.4f));
    lights.set("lights[0].direction", glm::normalize(glm::vec3(1, -1, -1)));
    lights.set("lights[0].color", glm::vec3(1.2f));
    litMesh("box.obj",
            "v -2 -1 0\nv 2 -1 0\nv 2 1 0\nv -2 1 0\nv -2 -1 -2\nv -2 1 -2\n"
            "vn 0 0 1\nvn 1 0 0\nf 1//1 2//1 3//1\nf 1//1 3//1 4//1\nf 5//2 1//2 4//2\n"
            "f 5//2 4//2 6//2\n",
            glm::translate(glm::mat4(1.0f), glm::vec3(70, 20, 0)) *
                glm::rotate(glm::mat4(10.0f), 0.5f, glm::vec3(0, 1, 0)));
    // A dim particle: no glow reaches the HUD or the hint.
    emitter("additive", {{{80.5f, 55.5f, 5.0f}, glm::vec4(0.6f, 0.4f, 0.2f, 1.0f)}}, 3.0f);
    const auto font = vorn::rendering::textureCache().get("textFonts/HarringtonFont.png");
    const auto textProgram =
        vorn::rendering::shaderProgramCache().get("shaders/colorizedTextShader.txt");
    // The hint: a line of text in the game space, over the background.
    auto* hint = new vorn::components::Text(textProgram, font, 0.0f, 0.0f, 0.0f, "Hint", 8.0f, 1.0f,
                                            0.86f, 0.55f);
    hint->advance = 0.7f;
    world->addComponent(entity(glm::translate(glm::mat4(1.0f), glm::vec3(4, 30, 2)), {"gameSpace"}),
                        hint);
    // The HUD: its own camera and renderer, a half-transparent panel and a number over it.
    screenCamera({"hudSpace"});
    sprite(texture4(), 2, 52, 1, 36, 18, true, 0.0f, true, {"hudSpace"});
    world->addComponent(entity(glm::translate(glm::mat4(1.0f), glm::vec3(6, 56, 2)), {"hudSpace"}),
                        new vorn::components::Text(textProgram, font, 0.0f, 0.0f, 0.0f, "42", 9.0f,
                                                   1.0f, 1.0f, 1.0f));
    world->addComponent(new vorn::systems::Renderer("hudSpace", 2.0f, GL_DEPTH_BUFFER_BIT,
                                                    vorn::rendering::UniformSet{}));
    addRenderer(lights);

    // The rectangles compared: the HUD panel and the hint, each with a margin.
    struct Box {
        int x0, y0, x1, y1;
    };
    const Box hud{0, 50, 40, 72};
    const Box hintBox{1, 27, 33, 41};
    const auto region = [&](const std::vector<glm::u8vec4>& pixels, const Box& box) {
        std::vector<glm::u8vec4> part;
        for (int y = box.y0; y < box.y1; ++y)
            for (int x = box.x0; x < box.x1; ++x)
                part.push_back(rgb(pixels[static_cast<size_t>(y * testWidth + x)]));
        return part;
    };

    vorn::rendering::RenderQuality& quality = state->quality;
    quality.setSoftwareRenderer(true);
    render();
    const auto full = context->pixels();
    ASSERT_EQ(renderer->lightFrame(), nullptr);
    const auto fullHint = region(full, hintBox);
    const glm::u8vec4 background(31, 19, 8, 0);
    int letters = 0;
    for (const glm::u8vec4& c : fullHint)
        letters += c.r > background.r + 60 ? 1 : 0;
    EXPECT_GT(letters, 20);

    struct Case {
        const char* name;
        std::optional<QualityLevel> level;
        int sceneWidth;
    };
    const int autoWidth = static_cast<int>(
        std::lround(testWidth * vorn::rendering::RenderQuality::autoSoftwareScale));
    for (const Case& c : {Case{"medium", QualityLevel::medium, testWidth},
                          Case{"low", QualityLevel::low, testWidth},
                          Case{"minimal", QualityLevel::minimal, testWidth},
                          Case{"auto on a software renderer", std::nullopt, autoWidth}}) {
        SCOPED_TRACE(c.name);
        quality.choose(c.level);
        render();
        const auto lighter = context->pixels();
        // Drawn the lighter way: an 8-bit scene at the render scale.
        ASSERT_NE(renderer->lightFrame(), nullptr);
        const auto* scene = renderer->lightFrame()->sceneBuffer();
        ASSERT_NE(scene, nullptr);
        EXPECT_EQ(scene->width(), c.sceneWidth);
        EXPECT_EQ(scene->colorTexture(0).internalFormat, static_cast<GLenum>(GL_RGBA8));

        EXPECT_TRUE(region(lighter, hud) == region(full, hud));
        const auto hintPixels = region(lighter, hintBox);
        int same = 0;
        for (size_t i = 0; i < hintPixels.size(); ++i) {
            same += hintPixels[i] == fullHint[i] ? 1 : 0;
            EXPECT_TRUE(near(hintPixels[i], fullHint[i], 1))
                << "pixel " << i << ": " << describe(hintPixels[i]) << " against "
                << describe(fullHint[i]);
        }
        EXPECT_GT(same, static_cast<int>(hintPixels.size()) * 3 / 4);
        quality.choose(QualityLevel::full);
    }
}
