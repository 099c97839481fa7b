#pragma once

#include "engine/Application.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/CircleCollider.hpp"
#include "physics/PolygonCollider.hpp"
#include "physics/RigidBody.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <initializer_list>
#include <memory>
#include <string>

namespace physics_test {

using vorn::components::CircleCollider;
using vorn::components::Label;
using vorn::components::PolygonCollider;
using vorn::components::RigidBody;
using vorn::components::Transform;
using vorn::engine::EntityHandle;
using vorn::engine::World;

// An active world under an Application without a window, as the game runs it.
struct ActiveScene {
    vorn::engine::Application app{nullptr, 20.0f, 60.0f, "assets/"};
    std::shared_ptr<World> world = std::make_shared<World>();

    ActiveScene() { app.setWorld(world); }

    // An entity with a transform at (x, y, 0).
    EntityHandle entityAt(float x, float y) {
        const EntityHandle e = world->createEntity();
        world->addComponent(e,
                            new Transform(glm::translate(glm::mat4(1.0f), glm::vec3(x, y, 0.0f))));
        return e;
    }
    // A circle collider entity with the given labels.
    EntityHandle circle(float x, float y, float radius,
                        std::initializer_list<std::string> labels = {}) {
        const EntityHandle e = entityAt(x, y);
        world->addComponent(e, new CircleCollider(radius));
        for (const std::string& label : labels)
            world->addComponent(e, new Label(label));
        return e;
    }
    // An axis-aligned box collider entity, corner (cx, cy) and size (w, h) in its local frame.
    EntityHandle box(float x, float y, float cx, float cy, float w, float h,
                     std::initializer_list<std::string> labels = {}) {
        const EntityHandle e = entityAt(x, y);
        world->addComponent(e, new PolygonCollider(0.0f, cx, cy, w, h, 1.0f, 1.0f));
        for (const std::string& label : labels)
            world->addComponent(e, new Label(label));
        return e;
    }
    RigidBody* addBody(EntityHandle e, float mass, bool isStatic, float restitution = 0.0f,
                       glm::vec3 velocity = glm::vec3(0.0f),
                       const std::set<std::string>& extra = {}) {
        auto* body =
            new RigidBody(mass, isStatic, restitution, velocity.x, velocity.y, velocity.z, extra);
        world->addComponent(e, body);
        return body;
    }
    Transform* transform(EntityHandle e) const {
        return world->getComponentAs<Transform>(e, Transform::componentName);
    }
    glm::vec3 position(EntityHandle e) const { return transform(e)->position(); }
    RigidBody* body(EntityHandle e) const {
        return world->getComponentAs<RigidBody>(e, RigidBody::componentName);
    }
    void step(float dt = 1.0f / 60.0f) { world->update(dt); }
};

} // namespace physics_test
