#include "components/AntBehaviour.hpp"

#include "components/PositionalSound.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/Collider.hpp"
#include "physics/RigidBody.hpp"

#include <glm/geometric.hpp>

#include <cstdlib>

namespace vorn::components {

namespace {
// How hard the ant is pressed onto the surface it walks on, in units per second squared.
constexpr float pressAcceleration = 200.0f;
// Mean seconds between two chirps.
constexpr float meanChirpInterval = 5.0f;
} // namespace

AntBehaviour::AntBehaviour(bool clockwise, float maxSpeed, float airDrag, float groundFriction,
                           float walkAcceleration)
    : maxSpeed(maxSpeed), airDrag(airDrag), groundFriction(groundFriction),
      walkAcceleration(walkAcceleration), clockwise(clockwise) {
    addName(componentName);
    updatePriority = 102.0f;
}

glm::vec2 AntBehaviour::walkingDirection(const glm::vec2& normal, bool clockwise) {
    return clockwise ? glm::vec2(-normal.y, normal.x) : glm::vec2(normal.y, -normal.x);
}

void AntBehaviour::update(float dt) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr)
        return;
    auto* body = world->getComponentAs<Body>(handle(), "body");
    if (body == nullptr)
        return;
    vorn::engine::Component* gravityLabel = world->getComponent(handle(), "hasGravity");
    auto* transform = world->getComponentAs<Transform>(handle(), Transform::componentName);
    const auto* rigidBody = world->getComponentAs<RigidBody>(handle(), "rigidBody");

    // Surface choice: of the platforms touched, the one whose normal points most against the
    // forward axis. Starting from the forward axis itself means any touched surface that does not
    // face exactly along it wins over "no surface".
    glm::vec2 forward(0.0f, 0.0f);
    if (transform != nullptr)
        forward = glm::vec2(transform->matrix[2]);
    surfaceNormal = forward;
    if (forward.x == 0.0f && forward.y == 0.0f)
        surfaceNormal = glm::vec2(0.0f, 1.0f);
    onPlatform = false;
    if (rigidBody != nullptr) {
        for (const Contact& contact : rigidBody->contacts) {
            if (world->getComponent(contact.other, "platform") == nullptr)
                continue;
            onPlatform = true;
            const float length = glm::length(contact.separation);
            if (length == 0.0f)
                continue;
            const glm::vec2 n = contact.separation / length;
            if (glm::dot(surfaceNormal, forward) > glm::dot(n, forward))
                surfaceNormal = n;
        }
    }

    if (onPlatform) {
        const glm::vec2 press = -surfaceNormal * dt * pressAcceleration;
        body->deltaVelocity.x += press.x;
        body->deltaVelocity.y += press.y;
    }

    const glm::vec2 walk =
        onPlatform ? walkingDirection(surfaceNormal, clockwise) : glm::vec2(0.0f, 0.0f);

    // Crawling ants cling to their surface; falling ones are pulled down.
    if (!onPlatform && gravityLabel == nullptr)
        world->addComponent(handle(), new Label("hasGravity"));
    else if (onPlatform && gravityLabel != nullptr)
        delete world->removeComponent(gravityLabel);

    if (onPlatform)
        body->deltaVelocity += -body->velocity * groundFriction * dt;
    else
        body->deltaVelocity.x += -body->velocity.x * airDrag * dt;

    if (onPlatform && maxSpeed > glm::dot(glm::vec2(body->velocity), walk)) {
        body->deltaVelocity.x += walk.x * dt * walkAcceleration;
        body->deltaVelocity.y += walk.y * dt * walkAcceleration;
    }

    // Stand on the surface, facing the way it walks.
    if (onPlatform && transform != nullptr) {
        const glm::vec3 target = transform->position() + glm::vec3(walk, 0.0f);
        transform->lookAt(target, glm::vec3(surfaceNormal, 0.0f), false);
    }

    followTurnMarkers();
    if (transform != nullptr)
        chirp(dt);
}

void AntBehaviour::followTurnMarkers() {
    vorn::engine::World& world = *getWorld();
    const auto* collider = world.getComponentAs<Collider>(handle(), "collider");
    if (collider == nullptr)
        return;
    const auto touches = [&](vorn::engine::EntityHandle marker) {
        const auto* other = world.getComponentAs<Collider>(marker, "collider");
        if (other == nullptr)
            return false;
        const glm::vec2 separation = collider->collide(*other, nullptr, nullptr);
        return separation.x != 0.0f || separation.y != 0.0f;
    };
    // Clockwise markers first, so an ant touching both ends up counter-clockwise.
    for (const vorn::engine::EntityHandle marker :
         world.getEntities("antCommandCW", Transform::componentName, "collider")) {
        if (touches(marker))
            clockwise = true;
    }
    for (const vorn::engine::EntityHandle marker :
         world.getEntities("antCommandCCW", Transform::componentName, "collider")) {
        if (touches(marker))
            clockwise = false;
    }
}

void AntBehaviour::chirp(float dt) {
    // r in [0, 1]; on average one chirp every five seconds of frames. Scaled by RAND_MAX, so the
    // odds are the same whatever the range of the runtime's generator.
    const float r = static_cast<float>(std::rand()) / static_cast<float>(RAND_MAX);
    if (r < dt / meanChirpInterval) {
        const auto* transform =
            getWorld()->getComponentAs<Transform>(handle(), Transform::componentName);
        PositionalSound::play("antChit", transform->position(), 5.0f);
    }
}

} // namespace vorn::components
