#include "components/WaspBehaviour.hpp"

#include "components/PositionalSound.hpp"
#include "components/TransformAttachment.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/Body.hpp"

#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <cstdlib>

namespace components {

using vorn::components::Transform;

namespace {
constexpr float twoPi = 6.2831853f;
} // namespace

WaspBehaviour::WaspBehaviour(const glm::vec3& start, const glm::vec3& end, float radius,
                             float speed, const glm::mat4& shape, vorn::engine::EntityHandle wings,
                             const glm::vec3& wingRoot)
    : start(start), end(end), radius(radius), speed(speed), shape(shape), wings(wings),
      wingRoot(wingRoot) {
    addName(componentName);
}

glm::vec3 WaspBehaviour::pathPoint(float seconds) const {
    const glm::vec3 bob(0.0f, bobHeight * std::sin(twoPi * bobRate * seconds), 0.0f);
    const float distance = speed * seconds;
    if (radius > 0.0f) {
        const float angle = distance / radius;
        return start + glm::vec3(radius * std::cos(angle), radius * std::sin(angle), 0.0f) + bob;
    }
    const float length = glm::distance(start, end);
    if (!(length > 0.0f))
        return start + bob;
    // There and back: the second half of each round trip walks the line backwards.
    const float round = std::fmod(distance, 2.0f * length);
    const float along = round <= length ? round : 2.0f * length - round;
    return start + (end - start) * (along / length) + bob;
}

void WaspBehaviour::beatWings(float open) {
    vorn::engine::World* world = getWorld();
    auto* attachment = world->getComponentAs<vorn::components::TransformAttachment>(
        {wings.entityId, world}, vorn::components::TransformAttachment::componentName);
    if (attachment == nullptr)
        return;
    glm::mat4 offset = glm::translate(glm::mat4(1.0f), wingRoot);
    offset = glm::scale(offset, glm::vec3(1.0f, open, 1.0f));
    attachment->offsetMatrix = glm::translate(offset, -wingRoot);
}

void WaspBehaviour::initialize() {
    vorn::engine::World* world = getWorld();
    if (auto* transform = world->getComponentAs<Transform>(handle(), Transform::componentName))
        transform->setPosition(pathPoint(flown));
}

void WaspBehaviour::update(float dt) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr)
        return;
    if (world->getComponent(handle(), "dead") != nullptr) {
        beatWings(1.0f);
        return;
    }
    auto* transform = world->getComponentAs<Transform>(handle(), Transform::componentName);
    auto* body = world->getComponentAs<vorn::components::Body>(handle(), "body");
    if (transform == nullptr || body == nullptr || !(dt > 0.0f))
        return;

    flown += dt;
    const glm::vec3 here = transform->position();
    const glm::vec3 next = pathPoint(flown);
    // The velocity that lands the body on the path point in this frame's step (it has no other
    // change of velocity while it flies).
    body->velocity = (next - here) / dt;
    body->deltaVelocity = glm::vec3(0.0f);
    if (std::abs(body->velocity.x) > 0.5f)
        facing = body->velocity.x > 0.0f ? 1.0f : -1.0f;
    // Head along +x; flying towards -x it is turned half round about y.
    glm::mat4 placed = glm::translate(glm::mat4(1.0f), here);
    if (facing < 0.0f)
        placed = glm::rotate(placed, twoPi / 2.0f, glm::vec3(0.0f, 1.0f, 0.0f));
    transform->matrix = placed * shape;

    const float beat = std::abs(std::cos(twoPi / 2.0f * flapRate * flown));
    beatWings(flapClosed + (1.0f - flapClosed) * beat);

    const float r = static_cast<float>(std::rand()) / static_cast<float>(RAND_MAX);
    if (r < dt / buzzInterval)
        vorn::components::PositionalSound::play("waspBuzz", here, 5.0f);
}

} // namespace components
