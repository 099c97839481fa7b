#include "game/LevelComponents.hpp"

#include "engine/World.hpp"

namespace game {

void LevelComponents::addHealth(vorn::engine::World&, vorn::engine::EntityHandle, float,
                                const std::string&, float, float, float) {}
void LevelComponents::addDeathAction(vorn::engine::World&, vorn::engine::EntityHandle, Action) {}
void LevelComponents::addSpinHorizontalVelocity(vorn::engine::World&, vorn::engine::EntityHandle) {}
void LevelComponents::addSelfDelete(vorn::engine::World&, vorn::engine::EntityHandle,
                                    const std::string&,
                                    void (*)(vorn::engine::World&, vorn::engine::EntityHandle)) {}
void LevelComponents::addKiller(vorn::engine::World&, vorn::engine::EntityHandle) {}
void LevelComponents::addEnergyObject(vorn::engine::World&, vorn::engine::EntityHandle) {}
void LevelComponents::addTouchEmitter(vorn::engine::World&, vorn::engine::EntityHandle) {}
void LevelComponents::addScoreObject(vorn::engine::World&, vorn::engine::EntityHandle, int, bool) {}
void LevelComponents::addEnergyBoostObject(vorn::engine::World&, vorn::engine::EntityHandle,
                                           float) {}
void LevelComponents::addObjective(vorn::engine::World&, vorn::engine::EntityHandle) {}
void LevelComponents::addAntAttack(vorn::engine::World&, vorn::engine::EntityHandle) {}
void LevelComponents::addAntBehaviour(vorn::engine::World&, vorn::engine::EntityHandle, bool) {}
void LevelComponents::addDamage(vorn::engine::World&, vorn::engine::EntityHandle,
                                const std::string&, float, float, float) {}
void LevelComponents::addUpgrade(vorn::engine::World&, vorn::engine::EntityHandle,
                                 const std::string&, const std::string&, const glm::vec3&) {}
void LevelComponents::addExit(vorn::engine::World&, vorn::engine::EntityHandle, const std::string&,
                              const std::string&) {}
void LevelComponents::moveSpawnPoint(vorn::engine::World&, vorn::engine::EntityHandle,
                                     const glm::vec3&) {}

} // namespace game
