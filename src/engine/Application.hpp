#pragma once

#include "engine/FramePacer.hpp"

#include <SFML/Window/Event.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vorn::engine {

class GraphicsContext;
class World;

// Owns the frame clock, the current world and the world that is to replace it, and runs the main
// loop: measure and pace the frame, poll window events into the current world's input signals,
// update, switch worlds, render, service audio, display.
//
// World switching: setWorld() with no current world installs and starts the world at once.
// Otherwise the new world is started at once (initialised and activated while the old one is still
// current) and becomes current at the end of the next update step, after the old world's update
// pass and its queued destructions; the switched-to world is rendered in that same frame. The old
// world is released with its last shared pointer.
//
// While the window has no focus the loop goes on drawing, sleeping and servicing audio, but no
// world is updated, so the game stands still behind the last picture.
//
// Time: the world keeps the clock's pace at any frame rate. A frame that took longer than the
// largest step (1/minFrameRate) is updated in several equal steps (FramePacer::split, at most
// FramePacer::maxSteps), then drawn once; input, window events and the audio step stay once a
// frame. The render pass is handed the frame's whole world time. The game speed scales the world
// time of every frame, measured or fixed. A fixed time step keeps exactly one update a frame.
class Application {
public:
    // `context` is the window and drawing state (not owned); the asset root is also made the
    // process-wide root.
    Application(GraphicsContext* context, float minFrameRate, float targetFrameRate,
                const std::string& assetRoot);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    ~Application();

    // Installs a world now (no current one) or schedules it as the next one.
    void setWorld(std::shared_ptr<World> world);
    // The current world's update pass (while running), then the pending switch.
    void update(float dt);
    // The main loop; returns when running is false.
    void run();
    // Ends the loop after the current pass.
    void quit() { running = false; }

    bool isRunning() const { return running; }
    // The world that is updated, rendered and receives input.
    const std::shared_ptr<World>& currentWorld() const { return current; }
    // The world scheduled to replace the current one, if any.
    const std::shared_ptr<World>& nextWorld() const { return next; }
    // The window and drawing state.
    GraphicsContext* renderState() const { return context; }
    const std::string& getAssetRoot() const { return assetRoot; }

    // Stops the loop after `frames` passes (0: no limit).
    void setFrameLimit(uint64_t frames) { frameLimit = frames; }
    // Uses `seconds` as every frame's measured time and never sleeps (0: the real clock). Every
    // frame then has exactly one update step.
    void setFixedTimeStep(float seconds) { fixedStep = seconds; }
    // Whether a fixed time step replaces the clock.
    bool hasFixedTimeStep() const { return fixedStep > 0.0f; }
    // Scales the world time of every frame (the players' "game speed"): 1 is real time, 0.6 runs
    // the world at 60 %. Clamped to [0.1, 1]; the update steps stay within the largest step.
    void setGameSpeed(float speed);
    float gameSpeed() const { return speed; }
    // The clock the loop measures frames with and sleeps on; tests hand in a fake one. Both
    // functions must be set; `now` counts seconds from any fixed start.
    struct Clock {
        std::function<double()> now;
        std::function<void(double)> sleep;
    };
    void setClock(Clock clock);
    // With `on`, only the last frame of a frame limit is drawn; the others are updated and
    // displayed without a render pass (fast replays of recorded input).
    void setDrawLastFrameOnly(bool on) { drawLastFrameOnly = on; }
    // Called every frame with dt after the render pass (the sound manager's update).
    void setAudioUpdate(std::function<void(float)> callback) { audioUpdate = std::move(callback); }
    // Called every frame with the frame index just before the picture is displayed.
    void setFrameEndCallback(std::function<void(uint64_t)> callback) {
        frameEnd = std::move(callback);
    }
    // Called with false when the window loses the focus and true when it regains it (the sound
    // manager mutes and unmutes).
    void setFocusCallback(std::function<void(bool)> callback) {
        focusChanged = std::move(callback);
    }
    // Called when the player presses F11 (the game toggles fullscreen).
    void setFullscreenCallback(std::function<void()> callback) {
        fullscreenToggle = std::move(callback);
    }
    // Whether the window has the focus; without it the world is not updated (it is still drawn).
    bool hasFocus() const { return focused; }
    // The size of the picture the scenes draw (800 x 600); mouse positions are mapped into it from
    // the window's size, whatever that is.
    void setFrameSize(unsigned width, unsigned height);
    // The window's size as last reported (the frame size until a resize).
    unsigned windowWidth() const { return windowSize[0]; }
    unsigned windowHeight() const { return windowSize[1]; }
    // Passes completed so far.
    uint64_t frameCount() const { return frames; }
    const FramePacer& pacer() const { return framePacer; }
    // Seconds the processor spent in the last frame's update and render passes (the GPU may
    // still be drawing what the render pass submitted).
    double lastUpdateSeconds() const { return updateSeconds; }
    double lastRenderSeconds() const { return renderSeconds; }
    // The last measured frame (clock mode only, else 0): the seconds its work took, without the
    // pacing sleep, and the whole frame with the sleep.
    double lastWorkSeconds() const { return workSeconds; }
    double lastFrameSeconds() const { return frameSeconds; }
    // The update steps of the last frame.
    int lastStepCount() const { return stepCount; }

    // One pass of the loop after pacing with one update of `dt` of real time (the world gets
    // `dt` times the game speed): events, update, render, audio, frame-end, display.
    void runFrame(float dt);
    // The same with the frame's update steps; `audioSeconds` goes to the audio step.
    void runFrame(const FramePacer::Steps& steps, float audioSeconds);

private:
    void dispatch(sf::Event event);
    void setFocus(bool hasFocus);

    std::shared_ptr<World> current;
    std::shared_ptr<World> next;
    bool running = true;
    GraphicsContext* context;
    float minFrameRate;
    float targetFrameRate;
    std::string assetRoot;
    FramePacer framePacer;

    uint64_t frameLimit = 0;
    float fixedStep = 0.0f;
    float speed = 1.0f;
    Clock clock;
    double workSeconds = 0.0;
    double frameSeconds = 0.0;
    int stepCount = 0;
    bool drawLastFrameOnly = false;
    uint64_t frames = 0;
    double updateSeconds = 0.0;
    double renderSeconds = 0.0;
    std::function<void(float)> audioUpdate;
    std::function<void(uint64_t)> frameEnd;
    std::function<void(bool)> focusChanged;
    std::function<void()> fullscreenToggle;
    bool focused = true;
    unsigned frameSize[2] = {800, 600};
    unsigned windowSize[2] = {800, 600};
};

} // namespace vorn::engine
