// The ninja driven by a scripted gamepad and by rebound keys, on the test stage at a fixed time
// step: the stick walks him, face button 0 jumps, and a key file moves the jump to another key.
#include "components/SimpleNavigation.hpp"
#include "engine/InputBindings.hpp"
#include "engine/InputSource.hpp"
#include "engine/Transform.hpp"
#include "game/PlayerAssembly.hpp"
#include "physics/RigidBody.hpp"
#include "support/GlTestContext.hpp"
#include "support/TestStage.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>

namespace {

using testsupport::TestStage;
using vorn::components::SimpleNavigation;
using vorn::components::Transform;
using vorn::engine::InputBindings;
using vorn::engine::InputSource;

class GamepadNinjaTest : public ::testing::Test {
protected:
    void SetUp() override {
        context = std::make_unique<testsupport::GlTestContext>(16, 16);
        ASSERT_TRUE(context->ok()) << context->error();
        ninja =
            game::assemblePlayer(*stage.world, glm::vec3(0.0f, TestStage::floorTop + 5.0f, 0.0f),
                                 glm::vec3(0.0f), glm::vec3(1.0f));
        stage.run(10);
    }
    void TearDown() override { InputSource::instance().bindings() = InputBindings(); }

    glm::vec3 position() {
        return stage.world->getComponentAs<Transform>(ninja, Transform::componentName)->position();
    }
    SimpleNavigation& nav() {
        return *stage.world->getComponentAs<SimpleNavigation>(ninja,
                                                              SimpleNavigation::componentName);
    }
    // The highest point he reaches over `frames` frames.
    float highestOver(int frames) {
        float highest = position().y;
        for (int i = 0; i < frames; ++i) {
            stage.run(1);
            highest = std::max(highest, position().y);
        }
        return highest;
    }

    std::unique_ptr<testsupport::GlTestContext> context;
    TestStage stage;
    vorn::engine::EntityHandle ninja;
};

TEST_F(GamepadNinjaTest, StickWalksAndFaceButtonJumps) {
    const float startX = position().x;
    stage.play("0-39 axis JoyX 100\n40-79 axis JoyX -100\n60-62 hold JoyButton0\n");
    stage.run(40);
    EXPECT_GT(position().x - startX, 3.0f) << "the stick pushed right did not walk him right";
    EXPECT_EQ(nav().facing, -1.0f);
    EXPECT_EQ(nav().animationState, SimpleNavigation::Walking);
    const float turnX = position().x;
    stage.run(20);
    EXPECT_LT(position().x, turnX) << "the stick pushed left did not walk him back";
    EXPECT_EQ(nav().facing, 1.0f);
    EXPECT_GT(highestOver(40), TestStage::floorTop + 12.0f) << "button 0 did not jump";
}

TEST_F(GamepadNinjaTest, KeyFileMovesTheJumpAndABadLineLeavesTheDefaults) {
    struct Case {
        const char* file;
        const char* key;
        bool jumps;
    };
    const Case cases[] = {
        {"jump = Q\n", "Q", true},
        {"jump = Q\n", "Space", false},
        {"jump = NoSuchKey\n", "Space", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " pressing " + c.key);
        InputSource::instance().bindings() = InputBindings();
        std::istringstream file(c.file);
        std::ostringstream report;
        InputSource::instance().bindings().readKeys(file, "keys.txt", report);
        stage.run(60); // settle on the floor
        const float floor = position().y;
        stage.play(std::string("0-2 hold ") + c.key);
        const float highest = highestOver(40);
        EXPECT_EQ(highest > floor + 6.0f, c.jumps) << "rose to " << highest - floor;
    }
}

} // namespace
