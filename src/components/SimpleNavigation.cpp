#include "components/SimpleNavigation.hpp"

#include "components/Energy.hpp"
#include "engine/InputSource.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/Body.hpp"
#include "physics/RigidBody.hpp"
#include "rendering/AnimatedModel.hpp"

#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>

namespace vorn::components {

namespace {

using Key = sf::Keyboard::Key;

bool eitherDown(Key a, Key b) {
    const vorn::engine::InputSource& input = vorn::engine::InputSource::instance();
    return input.isKeyPressed(a) || input.isKeyPressed(b);
}

bool jumpKeyDown() {
    const vorn::engine::InputSource& input = vorn::engine::InputSource::instance();
    return input.isKeyPressed(Key::Z) || input.isKeyPressed(Key::J) ||
           input.isKeyPressed(Key::Space);
}

bool isZero(const glm::vec2& v) {
    return v.x == 0.0f && v.y == 0.0f;
}

// Sentinel of the ground scan: lower than any unit normal, so the first contact replaces it.
const glm::vec2 noGround(0.0f, -2.0f);

} // namespace

SimpleNavigation::SimpleNavigation(float maxWalkSpeed, float jumpSpeed, float airDrag,
                                   float groundFriction, float walkAcceleration)
    : maxWalkSpeed(maxWalkSpeed), jumpSpeed(jumpSpeed), airDrag(airDrag),
      groundFriction(groundFriction), walkAcceleration(walkAcceleration) {
    addName(componentName);
}

glm::vec2 SimpleNavigation::readInput() const {
    glm::vec2 input(0.0f);
    if (eitherDown(Key::W, Key::Up))
        input.y = 1.0f;
    if (eitherDown(Key::S, Key::Down))
        input.y -= 1.0f;
    if (eitherDown(Key::D, Key::Right))
        input.x += 1.0f;
    if (eitherDown(Key::A, Key::Left))
        input.x -= 1.0f;
    return isZero(input) ? input : glm::normalize(input);
}

void SimpleNavigation::scanGround(Body& body, const glm::vec2& input, float dt) {
    vorn::engine::World& world = *getWorld();
    const glm::vec2 previousNormal = groundNormal;
    groundNormal = noGround;
    touching = false;
    standing = false;
    if (auto* rigid = world.getComponentAs<RigidBody>(handle(), "rigidBody")) {
        // Copied: land() plays sounds but never touches the contacts; the copy keeps the loop
        // independent of anything that might.
        for (const Contact& contact : rigid->contacts) {
            vorn::engine::EntityHandle other = contact.other;
            other.world = &world;
            if (world.getComponent(other, "platform") == nullptr)
                continue;
            if (isZero(contact.separation))
                continue; // no direction to learn from a contact of zero depth
            touching = true;
            const glm::vec2 n = glm::normalize(contact.separation);
            if (glm::dot(n, input) < 0.0f)
                clinging = true;
            if (n.y > groundNormal.y)
                groundNormal = n;
            if (n.y > 0.707f)
                standing = true;
            if (clinging) {
                body.deltaVelocity.x += -n.x * dt * 100.0f;
                body.deltaVelocity.y += -n.y * dt * 100.0f;
            }
            land();
        }
    }
    if (groundNormal == noGround)
        groundNormal = previousNormal;
}

void SimpleNavigation::update(float dt) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr)
        return;
    const vorn::engine::EntityHandle self = handle();
    Body* body = world->getComponentAs<Body>(self, "body");
    if (body == nullptr)
        return;
    Energy* energy = world->getComponentAs<Energy>(self, "energy");
    if (energy == nullptr)
        return; // the ninja always carries energy; anything else is not a ninja to steer
    const bool alive = world->getComponent(self, "dead") == nullptr;

    glm::vec2 input = alive ? readInput() : glm::vec2(0.0f);
    jumpedThisFrame = false;

    scanGround(*body, input, dt);

    if (!touching || !(energy->current > 0.0f))
        clinging = false;
    if (!clinging) {
        input.y = 0.0f;
        if (!isZero(input))
            input = glm::normalize(input);
    }
    // No regeneration while in the air (or dead).
    if ((!standing || !alive) && energy->current > 0.0f)
        energy->timeSinceUse = 0.0f;

    // Clinging switches gravity off; letting go switches it back on.
    const bool hasGravity = world->getComponent(self, "hasGravity") != nullptr;
    if (!clinging && !hasGravity)
        world->addComponent(self, new Label("hasGravity"));
    else if (clinging && hasGravity)
        world->deleteComponent(self, "hasGravity");

    if (touching) {
        body->deltaVelocity += -body->velocity * groundFriction * dt;
    } else {
        body->deltaVelocity.x += -body->velocity.x * airDrag * dt;
    }

    if (alive) {
        if (!isZero(input) &&
            maxWalkSpeed > glm::dot(glm::vec2(body->velocity.x, body->velocity.y), input)) {
            // Walking up a wall or along a ceiling costs energy; with none left there is no push.
            const bool pays = clinging && !standing;
            if (!pays || energy->drain(dt)) {
                body->deltaVelocity.x += input.x * dt * walkAcceleration;
                body->deltaVelocity.y += input.y * dt * walkAcceleration;
            }
        }
        if (!jumpKeyDown()) {
            jumpKeyHeld = false;
        } else if (!jumpKeyHeld) {
            if (!airborne) {
                jump(*body, 1.0f, groundNormal + glm::vec2(0.0f, 0.9f));
            } else if (world->getComponent(self, "doubleJumpEnabled") != nullptr &&
                       !doubleJumpUsed && energy->spend(1.0f)) {
                doubleJumpUsed = true;
                jump(*body, 1.0f, glm::vec2(0.0f, 1.0f));
            }
            jumpKeyHeld = true;
        }
    }

    orient(input, dt);

    groundTimer -= dt;
    if (groundTimer <= 0.0f)
        airborne = true;

    // A jump from the ground is made while this frame's contacts still say he stands; choosing
    // again now would replace the jump animation by the landing at once, so it waits a frame.
    if (!jumpedThisFrame)
        chooseAnimation(input, alive, dt);
    else if (actionTimer > 0.0f)
        actionTimer -= dt;
}

void SimpleNavigation::orient(const glm::vec2& input, float dt) {
    auto* transform = getWorld()->getComponentAs<Transform>(handle(), Transform::componentName);
    if (transform == nullptr)
        return;
    if (touching) {
        const glm::vec2 tangent(-groundNormal.y, groundNormal.x);
        const float along = glm::dot(tangent, input);
        if (along != 0.0f)
            facing = along;
        const glm::vec3 position = transform->position();
        const glm::vec3 up(groundNormal.x, groundNormal.y, 0.0f);
        if (facing < 0.0f)
            transform->lookAt(position + glm::vec3(groundNormal.y, -groundNormal.x, 0.0f), up,
                              false);
        else if (facing > 0.0f)
            transform->lookAt(position + glm::vec3(-groundNormal.y, groundNormal.x, 0.0f), up,
                              false);
        turningInAir = false;
    } else if (!turningInAir) {
        turningInAir = true;
        airStartRotation = glm::quat_cast(glm::mat3(transform->matrix));
        const glm::vec3 yAxis(0.0f, 1.0f, 0.0f);
        if (facing < 0.0f) {
            airTargetRotation = glm::angleAxis(glm::radians(90.0f), yAxis);
            airTurn = 0.0f;
        } else if (facing > 0.0f) {
            airTargetRotation = glm::angleAxis(glm::radians(-90.0f), yAxis);
            airTurn = 0.0f;
        }
    }
    if (turningInAir && airTurn < 1.0f) {
        airTurn += airTurnSpeed * dt;
        if (airTurn > 1.0f)
            airTurn = 1.0f;
        transform->setRotation(
            glm::mat3_cast(glm::slerp(airStartRotation, airTargetRotation, airTurn)));
    }
}

void SimpleNavigation::chooseAnimation(const glm::vec2& input, bool alive, float dt) {
    auto* model = getWorld()->getComponentAs<AnimatedModel>(handle(), "animatedModel");
    if (model == nullptr)
        return;
    if (actionTimer > 0.0f) {
        actionTimer -= dt;
        return;
    }
    auto change = [&](int state, const char* segment, float seconds) {
        if (animationState == state)
            return;
        animationState = state;
        model->crossFade(segment, seconds);
    };
    const bool inFlight =
        animationState == Jumping || animationState == Falling || animationState == Hurt;
    if (!alive)
        change(Dead, "death", 0.5f);
    else if (!clinging && !standing) {
        if (!inFlight)
            change(Falling, "freefall", 0.5f);
    } else if (inFlight)
        change(Landing, "landing", 0.1f);
    else if (!isZero(input))
        change(Walking, "walking", 0.5f);
    else
        change(Idle, "idle", 0.5f);
}

void SimpleNavigation::playAtFeet(const ::components::SoundCue& cue) const {
    const vorn::engine::World* world = getWorld();
    if (world == nullptr)
        return;
    glm::vec3 point(0.0f, -5.0f, 0.0f);
    if (const auto* transform =
            world->getComponentAs<Transform>(handle(), Transform::componentName))
        point = glm::vec3(transform->matrix * glm::vec4(0.0f, -5.0f, 0.0f, 1.0f));
    cue.play(point);
}

void SimpleNavigation::jump(Body& body, float strength, const glm::vec2& direction) {
    airborne = true;
    vorn::engine::World* world = getWorld();
    if (world == nullptr)
        return;
    Energy* energy = world->getComponentAs<Energy>(handle(), "energy");
    if (energy == nullptr || !energy->spend(strength))
        return;
    if (isZero(direction))
        return;
    const glm::vec2 d = glm::normalize(direction);
    const float along = glm::dot(glm::vec2(body.velocity.x, body.velocity.y), d);
    const float target = 3.0f * jumpSpeed;
    if (target > along) {
        body.deltaVelocity.x += d.x * (target - along);
        body.deltaVelocity.y += d.y * (target - along);
    }
    playAtFeet(doubleJumpUsed ? doubleJumpSound : jumpSound);
    jumpedThisFrame = true;
    if (auto* model = world->getComponentAs<AnimatedModel>(handle(), "animatedModel")) {
        animationState = Jumping;
        model->crossFade("jump", 0.5f);
    }
}

void SimpleNavigation::land() {
    if (airborne)
        playAtFeet(landingSound);
    airborne = false;
    groundTimer = 0.1f;
    doubleJumpUsed = false;
}

} // namespace vorn::components
