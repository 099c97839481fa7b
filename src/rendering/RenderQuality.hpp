#pragma once

#include "rendering/QualityGovernor.hpp"
#include "rendering/QualityLevel.hpp"

#include <optional>
#include <string>

namespace vorn::engine {
class World;
}

namespace vorn::rendering {

// What a quality level draws beyond the lit scene (see docs/quality.md).
struct QualityFeatures {
    bool ambientOcclusion = true;   // the ambient light darkened in creases
    bool bloom = true;              // bright particles glow
    bool fullPipeline = true;       // the complete post-processing of full (16-bit float buffers)
    bool multisampledWindow = true; // the window is made with 4x antialiasing
    int modelTextureSide = 0;       // the longest side models' textures are loaded at (0: theirs)
};

// The run's picture quality: the player's choice (a level, or auto) and what is drawn now (a level
// and a render scale, the share of the window's width and height the 3D scene is drawn at). One
// per run, kept by the RenderState; every play area's renderer reads it each frame, so a new
// choice shows from the next frame on.
//
// Auto starts at full on a graphics card and at autoSoftwareLevel / autoSoftwareScale on a
// software renderer, and, while governed, lets a QualityGovernor move the scale and the level with
// the frame times the areas report. A named level is drawn at full scale and never moved. Runs at a
// fixed time step are not governed, so their pictures repeat.
class RenderQuality {
public:
    // Where auto starts on a software renderer: the lightest picture, which the benchmarks show
    // holding 60 frames a second with room to spare in the busiest area on a two-core machine
    // (docs/benchmarks.md); the governor climbs from there while there is room.
    static constexpr QualityLevel autoSoftwareLevel = QualityLevel::minimal;
    static constexpr float autoSoftwareScale = 0.5f;

    // Chooses a level, or auto with nothing; takes effect at the next frame.
    void choose(std::optional<QualityLevel> level);
    // The choice as the command line and the settings write it: "auto" or a level's name. False
    // (and nothing changes) for any other name.
    bool choose(const std::string& name);
    // Draws `level` at render scale `scale` (0.1 to 1) from the next frame on, unmoved: for
    // benchmarks and tools that compare levels and scales.
    void drawAt(QualityLevel level, float scale);
    // The level chosen, or nothing for auto.
    std::optional<QualityLevel> choice() const { return chosen; }
    bool isAuto() const { return !chosen.has_value(); }
    // The choice's name: "auto" or the level's.
    std::string choiceName() const;

    // Whether OpenGL is a software renderer (decides where auto starts); set once at start-up.
    void setSoftwareRenderer(bool software);
    bool softwareRenderer() const { return software; }
    // Whether auto may adapt to frame times (off for runs at a fixed time step).
    void setGoverned(bool on);
    bool governed() const { return governing; }

    // What is drawn now.
    QualityLevel level() const { return drawnLevel; }
    float renderScale() const { return drawnScale; }
    QualityFeatures features() const { return featuresOf(drawnLevel); }

    // Called by the play area's renderer once a frame with the last frame's whole time and the
    // part of it spent working (not sleeping); feeds the governor under auto.
    void frameDrawn(double frameSeconds, double workSeconds);

    // What `level` draws.
    static QualityFeatures featuresOf(QualityLevel level);
    // Whether an OpenGL renderer string names a software rasteriser (llvmpipe, softpipe,
    // SwiftShader, "Software Rasterizer", ...).
    static bool isSoftwareRenderer(const std::string& rendererName);
    // The level a run choosing `choice` (nothing: auto) starts at.
    static QualityLevel startLevel(std::optional<QualityLevel> choice, bool softwareRenderer);
    // Sets up what follows from the level a run starts at and holds until the next start: the
    // size the models' textures are loaded at (Texture::setModelTextureLimit). Textures are shared
    // by every area and are not loaded again when the level changes. (The window's antialiasing,
    // which follows it too, is chosen by whoever opens the window.)
    static void startRunAt(QualityLevel level);
    // The quality of the run `world` is shown in (its application's render state), or null.
    static RenderQuality* of(const vorn::engine::World& world);

private:
    // Sets the drawn level and scale from the choice and restarts the governor.
    void restart();

    std::optional<QualityLevel> chosen = QualityLevel::full;
    bool software = false;
    bool governing = false;
    QualityLevel drawnLevel = QualityLevel::full;
    float drawnScale = 1.0f;
    std::optional<QualityGovernor> governor;
    double clock = 0.0;
};

} // namespace vorn::rendering
