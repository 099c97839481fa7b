#pragma once

#include "engine/Application.hpp"
#include "engine/EntityHandle.hpp"
#include "engine/World.hpp"

#include <memory>
#include <string>

namespace testsupport {

// A small play area built in code for gameplay tests, run the way the main loop runs a scene:
// an Application without a window, one active world with gravity (0, -40, 0) on "hasGravity"
// bodies and its own sound slot, and five static "platform" boxes (side view, y up):
//
//   ceiling   x -100 .. 110, y 120 .. 130
//   wall      x  100 .. 110, y -10 .. 120          (its face towards the room at x = 100)
//   ledge     x   20 ..  60, y  40 ..  45          (a shelf in the air)
//   floor     x -100 .. 100, y -10 ..   0
//   lower     x -220 .. -120, y -70 .. -60         (reached by walking off the floor's left end)
//
// Frames are driven through Application::runFrame at a fixed time step, with the keys of an input
// script replayed by the engine's input source, so the game's own input path is exercised.
class TestStage {
public:
    static constexpr float floorTop = 0.0f;
    static constexpr float floorLeft = -100.0f;
    static constexpr float wallFace = 100.0f;
    static constexpr float ceilingUnderside = 120.0f;
    static constexpr float ledgeLeft = 20.0f;
    static constexpr float ledgeRight = 60.0f;
    static constexpr float ledgeTop = 45.0f;
    static constexpr float lowerTop = -60.0f;
    static constexpr float step = 1.0f / 60.0f;

    TestStage();
    // Returns the input source to the real devices.
    ~TestStage();
    TestStage(const TestStage&) = delete;
    TestStage& operator=(const TestStage&) = delete;

    // Replays `script` (the --input format) from the next frame on, counting frames from 0 again.
    void play(const std::string& script);
    // Runs `frames` frames of `dt` seconds each.
    void run(int frames, float dt = step);
    // Frames run since the last play() (or since construction).
    uint64_t frame() const { return app.frameCount() - frameBase; }

    vorn::engine::Application app{nullptr, 20.0f, 60.0f, "assets/"};
    std::shared_ptr<vorn::engine::World> world;
    vorn::engine::EntityHandle floor, wall, ceiling, ledge, lower;

private:
    vorn::engine::EntityHandle platform(float left, float bottom, float right, float top);
    uint64_t frameBase = 0;
};

// Registers the game's sound table with the process-wide sound manager once per process.
void registerGameSounds();

} // namespace testsupport
