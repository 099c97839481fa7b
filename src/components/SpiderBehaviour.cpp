#include "components/SpiderBehaviour.hpp"

#include "components/PositionalSound.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/Body.hpp"
#include "physics/PolygonCollider.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>

namespace components {

using vorn::components::Transform;

SpiderBehaviour::SpiderBehaviour(const glm::vec3& anchor, float restLength, float dropLength,
                                 float reach, const glm::mat4& shape, float topOffset,
                                 vorn::engine::EntityHandle thread, float threadScale)
    : anchor(anchor), restLength(restLength), dropLength(std::max(dropLength, restLength)),
      reach(reach), shape(shape), topOffset(topOffset), thread(thread), threadScale(threadScale),
      length(restLength) {
    addName(componentName);
}

void SpiderBehaviour::initialize() {
    place();
}

bool SpiderBehaviour::playerBeneath() const {
    vorn::engine::World& world = *getWorld();
    const float spiderY = anchor.y - length;
    // Low enough to be reached by a full drop, with the spider's own height to spare.
    const float lowest = anchor.y - dropLength - 2.0f * topOffset;
    for (const vorn::engine::EntityHandle& player :
         world.getEntities("player", Transform::componentName)) {
        if (world.getComponent(player, "dead") != nullptr)
            continue;
        const glm::vec3 at =
            world.getComponentAs<Transform>(player, Transform::componentName)->position();
        if (std::abs(at.x - anchor.x) <= reach && at.y < spiderY && at.y > lowest)
            return true;
    }
    return false;
}

void SpiderBehaviour::place() {
    vorn::engine::World& world = *getWorld();
    if (auto* transform = world.getComponentAs<Transform>(handle(), Transform::componentName))
        transform->matrix =
            glm::translate(glm::mat4(1.0f), anchor - glm::vec3(0, length, 0)) * shape;
    const vorn::engine::EntityHandle line{thread.entityId, &world};
    // The thread ends where it meets the body; a spider pulled up to its anchor has none.
    const float span = std::max(length - topOffset, 0.01f);
    if (auto* threadTransform = world.getComponentAs<Transform>(line, Transform::componentName)) {
        threadTransform->matrix = glm::scale(glm::translate(glm::mat4(1.0f), anchor),
                                             glm::vec3(threadScale, span, threadScale));
    }
    // The collider goes on down to the spider's middle: a swing at a spider hanging at the
    // ninja's height cuts the silk where it holds the body.
    if (auto* box = world.getComponentAs<vorn::components::PolygonCollider>(
            line, vorn::components::PolygonCollider::componentName)) {
        box->setVertices({{-threadHalfWidth, -length},
                          {threadHalfWidth, -length},
                          {threadHalfWidth, 0.0f},
                          {-threadHalfWidth, 0.0f}});
    }
}

void SpiderBehaviour::update(float dt) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr || world->getComponent(handle(), "dead") != nullptr)
        return;
    switch (state) {
    case Hanging:
        if (playerBeneath()) {
            state = Dropping;
            vorn::components::PositionalSound::play("spiderDrop", anchor - glm::vec3(0, length, 0),
                                                    5.0f);
        }
        break;
    case Dropping:
        length = std::min(length + dropSpeed * dt, dropLength);
        if (length >= dropLength) {
            state = Waiting;
            waited = 0.0f;
        }
        break;
    case Waiting:
        waited += dt;
        if (waited >= waitTime)
            state = Climbing;
        break;
    case Climbing:
        length = std::max(length - climbSpeed * dt, restLength);
        if (length <= restLength)
            state = Hanging;
        break;
    }
    place();
}

} // namespace components
