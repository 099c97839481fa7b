#pragma once

#include "engine/EntityHandle.hpp"

#include <glm/vec3.hpp>

#include <string>

namespace vorn::engine {
class World;
}

namespace game {

// The reactions the level templates give to things that die: each plays a one-shot 3D
// sound and strips the entity so that it vanishes. A component they remove that is not there is
// skipped.
//
// The "deathAction" component that runs an action is the one component an action removes while
// it is still running; it leaves the world at once but is deleted with its entity, so the
// running call never outlives its own object.
class DeathActions {
public:
    // The spider web tears: sound "webRip" at `position`; the web loses gravity, collider, action
    // and model, and is gone 10 seconds later.
    static void webRip(vorn::engine::World& world, vorn::engine::EntityHandle web,
                       glm::vec3 position);
    // A breakable platform breaks: sound "shatter" where it stands now.
    static void shatter(vorn::engine::World& world, vorn::engine::EntityHandle breakable);
    // An item is collected: sound "shinyPing" at `position`; it loses model, collider and action,
    // and is gone 10 seconds later.
    static void shinyPing(vorn::engine::World& world, vorn::engine::EntityHandle item,
                          glm::vec3 position);
    // A worker ant dies: sound "antDeath" where it stands, a random toss upwards, no collider and
    // no action; its two parts go after this update pass and the body 6 seconds later.
    static void antDeath(vorn::engine::World& world, vorn::engine::EntityHandle ant,
                         vorn::engine::EntityHandle front, vorn::engine::EntityHandle back);

    // A wasp dies: sound "waspDeath" and a puff where it flies now; it is marked "dead", loses its
    // collider and action, is given gravity and a small toss, and is gone 4 seconds later (its
    // wings go with it).
    static void waspFall(vorn::engine::World& world, vorn::engine::EntityHandle wasp);
    // A spider's thread is cut: sound "threadSnap" and a burst of fibres at the spider; the
    // thread loses model, collider and action and goes; the spider is marked "dead", loses its
    // collider, falls with a small toss and is gone 4 seconds later.
    static void threadSnap(vorn::engine::World& world, vorn::engine::EntityHandle thread,
                           vorn::engine::EntityHandle spider);

    // Plays the named sound once at `position` (volume 1, heard from 1 to 10000 units).
    static void playOneShot(const std::string& sound, const glm::vec3& position);
    // Removes and deletes the entity's first component answering `name`, if any.
    static void strip(vorn::engine::World& world, vorn::engine::EntityHandle entity,
                      const std::string& name);
    // Takes the entity's "deathAction" out of the world, to be deleted with the entity.
    static void retireDeathAction(vorn::engine::World& world, vorn::engine::EntityHandle entity);
};

} // namespace game
