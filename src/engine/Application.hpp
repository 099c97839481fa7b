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
    // Uses `seconds` as every frame's measured time and never sleeps (0: the real clock).
    void setFixedTimeStep(float seconds) { fixedStep = seconds; }
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
    // The world's speed: every update gets the frame's time times `factor` (1 is normal; the
    // game-speed assist slows the world to 0.8 or 0.6). Input, drawing and sound keep real time.
    void setGameSpeed(float factor) { speed = factor; }
    float gameSpeed() const { return speed; }
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

    // One pass of the loop after pacing: events, update, render, audio, frame-end, display.
    void runFrame(float dt);

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
    bool drawLastFrameOnly = false;
    uint64_t frames = 0;
    double updateSeconds = 0.0;
    double renderSeconds = 0.0;
    std::function<void(float)> audioUpdate;
    std::function<void(uint64_t)> frameEnd;
    std::function<void(bool)> focusChanged;
    std::function<void()> fullscreenToggle;
    bool focused = true;
    float speed = 1.0f;
    unsigned frameSize[2] = {800, 600};
    unsigned windowSize[2] = {800, 600};
};

} // namespace vorn::engine
