#pragma once

#include "audio/SoundManager.hpp"
#include "engine/Behavior.hpp"

#include <glm/vec3.hpp>

namespace vorn::components {

// Makes its entity the 3D listener: every update copies the entity's "transform" position (and,
// when it has one, its "body" velocity) into the sound manager, which pushes them to the sound
// layer within 0.1 s. Answers "listener".
class SoundListener : public vorn::engine::Behavior {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = "listener";

    // Puts the manager's listener at (0, 0, -500), at rest, with the given up and forward vectors.
    SoundListener(const glm::vec3& up, const glm::vec3& forward,
                  vorn::audio::SoundManager& manager = vorn::audio::SoundManager::instance());

    // Copies the entity's position and velocity into the manager's listener.
    void update(float dt) override;

private:
    vorn::audio::SoundManager& manager;
};

} // namespace vorn::components
