// A ninja carried through a door keeps his components; the world he leaves takes its sound slot
// with it. His sounds must then play in the new world's slot.
#include "audio/SoundManager.hpp"
#include "components/Energy.hpp"
#include "components/Health.hpp"
#include "components/SimpleNavigation.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "physics/CircleCollider.hpp"
#include "physics/RigidBody.hpp"
#include "support/TestStage.hpp"

#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using testsupport::TestStage;
using vorn::engine::EntityHandle;

// The moving parts of a ninja (no model: this test needs no OpenGL).
EntityHandle buildNinja(vorn::engine::World& world, float x) {
    const EntityHandle e = world.createEntity();
    world.addComponent(e, new vorn::components::Transform(
                              glm::translate(glm::mat4(1.0f), glm::vec3(x, 5.0f, 0.0f))));
    world.addComponent(e, new vorn::components::CircleCollider(5.0f));
    world.addComponent(e, new vorn::components::SimpleNavigation(20, 10, 1, 5, 120));
    world.addComponent(e, new components::Health(100, "antBite", 0.5f, 0.5f, 0.1f));
    world.addComponent(e, new vorn::components::Energy());
    world.addComponent(e, new vorn::components::RigidBody(100, false, 0, 0, 0, 0));
    world.addComponent(e, new vorn::components::Label("hasGravity"));
    world.addComponent(e, new vorn::components::Label("player"));
    return e;
}

bool slotHas(int slot, const std::string& name) {
    const std::vector<std::string> names =
        vorn::audio::SoundManager::instance().slotInstanceNames(slot);
    return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(CarriedNinjaTest, SoundsPlayInTheNewWorldAfterTheOldOneIsGone) {
    auto& manager = vorn::audio::SoundManager::instance();
    auto first = std::make_unique<TestStage>();
    const int firstSlot = manager.currentSlot();
    const EntityHandle old = buildNinja(*first->world, 0.0f);
    first->run(5);
    first->play("0-2 hold Space");
    first->run(120); // a jump and its landing
    ASSERT_TRUE(slotHas(firstSlot, "jump"));
    ASSERT_TRUE(slotHas(firstSlot, "landing"));
    const float energyBefore =
        first->world->getComponentAs<vorn::components::Energy>(old, "energy")->current;

    // Through the door: a new scene, the components moved over, the old scene gone.
    auto second = std::make_unique<TestStage>();
    const int secondSlot = manager.currentSlot();
    ASSERT_NE(secondSlot, firstSlot);
    const EntityHandle carried = second->world->createEntity();
    const std::vector<vorn::engine::Component*> parts = first->world->getEntityComponents(old);
    for (vorn::engine::Component* part : parts)
        second->world->addComponent(carried, part);
    first.reset();
    EXPECT_TRUE(manager.slotInstanceNames(firstSlot).empty());

    second->run(5);
    second->play("0-2 hold Space");
    second->run(120);
    EXPECT_TRUE(slotHas(secondSlot, "jump"));
    EXPECT_TRUE(slotHas(secondSlot, "landing"));
    auto* energy = second->world->getComponentAs<vorn::components::Energy>(carried, "energy");
    ASSERT_NE(energy, nullptr);
    EXPECT_FLOAT_EQ(energy->current, energyBefore - 5.0f); // the jump really happened there
}

} // namespace
