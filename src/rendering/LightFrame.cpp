#include "rendering/LightFrame.hpp"

#include "rendering/FullScreenQuad.hpp"
#include "rendering/GpuStepTimer.hpp"
#include "rendering/RenderQuality.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/Texture.hpp"

#include <glm/mat4x4.hpp>
#include <glm/matrix.hpp>
#include <glm/vec2.hpp>

#include <algorithm>
#include <cmath>

namespace vorn::rendering {

namespace {

// The full frame's step numbers (FBOParticleRenderer::Step), which the profile prints.
enum Step {
    sceneStep = 0,
    ambientOcclusionStep = 1,
    additiveParticlesStep = 2,
    bloomLevelsStep = 4,
    bloomSumStep = 5,
    solidParticlesStep = 6,
    compositeStep = 7
};

void timeStep(GpuStepTimer* timer, Step step) {
    if (timer)
        timer->begin(step);
}

// Copies the scene's depth (and, with `colour`, its colour) into `into`, which has its size.
void copyFrom(const FrameBufferObject& from, const FrameBufferObject& into, bool colour) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from.id());
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, into.id());
    glBlitFramebuffer(0, 0, from.width(), from.height(), 0, 0, from.width(), from.height(),
                      GL_DEPTH_BUFFER_BIT | (colour ? GL_COLOR_BUFFER_BIT : 0u), GL_NEAREST);
}

std::unique_ptr<FrameBufferObject> makeBuffer(int width, int height, GLenum colourFormat,
                                              bool depth) {
    auto buffer = std::make_unique<FrameBufferObject>();
    buffer->resize(width, height);
    buffer->addColorAttachment(colourFormat, true);
    if (depth)
        buffer->addDepthAttachment();
    return buffer;
}

} // namespace

LightFrame::LightFrame() = default;
LightFrame::~LightFrame() = default;

std::vector<const FrameBufferObject*> LightFrame::framebuffers() const {
    std::vector<const FrameBufferObject*> all;
    for (const auto* buffer : {&scene, &lit, &particles})
        if (*buffer)
            all.push_back(buffer->get());
    for (const auto& level : levels)
        if (level) {
            all.push_back(&level->picture);
            all.push_back(&level->blur);
        }
    return all;
}

ShaderProgram* LightFrame::use(RenderState& state, std::shared_ptr<ShaderProgram>& program,
                               const char* name) {
    if (!program)
        program = shaderProgramCache().get(name);
    if (!program || program->id() == 0)
        return nullptr;
    state.useProgram(program.get());
    return program.get();
}

void LightFrame::prepare(int width, int height, bool occlusion, bool bloom, bool particleBuffer) {
    const bool resized = width != sceneWidth || height != sceneHeight;
    sceneWidth = width;
    sceneHeight = height;
    // The scene: 8-bit colour (the window shows 8 bits, and nothing here reads light above
    // white), with the normals only when the occlusion needs them.
    const bool hasNormals = scene && scene->colorCount() == 2;
    if (!scene || resized || hasNormals != occlusion) {
        scene = makeBuffer(width, height, GL_RGBA8, true);
        if (occlusion)
            scene->addColorAttachment(GL_RGBA16F, true);
    }
    if (!occlusion)
        lit.reset();
    else if (!lit || resized)
        lit = makeBuffer(width, height, GL_RGBA8, true);
    if (!particleBuffer)
        particles.reset();
    else if (!particles || resized)
        particles = makeBuffer(width, height, GL_R11F_G11F_B10F, true);
    for (int i = 0; i < bloomLevelCount; ++i) {
        std::unique_ptr<Level>& level = levels[static_cast<size_t>(i)];
        if (!bloom) {
            level.reset();
            continue;
        }
        const int divisor = 2 << i;
        const int w = std::max(width / divisor, 1);
        const int h = std::max(height / divisor, 1);
        if (level && level->picture.width() == w && level->picture.height() == h)
            continue;
        level = std::make_unique<Level>();
        for (FrameBufferObject* buffer : {&level->picture, &level->blur}) {
            buffer->resize(w, h);
            buffer->addColorAttachment(GL_R11F_G11F_B10F, true);
        }
    }
}

void LightFrame::draw(RenderState& state, QualityLevel level, float scale, int width, int height,
                      GLuint target, const GLint* viewport, const Passes& passes, Colour clear,
                      GpuStepTimer* timer) {
    const QualityFeatures features = RenderQuality::featuresOf(level);
    const bool occlusion = features.ambientOcclusion;
    const bool bloom = features.bloom && passes.anyAdditive;
    const int w = std::max(static_cast<int>(std::lround(static_cast<float>(width) * scale)), 1);
    const int h = std::max(static_cast<int>(std::lround(static_cast<float>(height) * scale)), 1);
    prepare(w, h, occlusion, bloom, bloom || passes.anySolid);

    // 1. The scene.
    timeStep(timer, sceneStep);
    glViewport(0, 0, w, h);
    scene->bind();
    glClearColor(clear.red, clear.green, clear.blue, 0.0f);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    passes.opaque();

    // 2. Ambient occlusion, then the blended renderables over the picture.
    timeStep(timer, ambientOcclusionStep);
    if (occlusion)
        drawOcclusion(state);
    FrameBufferObject& picture = occlusion ? *lit : *scene;
    picture.bind();
    state.enableCap(GL_DEPTH_TEST);
    passes.blended();

    // 3. Additive particles: into their own buffer for the bloom, else straight onto the picture
    // (blended, without writing depth, so they never hide the texts drawn later).
    timeStep(timer, additiveParticlesStep);
    bool particleDepth = false;
    if (bloom) {
        particles->bind();
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        copyFrom(*scene, *particles, false);
        particleDepth = true;
        state.enableCap(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
        state.enableCap(GL_BLEND);
        state.setBlendFunc(GL_ONE, GL_ONE);
        passes.additive();
        // 5 and 6. The bloom, added onto the picture with the particles' own light.
        timeStep(timer, bloomLevelsStep);
        drawBloomLevels(state);
        timeStep(timer, bloomSumStep);
        drawBloomSum(state, picture);
    } else if (passes.anyAdditive) {
        picture.bind();
        state.enableCap(GL_DEPTH_TEST);
        glDepthMask(GL_FALSE);
        state.enableCap(GL_BLEND);
        state.setBlendFunc(GL_ONE, GL_ONE);
        passes.additive();
        glDepthMask(GL_TRUE);
    }

    // 7. Solid particles, added as the full composite adds them: their colour times itself.
    if (passes.anySolid) {
        timeStep(timer, solidParticlesStep);
        particles->bind();
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        if (!particleDepth)
            copyFrom(*scene, *particles, false);
        state.enableCap(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
        state.enableCap(GL_BLEND);
        state.setBlendFunc(GL_SRC_ALPHA, GL_ONE);
        passes.solid();
        picture.bind();
        state.disableCap(GL_DEPTH_TEST);
        state.setBlendFunc(GL_SRC_COLOR, GL_ONE);
        if (ShaderProgram* p = use(state, drawProgram, "shaders/particleRender/drawShader.txt")) {
            p->bindTexture(state, particles->colorTexture(0), "diffuseTex");
            drawFullScreenQuad(state);
        }
    }

    // 8. The window.
    timeStep(timer, compositeStep);
    compose(state, picture, target, viewport, passes);
}

void LightFrame::drawOcclusion(RenderState& state) {
    // As in the full picture: the occluded picture starts as a copy of the scene, and the pass
    // runs on the far plane with the depth test "greater", so only pixels with geometry are
    // shaded.
    copyFrom(*scene, *lit, true);
    lit->bind();
    state.disableCap(GL_BLEND);
    state.enableCap(GL_DEPTH_TEST);
    glDepthFunc(GL_GREATER);
    glDepthMask(GL_FALSE);
    glDepthRange(1.0, 1.0);
    if (ShaderProgram* p = use(state, occlusionProgram, "shaders/ssao/SSAOAmbientAddition.txt")) {
        if (!noise) {
            noise = textureCache().get("images/noise_norm.jpg");
            if (noise)
                noise->setWrap(GL_REPEAT);
        }
        const GLint samples = p->location("samples[0]");
        if (samples != -1) {
            const float offsets[8] = {1, 0, -1, 0, 0, 1, 0, -1};
            glUniform2fv(samples, 4, offsets);
        }
        // The program is shared with the full picture's renderer, which sets the same values
        // but its own screen size: every uniform is set here each frame.
        p->setUniform("screenSize", glm::vec2(sceneWidth, sceneHeight));
        p->setUniform("randomSize", glm::vec2(256.0f, 256.0f));
        p->setUniform("sampleRad", 2.0f);
        p->setUniform("intensity", 16.0f);
        p->setUniform("scale", 0.5f);
        p->setUniform("bias", 0.4f);
        p->setUniform("PInv", glm::inverse(state.projection));
        p->bindTexture(state, *scene->depthTexture(), "depthTex");
        p->bindTexture(state, scene->colorTexture(0), "colorTex");
        p->bindTexture(state, scene->colorTexture(1), "normalTex");
        if (noise)
            p->bindTexture(state, *noise, "randomTex");
        drawFullScreenQuad(state);
    }
    glDepthRange(0.0, 1.0);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
}

void LightFrame::drawBloomLevels(RenderState& state) {
    state.disableCap(GL_BLEND);
    state.disableCap(GL_DEPTH_TEST);
    Texture* source = &particles->colorTexture(0);
    for (int i = 0; i < bloomLevelCount; ++i) {
        Level& level = *levels[static_cast<size_t>(i)];
        const int w = level.picture.width();
        const int h = level.picture.height();
        glViewport(0, 0, w, h);
        level.picture.bind();
        // The first level takes the light above white from the particles at half size; each
        // further one halves the level before it, already bright and blurred.
        ShaderProgram* p = i == 0
                               ? use(state, hdrProgram, "shaders/hdrBloom/hdrShader.txt")
                               : use(state, drawProgram, "shaders/particleRender/drawShader.txt");
        if (p) {
            if (i == 0)
                p->setUniform("strength", glm::vec3(0.9f));
            p->bindTexture(state, *source, "diffuseTex");
            drawFullScreenQuad(state);
        }
        level.blur.bind();
        if (ShaderProgram* v =
                use(state, blurVerticalProgram, "shaders/hdrBloom/gaussianBlurShader1DV.txt")) {
            v->setUniform("alpha", 1.0f);
            v->setUniform("pixelOffset", glm::vec2(0.0f, 1.0f / static_cast<float>(h)));
            v->bindTexture(state, level.picture.colorTexture(0), "diffuseTex");
            drawFullScreenQuad(state);
        }
        level.picture.bind();
        if (ShaderProgram* hp =
                use(state, blurHorizontalProgram, "shaders/hdrBloom/gaussianBlurShader1DH.txt")) {
            hp->setUniform("alpha", 1.0f);
            hp->setUniform("pixelOffset", glm::vec2(1.0f / static_cast<float>(w), 0.0f));
            hp->bindTexture(state, level.blur.colorTexture(0), "diffuseTex");
            drawFullScreenQuad(state);
        }
        source = &level.picture.colorTexture(0);
    }
    glViewport(0, 0, sceneWidth, sceneHeight);
}

void LightFrame::drawBloomSum(RenderState& state, FrameBufferObject& picture) {
    picture.bind();
    state.disableCap(GL_DEPTH_TEST);
    state.enableCap(GL_BLEND);
    state.setBlendFunc(GL_ONE, GL_ONE);
    if (ShaderProgram* p =
            use(state, bloomSumProgram, "shaders/hdrBloom/bloomAddLightShader.txt")) {
        static const char* const names[bloomLevelCount] = {"brightRender2", "brightRender4",
                                                           "brightRender8", "brightRender16"};
        p->bindTexture(state, particles->colorTexture(0), "normalRender");
        for (int i = 0; i < bloomLevelCount; ++i)
            p->bindTexture(state, levels[static_cast<size_t>(i)]->picture.colorTexture(0),
                           names[i]);
        drawFullScreenQuad(state);
    }
}

void LightFrame::compose(RenderState& state, FrameBufferObject& picture, GLuint target,
                         const GLint* viewport, const Passes& passes) {
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    state.disableCap(GL_BLEND);
    state.disableCap(GL_DEPTH_TEST);
    GLint sampleBuffers = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    const bool sameSize = viewport[0] == 0 && viewport[1] == 0 && viewport[2] == sceneWidth &&
                          viewport[3] == sceneHeight;
    if (sameSize && sampleBuffers == 0) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, picture.id());
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glBlitFramebuffer(0, 0, sceneWidth, sceneHeight, 0, 0, sceneWidth, sceneHeight,
                          GL_COLOR_BUFFER_BIT, GL_NEAREST);
    } else if (ShaderProgram* p =
                   use(state, drawProgram, "shaders/particleRender/drawShader.txt")) {
        p->bindTexture(state, picture.colorTexture(0), "diffuseTex");
        drawFullScreenQuad(state);
    }
    if (!passes.anyText)
        return;

    // The scene's depth where the texts are (a whole-window depth copy would cost about as much
    // as the picture itself), so they are hidden behind the scene as in the full picture.
    const std::vector<glm::ivec4> rectangles =
        passes.textRectangles ? passes.textRectangles(viewport) : std::vector<glm::ivec4>{};
    if (rectangles.empty())
        return;
    state.enableCap(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    glDepthMask(GL_TRUE);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_SCISSOR_TEST);
    if (ShaderProgram* p = use(state, depthProgram, "shaders/upscaleDepthShader.txt")) {
        p->setUniform("sourceSize", glm::vec2(sceneWidth, sceneHeight));
        p->bindTexture(state, *scene->depthTexture(), "depthTex");
        for (const glm::ivec4& r : rectangles) {
            glScissor(r.x, r.y, r.z, r.w);
            drawFullScreenQuad(state);
        }
    }
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthFunc(GL_LESS);
    passes.texts();
    state.disableCap(GL_DEPTH_TEST);
}

} // namespace vorn::rendering
