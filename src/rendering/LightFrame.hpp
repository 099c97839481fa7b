#pragma once

#include "rendering/FrameBufferObject.hpp"
#include "rendering/QualityLevel.hpp"

#include <GL/glew.h>
#include <glm/vec4.hpp>

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace vorn::rendering {

class GpuStepTimer;
class RenderState;
class ShaderProgram;
class Texture;

// The play areas' picture at the lighter quality levels, and at any level below full scale: the
// 3D scene is drawn at the render scale into 8-bit buffers, finished there (ambient occlusion at
// medium, bloom at medium and low, the particles at every level) and stretched over the window in
// one pass; texts (the in-world hints) are then drawn at the window's own resolution, depth-tested
// against the stretched depth, so they stay as sharp as in the full picture.
//
//   1. scene: the opaque renderables into the scene buffer (RGBA8 colour; with occlusion also
//      the RGBA16F normal and ambient share);
//   2. ambient occlusion (medium): as in the full picture, at the render scale; then the blended
//      renderables, texts excepted;
//   3. additive particles: with bloom into the particle buffer (R11G11B10F: light above white
//      must survive for the bloom, alpha is never read), else straight onto the picture;
//   5. bloom levels (medium, low): the light above white at 1/2 of the render scale, then 1/4,
//      1/8 and 1/16, each blurred vertically and horizontally;
//   6. bloom sum: the particles and the four levels added onto the picture;
//   7. solid particles: into the particle buffer's cleared colour, added onto the picture as the
//      full composite adds them (source colour, one);
//   8. composite: the picture stretched over the window; with texts, the scene's depth stretched
//      over the rectangles the texts cover, then the texts.
// Step numbers follow the full frame's, so the frame profile names them alike; there is no
// separate bright pass (step 4).
//
// Buffers are made on first use and resized when the render scale changes (the governor changes
// it at most once a second). Only one frame is in flight, and every buffer is owned here.
class LightFrame {
public:
    // What the owning renderer draws into whatever is bound, with the camera it set up.
    struct Passes {
        std::function<void()> opaque;   // sets the camera, then the opaque renderables
        std::function<void()> blended;  // the blended renderables, texts excepted
        std::function<void()> texts;    // the texts alone
        std::function<void()> additive; // the additive emitters' point pass
        std::function<void()> solid;    // the solid emitters' solid pass
        // The window rectangles (x, y, width, height) the texts cover, after `opaque` has set the
        // camera, given the window's viewport.
        std::function<std::vector<glm::ivec4>(const GLint* viewport)> textRectangles;
        bool anyAdditive = false;
        bool anySolid = false;
        bool anyText = false;
    };
    // The clear colour of the scene.
    struct Colour {
        float red, green, blue;
    };

    LightFrame();
    ~LightFrame();
    LightFrame(const LightFrame&) = delete;
    LightFrame& operator=(const LightFrame&) = delete;

    // Draws one frame at `level` with the scene at `scale` of `width` x `height` (the size the
    // full picture would have), composed into framebuffer `target` with `viewport`. `timer`, when
    // not null, times the steps.
    void draw(RenderState& state, QualityLevel level, float scale, int width, int height,
              GLuint target, const GLint* viewport, const Passes& passes, Colour clear,
              GpuStepTimer* timer);

    // The scene buffer of the last frame (null before the first), for tests and tools.
    const FrameBufferObject* sceneBuffer() const { return scene.get(); }
    // Every buffer this frame holds now.
    std::vector<const FrameBufferObject*> framebuffers() const;

    static constexpr int bloomLevelCount = 4;

private:
    struct Level {
        FrameBufferObject picture;
        FrameBufferObject blur;
    };
    // Makes the buffers a frame of `width` x `height` with these steps needs and lets go of the
    // others.
    void prepare(int width, int height, bool occlusion, bool bloom, bool particleBuffer);
    void drawOcclusion(RenderState& state);
    void drawBloomLevels(RenderState& state);
    void drawBloomSum(RenderState& state, FrameBufferObject& picture);
    void compose(RenderState& state, FrameBufferObject& picture, GLuint target,
                 const GLint* viewport, const Passes& passes);
    ShaderProgram* use(RenderState& state, std::shared_ptr<ShaderProgram>& program,
                       const char* name);

    std::unique_ptr<FrameBufferObject> scene;
    std::unique_ptr<FrameBufferObject> lit; // the occluded picture (medium only)
    std::unique_ptr<FrameBufferObject> particles;
    std::array<std::unique_ptr<Level>, bloomLevelCount> levels;
    int sceneWidth = 0;
    int sceneHeight = 0;

    std::shared_ptr<ShaderProgram> occlusionProgram;
    std::shared_ptr<ShaderProgram> hdrProgram;
    std::shared_ptr<ShaderProgram> drawProgram;
    std::shared_ptr<ShaderProgram> blurVerticalProgram;
    std::shared_ptr<ShaderProgram> blurHorizontalProgram;
    std::shared_ptr<ShaderProgram> bloomSumProgram;
    std::shared_ptr<ShaderProgram> depthProgram;
    std::shared_ptr<Texture> noise;
};

} // namespace vorn::rendering
