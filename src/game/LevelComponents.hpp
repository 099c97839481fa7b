#pragma once

#include "engine/EntityHandle.hpp"

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <functional>
#include <string>

namespace vorn::engine {
class World;
}

namespace game {

// The gameplay components the level templates put on their entities, each added with the values
// its template row gives. Kept apart from the grammar so the table reads as a list of recipes.
class LevelComponents {
public:
    using Action = std::function<void(vorn::engine::World&, vorn::engine::EntityHandle)>;

    static void addHealth(vorn::engine::World& world, vorn::engine::EntityHandle entity,
                          float maximum, const std::string& hitSound, float a, float b, float c);
    // An "deathAction" that runs `action` on the entity.
    static void addDeathAction(vorn::engine::World& world, vorn::engine::EntityHandle entity,
                               Action action);
    static void addSpinHorizontalVelocity(vorn::engine::World& world,
                                          vorn::engine::EntityHandle entity);
    // Deletes the entity when something tagged `trigger` touches it, running `action` first.
    static void addSelfDelete(vorn::engine::World& world, vorn::engine::EntityHandle entity,
                              const std::string& trigger,
                              void (*action)(vorn::engine::World&, vorn::engine::EntityHandle));
    static void addKiller(vorn::engine::World& world, vorn::engine::EntityHandle entity);
    static void addEnergyObject(vorn::engine::World& world, vorn::engine::EntityHandle entity);
    static void addTouchEmitter(vorn::engine::World& world, vorn::engine::EntityHandle entity);
    static void addScoreObject(vorn::engine::World& world, vorn::engine::EntityHandle entity,
                               int points, bool egg);
    static void addEnergyBoostObject(vorn::engine::World& world, vorn::engine::EntityHandle entity,
                                     float boost);
    static void addObjective(vorn::engine::World& world, vorn::engine::EntityHandle entity);
    static void addAntAttack(vorn::engine::World& world, vorn::engine::EntityHandle entity);
    static void addAntBehaviour(vorn::engine::World& world, vorn::engine::EntityHandle entity,
                                bool clockwise);
    // With a `source`, the damage strikes for that entity (see Damage::source).
    static void addDamage(vorn::engine::World& world, vorn::engine::EntityHandle entity,
                          const std::string& target, float amount, float knockBack, float force,
                          vorn::engine::EntityHandle source = {});
    static void addUpgrade(vorn::engine::World& world, vorn::engine::EntityHandle entity,
                           const std::string& flag, const std::string& voice,
                           const glm::vec3& soundOffset);
    static void addWakeZone(vorn::engine::World& world, vorn::engine::EntityHandle entity,
                            const std::string& name);
    static void addAsleep(vorn::engine::World& world, vorn::engine::EntityHandle entity,
                          const std::string& wakeName);
    static void addExit(vorn::engine::World& world, vorn::engine::EntityHandle entity,
                        const std::string& levelFile, const std::string& entrance);
    // The longer journey's pieces.
    // A creature's touch: stings the player for 20, throws him off at 40 units per second,
    // rests a second.
    static void addSting(vorn::engine::World& world, vorn::engine::EntityHandle entity);
    static void addWaspBehaviour(vorn::engine::World& world, vorn::engine::EntityHandle entity,
                                 const glm::vec3& start, const glm::vec3& end, float radius,
                                 float speed, const glm::mat4& shape,
                                 vorn::engine::EntityHandle wings, const glm::vec3& wingRoot);
    static void addSpiderBehaviour(vorn::engine::World& world, vorn::engine::EntityHandle entity,
                                   const glm::vec3& anchor, float restLength, float dropLength,
                                   float reach, const glm::mat4& shape, float topOffset,
                                   vorn::engine::EntityHandle thread, float threadScale);
    static void addMovingLeaf(vorn::engine::World& world, vorn::engine::EntityHandle entity,
                              const glm::vec3& start, const glm::vec3& end, float speed,
                              float sinkDepth);

    // Moves the spawn point of a carried player to where he entered.
    static void moveSpawnPoint(vorn::engine::World& world, vorn::engine::EntityHandle player,
                               const glm::vec3& position);
};

} // namespace game
