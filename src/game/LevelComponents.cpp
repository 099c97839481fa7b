#include "game/LevelComponents.hpp"

#include "components/ActionSignal.hpp"
#include "components/AntAttackBehaviour.hpp"
#include "components/AntBehaviour.hpp"
#include "components/Asleep.hpp"
#include "components/Damage.hpp"
#include "components/EnergyBoostObject.hpp"
#include "components/EnergyObject.hpp"
#include "components/Exit.hpp"
#include "components/Health.hpp"
#include "components/Killer.hpp"
#include "components/MovingLeaf.hpp"
#include "components/Objective.hpp"
#include "components/OriginalSpawnPoint.hpp"
#include "components/ScoreObject.hpp"
#include "components/SelfDelete.hpp"
#include "components/SpiderBehaviour.hpp"
#include "components/SpinHorizontalVelocity.hpp"
#include "components/Sting.hpp"
#include "components/TouchEmitter.hpp"
#include "components/Upgrade.hpp"
#include "components/WakeZone.hpp"
#include "components/WaspBehaviour.hpp"
#include "engine/World.hpp"

namespace game {

using vorn::engine::EntityHandle;
using vorn::engine::World;

void LevelComponents::addHealth(World& world, EntityHandle entity, float maximum,
                                const std::string& hitSound, float a, float b, float c) {
    world.addComponent(entity, new components::Health(maximum, hitSound, a, b, c));
}

void LevelComponents::addDeathAction(World& world, EntityHandle entity, Action action) {
    world.addComponent(
        entity, new vorn::components::ActionSignal("deathAction", [action](EntityHandle self) {
            if (self.world)
                action(*self.world, self);
        }));
}

void LevelComponents::addSpinHorizontalVelocity(World& world, EntityHandle entity) {
    world.addComponent(entity, new vorn::components::SpinHorizontalVelocity());
}

void LevelComponents::addSelfDelete(World& world, EntityHandle entity, const std::string& trigger,
                                    void (*action)(World&, EntityHandle)) {
    vorn::components::SelfDelete::Callback callback;
    if (action)
        callback = [action](EntityHandle self) {
            if (self.world)
                action(*self.world, self);
        };
    world.addComponent(entity, new vorn::components::SelfDelete(trigger, callback));
}

void LevelComponents::addKiller(World& world, EntityHandle entity) {
    world.addComponent(entity, new components::Killer());
}

void LevelComponents::addEnergyObject(World& world, EntityHandle entity) {
    world.addComponent(entity, new vorn::components::EnergyObject());
}

void LevelComponents::addTouchEmitter(World& world, EntityHandle entity) {
    world.addComponent(entity, new components::TouchEmitter());
}

void LevelComponents::addScoreObject(World& world, EntityHandle entity, int points, bool egg) {
    world.addComponent(entity, new vorn::components::ScoreObject(points, egg));
}

void LevelComponents::addEnergyBoostObject(World& world, EntityHandle entity, float boost) {
    world.addComponent(entity, new vorn::components::EnergyBoostObject(boost));
}

void LevelComponents::addObjective(World& world, EntityHandle entity) {
    world.addComponent(entity, new components::Objective());
}

void LevelComponents::addAntAttack(World& world, EntityHandle entity) {
    world.addComponent(entity, new components::AntAttackBehaviour(0.1f, 20.0f, 2.0f, 0.0f, 0.0f,
                                                                  5.0f, 3.0f, 3.0f));
}

void LevelComponents::addAntBehaviour(World& world, EntityHandle entity, bool clockwise) {
    world.addComponent(entity,
                       new vorn::components::AntBehaviour(clockwise, 10.0f, 0.2f, 0.5f, 10.0f));
}

void LevelComponents::addDamage(World& world, EntityHandle entity, const std::string& target,
                                float amount, float knockBack, float force, EntityHandle source) {
    auto* damage = new components::Damage(target, amount, knockBack, force);
    if (source.entityId != 0) {
        damage->source = source;
        damage->updatePriority = components::Damage::onBehalfPriority;
    }
    world.addComponent(entity, damage);
}

void LevelComponents::addUpgrade(World& world, EntityHandle entity, const std::string& flag,
                                 const std::string& voice, const glm::vec3& soundOffset) {
    world.addComponent(entity, new vorn::components::Upgrade(flag, "player", voice, soundOffset));
}

void LevelComponents::addExit(World& world, EntityHandle entity, const std::string& levelFile,
                              const std::string& entrance) {
    world.addComponent(entity, new components::Exit(levelFile, entrance));
}

void LevelComponents::addWakeZone(World& world, EntityHandle entity, const std::string& name) {
    world.addComponent(entity, new components::WakeZone(name));
}

void LevelComponents::addAsleep(World& world, EntityHandle entity, const std::string& wakeName) {
    world.addComponent(entity, new components::Asleep(wakeName));
}

void LevelComponents::addSting(World& world, EntityHandle entity) {
    world.addComponent(entity, new components::Sting("player", 20.0f, 1.0f, 40.0f));
}

void LevelComponents::addWaspBehaviour(World& world, EntityHandle entity, const glm::vec3& start,
                                       const glm::vec3& end, float radius, float speed,
                                       const glm::mat4& shape, EntityHandle wings,
                                       const glm::vec3& wingRoot) {
    world.addComponent(
        entity, new components::WaspBehaviour(start, end, radius, speed, shape, wings, wingRoot));
}

void LevelComponents::addSpiderBehaviour(World& world, EntityHandle entity, const glm::vec3& anchor,
                                         float restLength, float dropLength, float reach,
                                         const glm::mat4& shape, float topOffset,
                                         EntityHandle thread, float threadScale) {
    world.addComponent(entity,
                       new components::SpiderBehaviour(anchor, restLength, dropLength, reach, shape,
                                                       topOffset, thread, threadScale));
}

void LevelComponents::addMovingLeaf(World& world, EntityHandle entity, const glm::vec3& start,
                                    const glm::vec3& end, float speed, float sinkDepth) {
    // It sinks and rises at 5 units per second.
    world.addComponent(entity, new components::MovingLeaf(start, end, speed, sinkDepth, 5.0f));
}

void LevelComponents::moveSpawnPoint(World& world, EntityHandle player, const glm::vec3& position) {
    if (auto* spawn = world.getComponentAs<components::OriginalSpawnPoint>(
            player, components::OriginalSpawnPoint::componentName))
        spawn->position = position;
}

} // namespace game
