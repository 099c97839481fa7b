#include "game/DeathActions.hpp"

#include "audio/SoundManager.hpp"
#include "components/LifeSpan.hpp"
#include "components/ParticleBurst.hpp"
#include "engine/Component.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/Body.hpp"

#include <cstdlib>
#include <memory>

namespace game {

namespace {

const std::string deathActionName = "deathAction";

// Holds a component that left the world while it was running, and deletes it with its entity.
class RetiredComponent : public vorn::engine::Component {
public:
    explicit RetiredComponent(vorn::engine::Component* held) : held(held) {
        addName("retiredComponent");
    }

private:
    std::unique_ptr<vorn::engine::Component> held;
};

glm::vec3 currentPosition(vorn::engine::World& world, vorn::engine::EntityHandle entity) {
    if (auto* transform = world.getComponentAs<vorn::components::Transform>(
            entity, vorn::components::Transform::componentName))
        return transform->position();
    return glm::vec3(0.0f);
}

// A uniform number between lo and hi from the game's seeded generator. r is scaled by this
// runtime's RAND_MAX (2^31 - 1 here, 32767 on others), so it always lies in [0, 1].
float between(float lo, float hi) {
    const float r = static_cast<float>(std::rand()) / static_cast<float>(RAND_MAX);
    return lo + r * (hi - lo);
}

} // namespace

void DeathActions::playOneShot(const std::string& sound, const glm::vec3& position) {
    vorn::audio::SoundManager& manager = vorn::audio::SoundManager::instance();
    if (vorn::audio::SoundInstance* instance =
            manager.createSoundInstance(sound, position, glm::vec3(0.0f)))
        manager.playInstance(instance, position, 1.0f, 1.0f, 10000.0f);
}

void DeathActions::strip(vorn::engine::World& world, vorn::engine::EntityHandle entity,
                         const std::string& name) {
    world.deleteComponent(entity, name);
}

void DeathActions::retireDeathAction(vorn::engine::World& world,
                                     vorn::engine::EntityHandle entity) {
    vorn::engine::Component* action = world.getComponent(entity, deathActionName);
    if (!action)
        return;
    world.removeComponent(action);
    world.addComponent(entity, new RetiredComponent(action));
}

void DeathActions::webRip(vorn::engine::World& world, vorn::engine::EntityHandle web,
                          glm::vec3 position) {
    playOneShot("webRip", position);
    strip(world, web, "hasGravity");
    strip(world, web, "collider");
    retireDeathAction(world, web);
    strip(world, web, "model");
    world.addComponent(web, new components::LifeSpan(10.0f));
}

void DeathActions::shatter(vorn::engine::World& world, vorn::engine::EntityHandle breakable) {
    playOneShot("shatter", currentPosition(world, breakable));
}

void DeathActions::shinyPing(vorn::engine::World& world, vorn::engine::EntityHandle item,
                             glm::vec3 position) {
    playOneShot("shinyPing", position);
    strip(world, item, "model");
    strip(world, item, "collider");
    retireDeathAction(world, item);
    world.addComponent(item, new components::LifeSpan(10.0f));
}

void DeathActions::antDeath(vorn::engine::World& world, vorn::engine::EntityHandle ant,
                            vorn::engine::EntityHandle front, vorn::engine::EntityHandle back) {
    playOneShot("antDeath", currentPosition(world, ant));
    if (auto* body = world.getComponentAs<vorn::components::Body>(ant, "body")) {
        // One draw per component, x first, so a seeded run tosses the ant the same way.
        const float x = between(-20.0f, 20.0f);
        const float y = between(40.0f, 45.0f);
        const float z = between(30.0f, 40.0f);
        body->velocity = glm::vec3(x, y, z);
    }
    strip(world, ant, "collider");
    retireDeathAction(world, ant);
    world.destroyEntityLater(front);
    world.destroyEntityLater(back);
    world.addComponent(ant, new components::LifeSpan(6.0f));
}

namespace {
// Hands a creature over to gravity for its last fall: marked "dead" (its behaviour and sting let
// go), collider gone, tossed a little up and towards the camera, gone after four seconds.
void fall(vorn::engine::World& world, vorn::engine::EntityHandle creature) {
    world.addComponent(creature, new vorn::components::Label("dead"));
    world.addComponent(creature, new vorn::components::Label("hasGravity"));
    if (auto* body = world.getComponentAs<vorn::components::Body>(creature, "body")) {
        const float x = between(-6.0f, 6.0f);
        const float y = between(8.0f, 12.0f);
        const float z = between(10.0f, 15.0f);
        body->velocity = glm::vec3(x, y, z);
        body->deltaVelocity = glm::vec3(0.0f);
    }
    DeathActions::strip(world, creature, "collider");
    world.addComponent(creature, new components::LifeSpan(4.0f));
}
} // namespace

void DeathActions::waspFall(vorn::engine::World& world, vorn::engine::EntityHandle wasp) {
    const glm::vec3 at = currentPosition(world, wasp);
    playOneShot("waspDeath", at);
    components::ParticleBurst::at(world, "waspPuff", at);
    retireDeathAction(world, wasp);
    fall(world, wasp);
}

void DeathActions::threadSnap(vorn::engine::World& world, vorn::engine::EntityHandle thread,
                              vorn::engine::EntityHandle spider) {
    const glm::vec3 at = currentPosition(world, spider);
    playOneShot("threadSnap", at);
    components::ParticleBurst::at(world, "silkSnap", at);
    strip(world, thread, "model");
    strip(world, thread, "collider");
    retireDeathAction(world, thread);
    world.addComponent(thread, new components::LifeSpan(0.0f));
    const vorn::engine::EntityHandle hanging{spider.entityId, &world};
    if (world.isLive(hanging) && world.getComponent(hanging, "dead") == nullptr)
        fall(world, hanging);
}

} // namespace game
