#pragma once

#include <cstdint>
#include <ostream>

namespace vorn::engine {
class Application;
}

class FBOParticleRenderer;

namespace game {

// The frame profile of `mossfang --profile-frames N`: from the first frame on it times the steps
// of the current world's post-processing renderer on the GPU and adds up the processor time of
// update and render, the wall time of whole frames and, on the clock, the part of it spent working
// rather than sleeping towards 60 frames a second; after N frames it prints the means once, with
// the picture quality drawn at the end.
class FrameProfile {
public:
    explicit FrameProfile(uint64_t frames) : wanted(frames) {}

    // Call at the end of every frame (before display) with the frame's index.
    void frameEnded(const vorn::engine::Application& application, uint64_t frame);
    // Whether the profile has been printed.
    bool printed() const { return done; }

    // The post-processing renderer of the application's current world, or null.
    static FBOParticleRenderer* findRenderer(const vorn::engine::Application& application);

private:
    void print(std::ostream& out, const vorn::engine::Application& application,
               FBOParticleRenderer* renderer) const;

    uint64_t wanted;
    uint64_t frames = 0;
    double updateSeconds = 0.0;
    double renderSeconds = 0.0;
    double wallSeconds = 0.0;
    double workSeconds = 0.0;
    double lastFrameEnd = -1.0;
    bool done = false;
};

} // namespace game
