#include "components/MovingLeaf.hpp"

#include "components/ParticleBurst.hpp"
#include "components/PositionalSound.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/RigidBody.hpp"

#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>

namespace components {

using vorn::components::RigidBody;
using vorn::components::Transform;
using vorn::engine::EntityHandle;

MovingLeaf::MovingLeaf(const glm::vec3& start, const glm::vec3& end, float speed, float sinkDepth,
                       float sinkSpeed)
    : start(start), end(end), speed(speed), sinkDepth(sinkDepth), sinkSpeed(sinkSpeed) {
    addName(componentName);
}

glm::vec3 MovingLeaf::pathPoint() const {
    const float length = glm::distance(start, end);
    if (!(length > 0.0f))
        return start;
    // There and back: the second half of the round trip walks the path backwards.
    const float along = travelled <= length ? travelled : 2.0f * length - travelled;
    return start + (end - start) * (along / length);
}

std::vector<uint32_t> MovingLeaf::findRiders() const {
    std::vector<uint32_t> found;
    const vorn::engine::World& world = *getWorld();
    const auto* own = world.getComponentAs<RigidBody>(handle(), RigidBody::componentName);
    if (own == nullptr)
        return found;
    for (const vorn::components::Contact& contact : own->contacts) {
        const float depth = glm::length(contact.separation);
        // The leaf's separation points out of the rider: down for one lying on top.
        if (!(depth > 0.0f) || -contact.separation.y / depth <= riderNormal)
            continue;
        const EntityHandle other{contact.other.entityId, getWorld()};
        const auto* body = world.getComponentAs<RigidBody>(other, RigidBody::componentName);
        if (body == nullptr || body->isStatic != 0.0f)
            continue;
        if (std::find(found.begin(), found.end(), other.entityId) == found.end())
            found.push_back(other.entityId);
    }
    return found;
}

void MovingLeaf::rustle(const glm::vec3& at) {
    if (sinceRustle < rustleRest)
        return;
    sinceRustle = 0.0f;
    vorn::components::PositionalSound::play("leafRustle", at, 5.0f);
    ParticleBurst::at(*getWorld(), "leafFlutter", at);
}

void MovingLeaf::update(float dt) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr)
        return;
    sinceRustle += dt;
    auto* transform = world->getComponentAs<Transform>(handle(), Transform::componentName);
    if (transform == nullptr)
        return;
    const std::vector<uint32_t> current = findRiders();

    // The load decides whether the leaf sinks or rises this frame.
    if (sinkDepth > 0.0f) {
        sunk = current.empty() ? std::max(sunk - sinkSpeed * dt, 0.0f)
                               : std::min(sunk + sinkSpeed * dt, sinkDepth);
    }
    const float length = glm::distance(start, end);
    if (length > 0.0f && speed > 0.0f)
        travelled = std::fmod(travelled + speed * dt, 2.0f * length);

    const glm::vec3 from = transform->position();
    const glm::vec3 to = pathPoint() - glm::vec3(0.0f, sunk, 0.0f);
    const glm::vec3 step = to - from;
    velocity = dt > 0.0f ? step / dt : glm::vec3(0.0f);
    transform->setPosition(to);

    for (const uint32_t id : current) {
        const EntityHandle rider{id, world};
        auto* riderTransform = world->getComponentAs<Transform>(rider, Transform::componentName);
        auto* body = world->getComponentAs<RigidBody>(rider, RigidBody::componentName);
        if (riderTransform != nullptr)
            riderTransform->translate(glm::vec3(step.x, step.y, 0.0f));
        if (std::find(riders.begin(), riders.end(), id) != riders.end())
            continue;
        // Stepping on: from now on his speed along the leaf is counted from the leaf's.
        if (body != nullptr)
            body->velocity.x -= velocity.x;
        if (world->getComponent(rider, "player") != nullptr)
            rustle(to);
    }
    for (const uint32_t id : riders) {
        if (std::find(current.begin(), current.end(), id) != current.end())
            continue;
        // Stepping or jumping off: he takes the leaf's velocity with him, unless he was sent
        // somewhere else entirely.
        const EntityHandle former{id, world};
        auto* body = world->getComponentAs<RigidBody>(former, RigidBody::componentName);
        const auto* formerTransform =
            world->getComponentAs<Transform>(former, Transform::componentName);
        if (body == nullptr || formerTransform == nullptr ||
            glm::distance(formerTransform->position(), to) > handOverReach)
            continue;
        body->velocity.x += velocity.x;
    }
    riders = current;
}

} // namespace components
