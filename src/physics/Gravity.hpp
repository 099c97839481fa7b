#pragma once

#include "engine/Behavior.hpp"

#include <glm/vec3.hpp>

#include <set>
#include <string>

namespace vorn::engine {
class EntityCollection;
}

namespace vorn::systems {

// Accelerates every body whose entity carries a tag: each frame it adds acceleration * dt to the
// "body"'s deltaVelocity. Answers "gravity"; update priority 0, so gameplay of the same priority
// and the bodies (101) see the change in the same frame.
class Gravity : public vorn::engine::Behavior {
public:
    // The name the component answers to; siblings look it up by this.
    inline static const std::string componentName = "gravity";

    Gravity(float accelerationX, float accelerationY, float accelerationZ,
            const std::string& tagName);

    // Forgets the cached entity collection: it belongs to the world being left.
    void onRemoved() override;
    // Adds acceleration * dt to the deltaVelocity of every tagged body.
    void update(float dt) override;

    glm::vec3 acceleration;
    // The tag given at construction plus "body".
    const std::set<std::string> requiredComponents;

private:
    vorn::engine::EntityCollection* bodies = nullptr;
    const vorn::engine::World* bodiesWorld = nullptr;
};

} // namespace vorn::systems
