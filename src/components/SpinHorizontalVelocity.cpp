#include "components/SpinHorizontalVelocity.hpp"

#include "audio/SoundEmitter.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/CircleCollider.hpp"
#include "physics/RigidBody.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace vorn::components {

namespace {
constexpr float pi = 3.1415927f;
constexpr float degreesToRadians = 0.017453293f;
} // namespace

SpinHorizontalVelocity::SpinHorizontalVelocity() {
    addName(componentName);
}

void SpinHorizontalVelocity::update(float) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr)
        return;
    auto* transform = world->getComponentAs<Transform>(handle(), Transform::componentName);
    const auto* body = world->getComponentAs<RigidBody>(handle(), "rigidBody");
    const auto* circle = world->getComponentAs<CircleCollider>(handle(), "circleCollider");
    if (transform == nullptr || body == nullptr || circle == nullptr)
        return;
    const float v = body->velocity.x;
    const float r = circle->radius();
    // A circle without size cannot roll; turning it would fill the matrix with infinities.
    if (r > 0.0f) {
        // v / (pi * r) half turns, two degrees each: a fixed step per update that looks like
        // rolling at the game's frame rate, turning against the sense of travel.
        const float degrees = -v / (r * pi) * 2.0f * pi;
        transform->matrix =
            glm::rotate(transform->matrix, degrees * degreesToRadians, glm::vec3(0.0f, 0.0f, 1.0f));
    }
    if (auto* emitter = world->getComponentAs<SoundEmitter>(handle(), "soundEmitter"))
        emitter->setVolume(std::abs(v) * 0.1f);
}

} // namespace vorn::components
