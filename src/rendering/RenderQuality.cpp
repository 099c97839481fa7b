#include "rendering/RenderQuality.hpp"

#include "engine/Application.hpp"
#include "engine/World.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/Texture.hpp"

#include <algorithm>
#include <cctype>

namespace vorn::rendering {

void RenderQuality::choose(std::optional<QualityLevel> level) {
    chosen = level;
    restart();
}

bool RenderQuality::choose(const std::string& name) {
    if (name == "auto") {
        choose(std::nullopt);
        return true;
    }
    const std::optional<QualityLevel> level = parseQualityLevel(name);
    if (!level)
        return false;
    choose(level);
    return true;
}

std::string RenderQuality::choiceName() const {
    return chosen ? qualityName(*chosen) : "auto";
}

void RenderQuality::setSoftwareRenderer(bool on) {
    software = on;
    restart();
}

void RenderQuality::setGoverned(bool on) {
    governing = on;
    restart();
}

QualityLevel RenderQuality::startLevel(std::optional<QualityLevel> choice, bool softwareRenderer) {
    if (choice)
        return *choice;
    return softwareRenderer ? autoSoftwareLevel : QualityLevel::full;
}

void RenderQuality::startRunAt(QualityLevel level) {
    Texture::setModelTextureLimit(featuresOf(level).modelTextureSide);
}

void RenderQuality::restart() {
    drawnLevel = startLevel(chosen, software);
    drawnScale = chosen || !software ? 1.0f : autoSoftwareScale;
    governor.reset();
    clock = 0.0;
    if (!chosen && governing)
        governor.emplace(drawnLevel, drawnScale);
}

void RenderQuality::drawAt(QualityLevel level, float scale) {
    chosen = level;
    restart();
    drawnScale = std::clamp(scale, 0.1f, 1.0f);
}

void RenderQuality::frameDrawn(double frameSeconds, double workSeconds) {
    if (!governor || !(frameSeconds > 0.0))
        return;
    clock += frameSeconds;
    if (governor->frame(clock, workSeconds)) {
        drawnLevel = governor->level();
        drawnScale = governor->scale();
    }
}

QualityFeatures RenderQuality::featuresOf(QualityLevel level) {
    QualityFeatures features;
    switch (level) {
    case QualityLevel::full:
        return features;
    case QualityLevel::medium:
        features.fullPipeline = false;
        features.multisampledWindow = false;
        break;
    case QualityLevel::low:
        features.fullPipeline = false;
        features.multisampledWindow = false;
        features.ambientOcclusion = false;
        break;
    case QualityLevel::minimal:
        features.fullPipeline = false;
        features.multisampledWindow = false;
        features.ambientOcclusion = false;
        features.bloom = false;
        break;
    }
    // Every lighter level draws the scene into 8-bit buffers, mostly below the window's size.
    features.modelTextureSide = 256;
    return features;
}

bool RenderQuality::isSoftwareRenderer(const std::string& rendererName) {
    std::string name = rendererName;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* software :
         {"llvmpipe", "softpipe", "swiftshader", "software rasterizer", "swrast", "lavapipe"})
        if (name.find(software) != std::string::npos)
            return true;
    return false;
}

RenderQuality* RenderQuality::of(const vorn::engine::World& world) {
    vorn::engine::Application* application = world.application();
    auto* state = application ? dynamic_cast<RenderState*>(application->renderState()) : nullptr;
    return state ? &state->quality : nullptr;
}

} // namespace vorn::rendering
