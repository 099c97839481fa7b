#pragma once

#include "rendering/FrameBufferObject.hpp"
#include "rendering/GpuStepTimer.hpp"
#include "rendering/LightFrame.hpp"
#include "rendering/Renderer.hpp"

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorn::rendering {
class ShaderProgram;
class Texture;
} // namespace vorn::rendering

// The renderer of a play area's game space. It draws the scene into off-screen buffers and
// composes the window's picture from them in eight steps a frame:
//   1. scene: the opaque renderables into the scene buffer (colour and view-space normal);
//   2. ambient occlusion: the scene's ambient light darkened where depth and normals show
//      creases, into the lit-scene buffer, then the blended renderables over it;
//   3. additive particles: the "additive" emitters' points into the particle buffer, depth
//      tested against the scene's depth (the particle buffer draws into the scene's colour and
//      depth textures, which nothing reads any more; the bright buffer into its normals);
//   4. bright pass: the part of the particles' light above white, into the bright buffer;
//   5. bloom levels: the bright buffer at 1/2 ... 1/32 size, each blurred vertically and then
//      horizontally through the one blur buffer;
//   6. bloom sum: the particles and the five levels added into the bloom buffer;
//   7. solid particles: the "solid" emitters into the particle buffer's cleared colour;
//   8. composite: lit scene, then the bloom added, then the solid particles, into the
//      framebuffer that was bound when render() began (the window's, in the game).
//
// Buffers are sized once, from the viewport when the renderer is initialised; a later window
// size only stretches the composite. Emitters are drawn through the particle-pass interface of
// the rendering layer, so this layer never sees the particle layer. Answers "renderer".
//
// These eight steps are the `full` quality level at full render scale. Every frame the renderer
// reads the run's RenderQuality (the render state's): at a lighter level or a smaller render scale
// it draws the frame through a LightFrame instead, with the texts (the in-world hints) drawn
// apart, at the window's resolution. The full frame's buffers are made only once a full frame is
// drawn, so a run that never draws one never holds them.
class FBOParticleRenderer : public vorn::systems::Renderer {
public:
    // The steps of a frame, in order, as the frame profile names them.
    enum Step {
        sceneStep,
        ambientOcclusionStep,
        additiveParticlesStep,
        brightPassStep,
        bloomLevelsStep,
        bloomSumStep,
        solidParticlesStep,
        compositeStep,
        stepCount
    };
    static constexpr int bloomLevelCount = 5;

    // A renderer for `space` at `renderPriority` that clears colour and depth and draws with
    // `perDraw` (the light uniforms).
    FBOParticleRenderer(const std::string& space, float renderPriority,
                        vorn::rendering::UniformSet perDraw);
    ~FBOParticleRenderer() override;

    // Builds the emitter collections and takes the buffers' size from the current viewport; at the
    // full level and scale it also loads the programs and the noise texture and makes the buffers
    // (else the first full frame does).
    void initialize() override;
    // The eight steps of the frame, or the lighter frame the run's quality asks for.
    void render(float dt) override;

    // The name of a step, for the frame profile.
    static const char* stepName(int step);
    // Starts (or stops) timing the steps on the GPU; see profile().
    void setProfiling(bool on);
    // The step timer while profiling, else null.
    vorn::rendering::GpuStepTimer* profile() const { return timer.get(); }

    // The buffers, for tests and tools.
    const vorn::rendering::FrameBufferObject& sceneBuffer() const { return scene; }
    const vorn::rendering::FrameBufferObject& litSceneBuffer() const { return litScene; }
    const vorn::rendering::FrameBufferObject& particleBuffer() const { return particles; }
    const vorn::rendering::FrameBufferObject& brightBuffer() const { return bright; }
    const vorn::rendering::FrameBufferObject& blurBuffer() const { return blur; }
    const vorn::rendering::FrameBufferObject& bloomBuffer() const { return bloom; }
    // Bright level i: 0 is the 1/2-size level, 4 the 1/32-size one.
    const vorn::rendering::FrameBufferObject& brightLevel(int i) const;
    // All eleven buffers.
    std::vector<const vorn::rendering::FrameBufferObject*> framebuffers() const;
    // The lighter frame, once one has been drawn (else null).
    const vorn::rendering::LightFrame* lightFrame() const { return light.get(); }

    // Scale of the blur buffer's first size.
    static constexpr float blurBufferScale = 0.25f;
    // Multiplies the light above white in the bright pass.
    glm::vec3 bloomStrength{0.9f, 0.9f, 0.9f};
    // Whether the composite adds the lit scene, the bloom and the solid particles in one draw
    // instead of copying the lit scene and blending the other two over it. The one draw rounds as
    // the window's 8-bit blending does, but llvmpipe's own conversion to bytes differs from it by
    // one step in a few pixels (2 of 480,000 in the benchmark scene), and it measured no faster
    // there, so the copy and two blends stay the default.
    bool combinedComposite = false;

protected:
    // Particle emitters are drawn in the particle passes only, never into the scene.
    bool drawnInScenePasses(const vorn::engine::EntityHandle& entity) const override;

private:
    // Which renderables the scene passes draw: all of them, all but the texts, or the texts only.
    enum class TextPass { withScene, apart, alone };
    // The eight steps of the full frame.
    void renderFull(GLint target, const GLint* viewport);
    // Loads the full frame's programs and noise and makes its buffers, sized from width x height
    // (once).
    void makeFullBuffers();
    // Whether every model of `entity` lies outside the view of `viewProjection` (false for
    // entities that draw anything else, or whose models have no bounds).
    bool outsideView(const vorn::engine::EntityHandle& entity,
                     const glm::mat4& viewProjection) const;
    // The window rectangles the space's texts cover, with the camera of this frame.
    std::vector<glm::ivec4> textRectangles(const GLint* viewport) const;
    void drawScene();
    void drawAmbientOcclusion();
    // `anyAdditive`: whether there are additive emitters (else only the depth is prepared).
    void drawAdditiveParticles(bool anyAdditive);
    void drawBrightPass();
    void drawBloomLevels();
    void drawBloomSum();
    // Gives the blur buffer bright level `level`'s size, with storage kept for that size.
    void attachBlurStorage(int level);
    void drawSolidParticles();
    // `bloomShown`, `solidShown`: whether the bloom and the solid particles have anything to add.
    void composite(GLuint target, const GLint* viewport, bool bloomShown, bool solidShown);
    // Leaves the state every renderer leaves for the next.
    void finishComposite(GLuint target);
    // Makes the bright buffer, the levels and the bloom black, for frames without bloom.
    void clearBloom();
    // Draws every emitter of `emitters` with its point pass (`points`) or its solid pass.
    void drawEmitters(vorn::engine::EntityCollection& emitters, bool points);
    // Makes `program` current (nothing happens for a program that failed to load).
    vorn::rendering::ShaderProgram* use(const std::shared_ptr<vorn::rendering::ShaderProgram>& p);
    // Sets the uniforms that never change from frame to frame, once per program.
    void setConstantUniforms();
    void timeStep(Step step);

    vorn::engine::EntityCollection* additive = nullptr;
    vorn::engine::EntityCollection* solid = nullptr;
    vorn::engine::EntityCollection* texts = nullptr;
    TextPass textPass = TextPass::withScene;
    // While the lighter frame draws: the view and projection its scene passes cull models by.
    std::optional<glm::mat4> culling;
    bool fullBuffers = false;
    std::unique_ptr<vorn::rendering::LightFrame> light;

    std::array<vorn::rendering::FrameBufferObject, bloomLevelCount> brightLevels;
    vorn::rendering::FrameBufferObject scene;
    vorn::rendering::FrameBufferObject litScene;
    vorn::rendering::FrameBufferObject particles;
    vorn::rendering::FrameBufferObject bright;
    vorn::rendering::FrameBufferObject blur;
    vorn::rendering::FrameBufferObject bloom;
    // Storage of the blur buffer at each bright level's size: the buffer takes the level's texture
    // for that level's blur instead of being reallocated five times a frame.
    std::array<std::unique_ptr<vorn::rendering::Texture>, bloomLevelCount> blurStorage;
    // The level whose storage the blur buffer holds now, or -1 for its own first texture.
    int blurStorageAttached = -1;

    std::shared_ptr<vorn::rendering::ShaderProgram> particlePointProgram;
    std::shared_ptr<vorn::rendering::ShaderProgram> copyDepthProgram;
    std::shared_ptr<vorn::rendering::ShaderProgram> blurVerticalProgram;
    std::shared_ptr<vorn::rendering::ShaderProgram> blurHorizontalProgram;
    std::shared_ptr<vorn::rendering::ShaderProgram> simpleBlendProgram;
    std::shared_ptr<vorn::rendering::ShaderProgram> drawProgram;
    std::shared_ptr<vorn::rendering::ShaderProgram> hdrProgram;
    std::shared_ptr<vorn::rendering::ShaderProgram> bloomAddProgram;
    std::shared_ptr<vorn::rendering::ShaderProgram> ambientOcclusionProgram;
    std::shared_ptr<vorn::rendering::ShaderProgram> compositeProgram;
    std::shared_ptr<vorn::rendering::Texture> noise;

    // The camera's "V", "P" and "eyePos" for the emitters' passes.
    vorn::rendering::UniformSet particleUniforms;
    int width = 0;
    int height = 0;
    bool constantsSet = false;
    bool bloomIsBlack = false;
    std::unique_ptr<vorn::rendering::GpuStepTimer> timer;
};
