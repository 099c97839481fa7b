#include "rendering/FBOParticleRenderer.hpp"

#include "engine/Application.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "rendering/FullScreenQuad.hpp"
#include "rendering/Model.hpp"
#include "rendering/ParticlePassRenderable.hpp"
#include "rendering/RenderQuality.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/Text.hpp"
#include "rendering/Texture.hpp"
#include "rendering/VertexBuffer.hpp"

#include <glm/mat4x4.hpp>
#include <glm/matrix.hpp>
#include <glm/vec2.hpp>

#include <cassert>
#include <filesystem>

using vorn::rendering::FrameBufferObject;
using vorn::rendering::ShaderProgram;
using vorn::rendering::Texture;

namespace {

// The clear colour of the play areas: a dark, warm dusk.
constexpr float clearRed = 0.12f;
constexpr float clearGreen = 0.075f;
constexpr float clearBlue = 0.03f;

// The side of the noise texture, in texels (the random normals repeat every this many pixels).
constexpr float noiseSize = 256.0f;

std::shared_ptr<ShaderProgram> loadProgram(const std::string& name) {
    return vorn::rendering::shaderProgramCache().get(name);
}

} // namespace

FBOParticleRenderer::FBOParticleRenderer(const std::string& space, float renderPriority,
                                         vorn::rendering::UniformSet perDraw)
    : Renderer(space, renderPriority, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT,
               std::move(perDraw)) {}

FBOParticleRenderer::~FBOParticleRenderer() = default;

const char* FBOParticleRenderer::stepName(int step) {
    static const char* const names[stepCount] = {
        "scene",        "ambient occlusion", "additive particles", "bright pass",
        "bloom levels", "bloom sum",         "solid particles",    "composite"};
    return step >= 0 && step < stepCount ? names[step] : "";
}

const FrameBufferObject& FBOParticleRenderer::brightLevel(int i) const {
    assert(i >= 0 && i < bloomLevelCount);
    return brightLevels[static_cast<std::size_t>(i)];
}

std::vector<const FrameBufferObject*> FBOParticleRenderer::framebuffers() const {
    std::vector<const FrameBufferObject*> all;
    for (const FrameBufferObject& level : brightLevels)
        all.push_back(&level);
    for (const FrameBufferObject* buffer : {&scene, &litScene, &particles, &bright, &blur, &bloom})
        all.push_back(buffer);
    return all;
}

void FBOParticleRenderer::setProfiling(bool on) {
    if (on && !timer)
        timer = std::make_unique<vorn::rendering::GpuStepTimer>(stepCount);
    else if (!on)
        timer.reset();
}

void FBOParticleRenderer::initialize() {
    Renderer::initialize();
    vorn::engine::World& world = *getWorld();
    additive = &world.getEntities({"renderable", "particleEmitter", "transform", "additive"});
    solid = &world.getEntities({"renderable", "particleEmitter", "transform", "solid"});
    std::set<std::string> textNames = spaces;
    textNames.insert({"text", "transform"});
    texts = &world.getEntities(textNames);

    // The emitters draw their points with this program; holding it here keeps it loaded for as
    // long as the area is shown. The particle layer supplies the file.
    const std::string pointShader = "shaders/particleRender/particlePointShader.txt";
    std::error_code ignored;
    if (std::filesystem::exists(vorn::engine::assetRoot() + pointShader, ignored))
        particlePointProgram = loadProgram(pointShader);

    // A second initialisation (the renderer moved to another world) keeps the buffers it has.
    if (width == 0) {
        GLint viewport[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, viewport);
        width = std::max(viewport[2], 1);
        height = std::max(viewport[3], 1);
    }
    // A run at a lighter quality loads the full frame's programs and makes its buffers only if it
    // ever draws one.
    const vorn::rendering::RenderQuality* quality = vorn::rendering::RenderQuality::of(world);
    if (!quality ||
        (quality->level() == vorn::rendering::QualityLevel::full && quality->renderScale() >= 1.0f))
        makeFullBuffers();
}

void FBOParticleRenderer::makeFullBuffers() {
    if (fullBuffers)
        return;
    fullBuffers = true;
    copyDepthProgram = loadProgram("shaders/copyDepthShader.txt");
    blurVerticalProgram = loadProgram("shaders/hdrBloom/gaussianBlurShader1DV.txt");
    blurHorizontalProgram = loadProgram("shaders/hdrBloom/gaussianBlurShader1DH.txt");
    simpleBlendProgram = loadProgram("shaders/hdrBloom/simpleBlendShader.txt");
    drawProgram = loadProgram("shaders/particleRender/drawShader.txt");
    hdrProgram = loadProgram("shaders/hdrBloom/hdrShader.txt");
    bloomAddProgram = loadProgram("shaders/hdrBloom/bloomAddShader1.txt");
    ambientOcclusionProgram = loadProgram("shaders/ssao/SSAOAmbientAddition.txt");
    compositeProgram = loadProgram("shaders/particleRender/compositeShader.txt");
    noise = vorn::rendering::textureCache().get("images/noise_norm.jpg");
    if (noise)
        noise->setWrap(GL_REPEAT);
    // Bright levels at 1/2, 1/4, ... 1/32 of the window, sizes truncated to whole pixels.
    float scale = 0.5f;
    for (FrameBufferObject& level : brightLevels) {
        level.resize(static_cast<int>(static_cast<float>(width) * scale),
                     static_cast<int>(static_cast<float>(height) * scale));
        level.addColorAttachments(1, true, true);
        level.addDepthAttachment();
        scale *= 0.5f;
    }
    scene.resize(width, height);
    scene.addColorAttachments(2, true, true);
    scene.addDepthAttachment();
    litScene.resize(width, height);
    litScene.addColorAttachments(1, true, true);
    litScene.addDepthAttachment();
    // The particle and bright buffers draw into the scene's own textures: nothing reads the
    // scene's colour, normals or depth after the occlusion step, and both are written whole
    // (cleared, or covered by a full-screen pass) before they are read. The particles are depth
    // tested against the scene's depth itself instead of a copy of it. Three full-size
    // textures fewer, and one copy less a frame.
    particles.shareColorAttachment(scene, 0);
    particles.shareDepthAttachment(scene);
    bright.shareColorAttachment(scene, 1);
    blur.resize(static_cast<int>(static_cast<float>(width) * blurBufferScale),
                static_cast<int>(static_cast<float>(height) * blurBufferScale));
    blur.addColorAttachments(1, true, true);
    bloom.resize(width, height);
    bloom.addColorAttachments(1, false, false);
}

ShaderProgram* FBOParticleRenderer::use(const std::shared_ptr<ShaderProgram>& program) {
    if (!program || program->id() == 0)
        return nullptr;
    state->useProgram(program.get());
    return program.get();
}

void FBOParticleRenderer::setConstantUniforms() {
    if (constantsSet)
        return;
    constantsSet = true;
    if (ShaderProgram* p = use(ambientOcclusionProgram)) {
        const GLint samples = p->location("samples[0]");
        if (samples != -1) {
            const float offsets[8] = {1, 0, -1, 0, 0, 1, 0, -1};
            glUniform2fv(samples, 4, offsets);
        }
        p->setUniform("randomSize", glm::vec2(noiseSize, noiseSize));
        p->setUniform("sampleRad", 2.0f);
        p->setUniform("intensity", 16.0f);
        p->setUniform("scale", 0.5f);
        p->setUniform("bias", 0.4f);
    }
    for (const auto* program :
         {&blurVerticalProgram, &blurHorizontalProgram, &simpleBlendProgram, &bloomAddProgram})
        if (ShaderProgram* p = use(*program))
            p->setUniform("alpha", 1.0f);
}

void FBOParticleRenderer::timeStep(Step step) {
    if (timer)
        timer->begin(step);
}

void FBOParticleRenderer::render(float) {
    if (!refreshState() || width == 0)
        return;
    // The composite goes where the caller was drawing, with the caller's viewport.
    GLint target = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &target);
    GLint viewport[4] = {0, 0, width, height};
    glGetIntegerv(GL_VIEWPORT, viewport);

    // The last frame's time goes to the quality governor, which may change what is drawn now.
    vorn::rendering::RenderQuality& quality = state->quality;
    if (const vorn::engine::Application* application = getWorld()->application())
        quality.frameDrawn(application->lastFrameSeconds(), application->lastWorkSeconds());
    if (quality.level() == vorn::rendering::QualityLevel::full && quality.renderScale() >= 1.0f) {
        light.reset();
        renderFull(target, viewport);
        return;
    }

    if (!light)
        light = std::make_unique<vorn::rendering::LightFrame>();
    vorn::rendering::LightFrame::Passes passes;
    passes.opaque = [this] {
        applyCamera();
        culling = state->projection * state->view;
        particleUniforms.set("V", state->view);
        particleUniforms.set("P", state->projection);
        if (const auto* eye = perDraw.find("eyePos"))
            particleUniforms.set("eyePos", *eye);
        drawOpaquePass();
    };
    passes.blended = [this] {
        textPass = TextPass::apart;
        drawBlendedPass();
    };
    passes.texts = [this] {
        textPass = TextPass::alone;
        drawBlendedPass();
    };
    passes.textRectangles = [this](const GLint* window) { return textRectangles(window); };
    passes.additive = [this] { drawEmitters(*additive, true); };
    passes.solid = [this] { drawEmitters(*solid, false); };
    passes.anyAdditive = !additive->empty();
    passes.anySolid = !solid->empty();
    passes.anyText = !texts->empty();
    if (timer)
        timer->beginFrame();
    light->draw(*state, quality.level(), quality.renderScale(), width, height,
                static_cast<GLuint>(target), viewport, passes, {clearRed, clearGreen, clearBlue},
                timer.get());
    textPass = TextPass::withScene;
    culling.reset();
    finishComposite(static_cast<GLuint>(target));
    if (timer)
        timer->endFrame();
}

void FBOParticleRenderer::renderFull(GLint target, const GLint* viewport) {
    makeFullBuffers();
    setConstantUniforms();
    if (timer)
        timer->beginFrame();
    glViewport(0, 0, width, height);
    drawScene();
    drawAmbientOcclusion();
    // Steps without input are skipped: with no additive emitter the bloom is black and adds
    // nothing, with no solid emitter the solid particles add nothing, and with neither the
    // particle buffer is not needed at all.
    const bool anyAdditive = !additive->empty();
    const bool anySolid = !solid->empty();
    if (anyAdditive || anySolid)
        drawAdditiveParticles(anyAdditive);
    if (anyAdditive) {
        drawBrightPass();
        drawBloomLevels();
        drawBloomSum();
        bloomIsBlack = false;
    } else if (!bloomIsBlack) {
        clearBloom();
    }
    if (anySolid)
        drawSolidParticles();
    composite(static_cast<GLuint>(target), viewport, anyAdditive, anySolid);
    if (timer)
        timer->endFrame();
}

void FBOParticleRenderer::clearBloom() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    for (FrameBufferObject* buffer : {&bright, &bloom}) {
        buffer->bind();
        glClear(GL_COLOR_BUFFER_BIT);
    }
    for (FrameBufferObject& level : brightLevels) {
        level.bind();
        glClear(GL_COLOR_BUFFER_BIT);
    }
    bloomIsBlack = true;
}

void FBOParticleRenderer::drawScene() {
    timeStep(sceneStep);
    glClearColor(clearRed, clearGreen, clearBlue, 0.0f);
    scene.bind();
    glDepthMask(GL_TRUE);
    glClear(clearMask);
    applyCamera();
    particleUniforms.set("V", state->view);
    particleUniforms.set("P", state->projection);
    if (const auto* eye = perDraw.find("eyePos"))
        particleUniforms.set("eyePos", *eye);
    drawOpaquePass();
}

void FBOParticleRenderer::drawAmbientOcclusion() {
    timeStep(ambientOcclusionStep);
    litScene.bind();
    state->disableCap(GL_BLEND);
    // The lit scene starts as a copy of the scene's colour and depth: the blended renderables that
    // follow are depth-tested against it, and pixels the occlusion leaves alone are already right.
    // A same-size, same-format blit is a plain memory copy in software rendering.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, scene.id());
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height,
                      GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, GL_NEAREST);
    // The occlusion pass then shades only pixels with geometry: its quad lies on the far plane
    // and passes the depth test only where the copied depth is nearer, so the cleared background
    // is rejected before the shader runs (the shader would leave those pixels as they are). The
    // depth is kept as copied.
    state->enableCap(GL_DEPTH_TEST);
    glDepthFunc(GL_GREATER);
    glDepthMask(GL_FALSE);
    glDepthRange(1.0, 1.0);
    if (ShaderProgram* p = use(ambientOcclusionProgram)) {
        // Set every frame: the lighter frame shares the program at its own size.
        p->setUniform("screenSize", glm::vec2(width, height));
        p->setUniform("PInv", glm::inverse(state->projection));
        p->bindTexture(*state, *scene.depthTexture(), "depthTex");
        p->bindTexture(*state, scene.colorTexture(0), "colorTex");
        p->bindTexture(*state, scene.colorTexture(1), "normalTex");
        if (noise)
            p->bindTexture(*state, *noise, "randomTex");
        vorn::rendering::drawFullScreenQuad(*state);
    }
    glDepthRange(0.0, 1.0);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    drawBlendedPass();
}

void FBOParticleRenderer::drawAdditiveParticles(bool anyAdditive) {
    timeStep(additiveParticlesStep);
    particles.bind();
    glDepthMask(GL_TRUE);
    // The solid particles clear the colour themselves; only the additive ones need it here.
    if (anyAdditive) {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // The buffer's depth is the scene's, so particles are hidden behind the scene.
    if (!anyAdditive)
        return;
    state->enableCap(GL_DEPTH_TEST);
    state->enableCap(GL_BLEND);
    state->setBlendFunc(GL_ONE, GL_ONE);
    drawEmitters(*additive, true);
}

void FBOParticleRenderer::drawBrightPass() {
    timeStep(brightPassStep);
    bright.bind();
    state->disableCap(GL_BLEND);
    state->disableCap(GL_DEPTH_TEST);
    // The bloom levels use the same program and strength.
    if (ShaderProgram* p = use(hdrProgram)) {
        p->setUniform("strength", bloomStrength);
        p->bindTexture(*state, particles.colorTexture(0), "diffuseTex");
        vorn::rendering::drawFullScreenQuad(*state);
    }
}

void FBOParticleRenderer::drawBloomLevels() {
    timeStep(bloomLevelsStep);
    state->disableCap(GL_BLEND);
    state->disableCap(GL_DEPTH_TEST);
    for (int i = 0; i < bloomLevelCount; ++i) {
        FrameBufferObject& level = brightLevels[static_cast<std::size_t>(i)];
        const int w = level.width();
        const int h = level.height();
        glViewport(0, 0, w, h);
        level.bind();
        if (ShaderProgram* p = use(hdrProgram)) {
            p->bindTexture(*state, bright.colorTexture(0), "diffuseTex");
            vorn::rendering::drawFullScreenQuad(*state);
        }
        attachBlurStorage(i);
        blur.bind();
        // One texel along the blur, nothing across it.
        if (ShaderProgram* p = use(blurVerticalProgram)) {
            p->setUniform("pixelOffset", glm::vec2(0.0f, 1.0f / static_cast<float>(h)));
            p->bindTexture(*state, level.colorTexture(0), "diffuseTex");
            vorn::rendering::drawFullScreenQuad(*state);
        }
        level.bind();
        if (ShaderProgram* p = use(blurHorizontalProgram)) {
            p->setUniform("pixelOffset", glm::vec2(1.0f / static_cast<float>(w), 0.0f));
            p->bindTexture(*state, blur.colorTexture(0), "diffuseTex");
            vorn::rendering::drawFullScreenQuad(*state);
        }
    }
    glViewport(0, 0, width, height);
}

void FBOParticleRenderer::attachBlurStorage(int level) {
    if (blurStorageAttached == level)
        return;
    // Hand back the texture of the level held now, so that each slot keeps its own size.
    if (blurStorageAttached >= 0)
        blur.swapColorTexture(0, blurStorage[static_cast<std::size_t>(blurStorageAttached)]);
    std::unique_ptr<Texture>& storage = blurStorage[static_cast<std::size_t>(level)];
    if (!storage) {
        const FrameBufferObject& sized = brightLevels[static_cast<std::size_t>(level)];
        const Texture& model = blur.colorTexture(0);
        storage = std::make_unique<Texture>();
        storage->allocate(model.internalFormat, sized.width(), sized.height());
        storage->setFilters(GL_LINEAR, GL_LINEAR);
        storage->setWrap(GL_CLAMP_TO_EDGE);
    }
    blur.swapColorTexture(0, storage);
    blurStorageAttached = level;
}

void FBOParticleRenderer::drawBloomSum() {
    timeStep(bloomSumStep);
    // Every pixel is written, so the buffer is not cleared first.
    bloom.bind();
    state->disableCap(GL_BLEND);
    state->disableCap(GL_DEPTH_TEST);
    if (ShaderProgram* p = use(bloomAddProgram)) {
        static const char* const levelNames[bloomLevelCount] = {
            "brightRender2", "brightRender4", "brightRender8", "brightRender16", "brightRender32"};
        p->bindTexture(*state, particles.colorTexture(0), "normalRender");
        for (int i = 0; i < bloomLevelCount; ++i)
            p->bindTexture(*state, brightLevels[static_cast<std::size_t>(i)].colorTexture(0),
                           levelNames[i]);
        vorn::rendering::drawFullScreenQuad(*state);
    }
}

void FBOParticleRenderer::drawSolidParticles() {
    timeStep(solidParticlesStep);
    particles.bind();
    // Cleared to nothing: the clear colour may still be the scene's, and the composite adds
    // whatever this buffer holds to every pixel.
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    state->enableCap(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    state->enableCap(GL_BLEND);
    state->setBlendFunc(GL_SRC_ALPHA, GL_ONE);
    drawEmitters(*solid, false);
}

void FBOParticleRenderer::composite(GLuint target, const GLint* viewport, bool bloomShown,
                                    bool solidShown) {
    timeStep(compositeStep);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    state->disableCap(GL_BLEND);
    state->disableCap(GL_DEPTH_TEST);
    // A multisampled target (an antialiased window) cannot be blitted into.
    GLint sampleBuffers = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    const bool sameSize =
        viewport[0] == 0 && viewport[1] == 0 && viewport[2] == width && viewport[3] == height;
    if (sameSize && combinedComposite && (bloomShown || solidShown)) {
        // Each buffer has the window's size: one draw reads each of them once a pixel and adds
        // them in the window's 8-bit steps, as the copy and the two blended draws would.
        if (ShaderProgram* p = use(compositeProgram)) {
            p->setUniform("addBloom", bloomShown ? 1 : 0);
            p->setUniform("addSolid", solidShown ? 1 : 0);
            p->bindTexture(*state, litScene.colorTexture(0), "litTex");
            p->bindTexture(*state, bloom.colorTexture(0), "bloomTex");
            p->bindTexture(*state, particles.colorTexture(0), "particleTex");
            vorn::rendering::drawFullScreenQuad(*state);
            finishComposite(target);
            return;
        }
    }
    if (sampleBuffers == 0 && sameSize) {
        // Same size, no blending: a blit gives the draw program's pixels for less work.
        glBindFramebuffer(GL_READ_FRAMEBUFFER, litScene.id());
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
    } else if (ShaderProgram* p = use(drawProgram)) {
        // The window has another size now: the picture is stretched over it.
        p->bindTexture(*state, litScene.colorTexture(0), "diffuseTex");
        vorn::rendering::drawFullScreenQuad(*state);
    }
    state->enableCap(GL_BLEND);
    // The bloom (which carries the additive particles themselves) is light added to the scene.
    state->setBlendFunc(GL_ONE, GL_ONE);
    if (ShaderProgram* p = bloomShown ? use(simpleBlendProgram) : nullptr) {
        p->bindTexture(*state, bloom.colorTexture(0), "diffuseTex");
        vorn::rendering::drawFullScreenQuad(*state);
    }
    state->setBlendFunc(GL_SRC_COLOR, GL_ONE);
    if (ShaderProgram* p = solidShown ? use(drawProgram) : nullptr) {
        p->bindTexture(*state, particles.colorTexture(0), "diffuseTex");
        vorn::rendering::drawFullScreenQuad(*state);
    }
    finishComposite(target);
}

void FBOParticleRenderer::finishComposite(GLuint target) {
    // What every renderer leaves for the next: blending on (source alpha, one), depth test off,
    // culling on, depth writes on; the read framebuffer follows the draw one again.
    state->enableCap(GL_BLEND);
    state->setBlendFunc(GL_SRC_ALPHA, GL_ONE);
    state->enableCap(GL_CULL_FACE);
    glDepthMask(GL_TRUE);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target);
}

std::vector<glm::ivec4> FBOParticleRenderer::textRectangles(const GLint* viewport) const {
    std::vector<glm::ivec4> rectangles;
    const glm::ivec4 window(viewport[0], viewport[1], viewport[2], viewport[3]);
    const glm::mat4 viewProjection = state->projection * state->view;
    vorn::engine::World& world = *getWorld();
    for (const vorn::engine::EntityHandle& entity : *texts) {
        const auto* transform = world.getComponentAs<vorn::components::Transform>(
            entity, vorn::components::Transform::componentName);
        const auto* text = world.getComponentAs<vorn::components::Text>(
            entity, vorn::components::Text::componentName);
        if (!transform || !text || text->text.empty() || text->ignoreDepth)
            continue;
        if (text->faceCamera)
            return {window}; // turned by the camera: no cheap bounds, the whole window
        // The string's cells span x .. x + size * (advance * (n - 1) + 1) and y .. y + size.
        const float right =
            text->x +
            text->size * (text->advance * static_cast<float>(text->text.size() - 1) + 1.0f);
        glm::vec2 low(1e9f);
        glm::vec2 high(-1e9f);
        bool behind = false;
        for (const glm::vec2 corner :
             {glm::vec2(text->x, text->y), glm::vec2(right, text->y),
              glm::vec2(text->x, text->y + text->size), glm::vec2(right, text->y + text->size)}) {
            const glm::vec4 clip = viewProjection * transform->matrix * glm::vec4(corner, 0, 1);
            if (!(clip.w > 0.0f)) {
                behind = true;
                break;
            }
            const glm::vec2 ndc = glm::vec2(clip) / clip.w;
            const glm::vec2 pixel =
                glm::vec2(window.x, window.y) + (ndc * 0.5f + 0.5f) * glm::vec2(window.z, window.w);
            low = glm::min(low, pixel);
            high = glm::max(high, pixel);
        }
        if (behind)
            return {window};
        // Two pixels of margin for filtering and rounding, clipped to the window.
        const glm::ivec2 from = glm::max(glm::ivec2(glm::floor(low)) - 2, glm::ivec2(window));
        const glm::ivec2 to = glm::min(glm::ivec2(glm::ceil(high)) + 2,
                                       glm::ivec2(window.x + window.z, window.y + window.w));
        if (to.x > from.x && to.y > from.y)
            rectangles.emplace_back(from.x, from.y, to.x - from.x, to.y - from.y);
    }
    return rectangles;
}

bool FBOParticleRenderer::outsideView(const vorn::engine::EntityHandle& entity,
                                      const glm::mat4& viewProjection) const {
    // The box around every part of the entity's models; anything else it draws is not culled.
    glm::vec3 low(0.0f);
    glm::vec3 high(0.0f);
    bool any = false;
    vorn::engine::World& world = *getWorld();
    for (vorn::engine::Component* component : world.getComponents(entity, "renderable")) {
        const auto* model = dynamic_cast<const vorn::components::Model*>(component);
        if (!model)
            return false;
        for (const vorn::rendering::MeshPart& part : model->parts) {
            if (!part.vertexBuffer || !part.vertexBuffer->hasBounds)
                return false;
            low = any ? glm::min(low, part.vertexBuffer->boundsMin) : part.vertexBuffer->boundsMin;
            high =
                any ? glm::max(high, part.vertexBuffer->boundsMax) : part.vertexBuffer->boundsMax;
            any = true;
        }
    }
    const auto* transform = world.getComponentAs<vorn::components::Transform>(
        entity, vorn::components::Transform::componentName);
    if (!any || !transform)
        return false;
    // Outside when all eight corners lie beyond one and the same plane of the view volume.
    const glm::mat4 toClip = viewProjection * transform->matrix;
    int outside[6] = {0, 0, 0, 0, 0, 0};
    for (int corner = 0; corner < 8; ++corner) {
        const glm::vec4 p =
            toClip * glm::vec4(corner & 1 ? high.x : low.x, corner & 2 ? high.y : low.y,
                               corner & 4 ? high.z : low.z, 1.0f);
        outside[0] += p.x < -p.w;
        outside[1] += p.x > p.w;
        outside[2] += p.y < -p.w;
        outside[3] += p.y > p.w;
        outside[4] += p.z < -p.w;
        outside[5] += p.z > p.w;
    }
    for (const int count : outside)
        if (count == 8)
            return true;
    return false;
}

bool FBOParticleRenderer::drawnInScenePasses(const vorn::engine::EntityHandle& entity) const {
    if (getWorld()->getComponent(entity, "particleEmitter") != nullptr)
        return false;
    if (culling && outsideView(entity, *culling))
        return false;
    if (textPass == TextPass::withScene)
        return true;
    const bool text = getWorld()->getComponent(entity, "text") != nullptr;
    return textPass == TextPass::alone ? text : !text;
}

void FBOParticleRenderer::drawEmitters(vorn::engine::EntityCollection& emitters, bool points) {
    vorn::engine::World& world = *getWorld();
    for (const vorn::engine::EntityHandle& entity : emitters) {
        const auto* transform = world.getComponentAs<vorn::components::Transform>(
            entity, vorn::components::Transform::componentName);
        if (!transform)
            continue;
        for (vorn::engine::Component* component : world.getComponents(entity, "renderable")) {
            auto* emitter = dynamic_cast<vorn::components::ParticlePassRenderable*>(component);
            if (!emitter)
                continue;
            if (points)
                emitter->drawPointPass(*state, transform->matrix, particleUniforms);
            else
                emitter->drawSolidPass(*state, transform->matrix, particleUniforms);
        }
    }
}
