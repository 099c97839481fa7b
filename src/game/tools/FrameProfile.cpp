#include "game/tools/FrameProfile.hpp"

#include "engine/Application.hpp"
#include "engine/ComponentCollection.hpp"
#include "engine/Diagnostics.hpp"
#include "engine/World.hpp"
#include "rendering/FBOParticleRenderer.hpp"
#include "rendering/RenderQuality.hpp"

#include <chrono>
#include <iomanip>

namespace game {

namespace {

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

FBOParticleRenderer* FrameProfile::findRenderer(const vorn::engine::Application& application) {
    const std::shared_ptr<vorn::engine::World>& world = application.currentWorld();
    if (!world)
        return nullptr;
    for (vorn::engine::Component* component : world->getComponentCollection("renderer"))
        if (auto* renderer = dynamic_cast<FBOParticleRenderer*>(component))
            return renderer;
    return nullptr;
}

void FrameProfile::frameEnded(const vorn::engine::Application& application, uint64_t) {
    if (done)
        return;
    // A renderer of a world switched to later starts timing from its first frame here.
    FBOParticleRenderer* renderer = findRenderer(application);
    if (renderer && !renderer->profile())
        renderer->setProfiling(true);

    const double end = now();
    // Wall time runs from one frame's end to the next, so the first frame only starts the clock.
    if (lastFrameEnd >= 0.0) {
        wallSeconds += end - lastFrameEnd;
        workSeconds += application.lastWorkSeconds();
    }
    lastFrameEnd = end;
    updateSeconds += application.lastUpdateSeconds();
    renderSeconds += application.lastRenderSeconds();
    if (++frames < wanted)
        return;
    if (renderer && renderer->profile())
        renderer->profile()->collectAll();
    print(vorn::engine::Diagnostics::out(), application, renderer);
    done = true;
}

void FrameProfile::print(std::ostream& out, const vorn::engine::Application& application,
                         FBOParticleRenderer* renderer) const {
    const auto milliseconds = [](double seconds, uint64_t count) {
        return count == 0 ? 0.0 : seconds * 1000.0 / static_cast<double>(count);
    };
    const std::ios::fmtflags flags = out.flags();
    const std::streamsize precision = out.precision();
    out << std::fixed << std::setprecision(3);
    out << "Frame profile after " << frames << " frames (milliseconds per frame)\n";
    const vorn::rendering::GpuStepTimer* timer = renderer ? renderer->profile() : nullptr;
    if (timer && timer->frames() > 0) {
        double total = 0.0;
        out << "  GPU, mean of " << timer->frames() << " frames:\n";
        for (int step = 0; step < FBOParticleRenderer::stepCount; ++step) {
            const double ms = timer->meanMilliseconds(step);
            total += ms;
            out << "    " << std::left << std::setw(20) << FBOParticleRenderer::stepName(step)
                << std::right << std::setw(9) << ms << "\n";
        }
        out << "    " << std::left << std::setw(20) << "all steps" << std::right << std::setw(9)
            << total << "\n";
    } else {
        out << "  GPU: no post-processing renderer in this scene\n";
    }
    out << "  CPU:\n";
    out << "    " << std::left << std::setw(20) << "update" << std::right << std::setw(9)
        << milliseconds(updateSeconds, frames) << "\n";
    out << "    " << std::left << std::setw(20) << "render" << std::right << std::setw(9)
        << milliseconds(renderSeconds, frames) << "\n";
    if (frames > 1) {
        const double frameMs = milliseconds(wallSeconds, frames - 1);
        out << "  whole frame " << frameMs << " ms, " << (frameMs > 0.0 ? 1000.0 / frameMs : 0.0)
            << " frames per second\n";
        // On the clock the loop sleeps towards 60 frames a second: the work alone says how many
        // more it could draw.
        if (workSeconds > 0.0)
            out << "  work " << milliseconds(workSeconds, frames - 1)
                << " ms a frame without the pacing sleep\n";
    }
    const std::shared_ptr<vorn::engine::World>& world = application.currentWorld();
    if (const vorn::rendering::RenderQuality* quality =
            world ? vorn::rendering::RenderQuality::of(*world) : nullptr) {
        out << std::setprecision(2) << "  quality " << quality->choiceName() << ": "
            << vorn::rendering::qualityName(quality->level()) << " at render scale "
            << quality->renderScale() << "\n";
    }
    out.flags(flags);
    out.precision(precision);
}

} // namespace game
