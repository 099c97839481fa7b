#include "game/tools/FrameMeter.hpp"

#include "engine/Application.hpp"
#include "engine/World.hpp"
#include "game/tools/DesignerSettings.hpp"
#include "game/tools/FrameProfile.hpp"
#include "rendering/FBOParticleRenderer.hpp"
#include "rendering/GpuStepTimer.hpp"
#include "rendering/RenderQuality.hpp"
#include "rendering/Text.hpp"

#include <chrono>
#include <cstdio>

namespace game {

namespace {

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

FrameMeter::FrameMeter(std::shared_ptr<DesignerSettings> settings) : settings(std::move(settings)) {
    addName(componentName);
}

bool FrameMeter::gpuTotals(double& milliseconds, unsigned long long& frames) const {
    vorn::engine::Application* application = getWorld()->application();
    FBOParticleRenderer* renderer =
        application ? FrameProfile::findRenderer(*application) : nullptr;
    if (!renderer)
        return false;
    if (!renderer->profile())
        renderer->setProfiling(true);
    const vorn::rendering::GpuStepTimer* timer = renderer->profile();
    if (!timer)
        return false;
    milliseconds = 0.0;
    for (int step = 0; step < FBOParticleRenderer::stepCount; ++step)
        milliseconds += timer->meanMilliseconds(step);
    frames = timer->frames();
    milliseconds *= static_cast<double>(frames);
    return true;
}

std::string FrameMeter::format(const Window& w) {
    const double frames = w.frames > 0 ? static_cast<double>(w.frames) : 1.0;
    const double fps = w.seconds > 0.0 ? static_cast<double>(w.frames) / w.seconds : 0.0;
    char post[32] = "--";
    if (w.postFrames > 0)
        std::snprintf(post, sizeof post, "%.2f", w.post / static_cast<double>(w.postFrames));
    char line[128];
    std::snprintf(line, sizeof line, "%.0f fps  update %.2f  render %.2f  post %s ms", fps,
                  w.update * 1000.0 / frames, w.render * 1000.0 / frames, post);
    return line;
}

std::string FrameMeter::readout() const {
    std::string line = format(haveLast ? last : current);
    // The picture quality drawn now: the level, and the share of the window's width and height
    // the 3D scene is drawn at.
    if (const vorn::rendering::RenderQuality* quality =
            getWorld() ? vorn::rendering::RenderQuality::of(*getWorld()) : nullptr) {
        char text[64];
        std::snprintf(text, sizeof text, "  %s%s %.0f%%", quality->isAuto() ? "auto " : "",
                      vorn::rendering::qualityName(quality->level()),
                      quality->renderScale() * 100.0f);
        line += text;
    }
    return line;
}

void FrameMeter::update(float) {
    vorn::engine::World* world = getWorld();
    if (!world)
        return;
    auto* text = world->getComponentAs<vorn::components::Text>(handle(), "text");
    if (!settings || !settings->frameMeter) {
        // Hidden: nothing is measured, so showing it again starts a fresh second.
        if (text)
            text->text.clear();
        windowStart = -1.0;
        haveLast = false;
        return;
    }
    const double t = now();
    double gpuMs = 0.0;
    unsigned long long gpuFrames = 0;
    const bool gpu = gpuTotals(gpuMs, gpuFrames);
    if (windowStart < 0.0) {
        windowStart = t;
        current = Window{};
        gpuStartMs = gpuMs;
        gpuStartFrames = gpuFrames;
    } else {
        // The Application's figures are those of the previous frame, complete by now.
        if (const vorn::engine::Application* application = world->application()) {
            current.update += application->lastUpdateSeconds();
            current.render += application->lastRenderSeconds();
        }
        ++current.frames;
    }
    current.seconds = t - windowStart;
    if (gpu && gpuFrames > gpuStartFrames) {
        current.post = gpuMs - gpuStartMs;
        current.postFrames = static_cast<unsigned>(gpuFrames - gpuStartFrames);
    }
    if (current.seconds >= 1.0) {
        last = current;
        haveLast = true;
        windowStart = t;
        current = Window{};
        gpuStartMs = gpuMs;
        gpuStartFrames = gpuFrames;
    }
    if (text)
        text->text = readout();
}

} // namespace game
