#pragma once

#include <glm/vec3.hpp>

#include <string>

namespace vorn::engine {

// Something that moves with a velocity (the physics body). Layers that may not depend on physics
// (the sound listener) read a "body" component's velocity through this interface.
class VelocitySource {
public:
    // The name of the component that provides the velocity, the physics body.
    inline static const std::string componentName = "body";

    virtual ~VelocitySource() = default;
    // Current velocity in units per second.
    virtual glm::vec3 currentVelocity() const = 0;
};

} // namespace vorn::engine
