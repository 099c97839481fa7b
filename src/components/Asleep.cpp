#include "components/Asleep.hpp"

#include "engine/World.hpp"
#include "physics/Body.hpp"

namespace components {

Asleep::Asleep(const std::string& wakeName) : wakeName(wakeName) {
    addName(componentName);
    updatePriority = 50.0f;
}

void Asleep::update(float) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr)
        return;
    if (auto* body = world->getComponentAs<vorn::components::Body>(handle(), "body")) {
        body->velocity = glm::vec3(0.0f);
        body->deltaVelocity = glm::vec3(0.0f);
    }
}

} // namespace components
