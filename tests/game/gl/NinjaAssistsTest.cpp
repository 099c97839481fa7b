// The assists on the ninja as the game builds him, on the test stage with scripted keys: each one
// changes what it names and nothing else, a run with one on is marked, and the HUD shows it.
// These tests start the process-wide sound manager, whose worker thread a forked child cannot
// use: they must come after DesignerToolsTest, which forks whole games, hence this file's name.
#include "components/AssistEffects.hpp"
#include "components/Damage.hpp"
#include "components/Energy.hpp"
#include "components/Health.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/Transform.hpp"
#include "game/PlayerAssembly.hpp"
#include "game/RunSettings.hpp"
#include "physics/CollisionTracker.hpp"
#include "physics/PolygonCollider.hpp"
#include "rendering/Text.hpp"
#include "support/GlTestContext.hpp"
#include "support/TestStage.hpp"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testsupport::TestStage;
using vorn::engine::EntityHandle;

// What one run of the course left.
struct Outcome {
    std::vector<float> walked; // from the start, after each frame
    float energy = 0.0f;
    float health = 0.0f;
    bool marked = false; // the player carries "assistsUsed"
    std::string mark;    // the HUD's mark
};

// The course: from x = -60 the ninja walks right for a second of game time, jumping after
// 0.6 s, past a biter that hurts like an ant's jaws (20 a bite, one every half second).
// At a slower game speed the same game time takes more frames, so the keys are held longer.
Outcome runCourse(const game::Settings& settings) {
    TestStage stage;
    game::RunSettings::Hooks hooks;
    hooks.gameSpeed = [&stage](float speed) { stage.app.setGameSpeed(speed); };
    std::ostringstream report;
    game::RunSettings run(settings, "", true, hooks, report);
    run.applyAll();
    run.addToArea(*stage.world);

    const EntityHandle biter = stage.world->createEntity();
    stage.world->addComponent(biter, new vorn::components::Transform(glm::translate(
                                         glm::mat4(1.0f), glm::vec3(-45.0f, 5.0f, 0.0f))));
    stage.world->addComponent(
        biter, new vorn::components::PolygonCollider(0.0f, -6.0f, -6.0f, 12.0f, 12.0f, 1, 1));
    stage.world->addComponent(biter, new vorn::components::CollisionTracker("player"));
    stage.world->addComponent(biter, new components::Damage("player", 20.0f, 0.5f, 0.0f));

    const EntityHandle ninja = game::assemblePlayer(*stage.world, glm::vec3(-60.0f, 5.0f, 0.0f),
                                                    glm::vec3(0.0f), glm::vec3(1.0f));
    const float slowdown = 100.0f / static_cast<float>(settings.assists.gameSpeed);
    const auto frames = [slowdown](int atFullSpeed) {
        return static_cast<int>(std::lround(static_cast<float>(atFullSpeed) * slowdown));
    };
    stage.run(frames(12)); // settles on the floor
    const auto x = [&] {
        return stage.world->getComponentAs<vorn::components::Transform>(ninja, "transform")
            ->position()
            .x;
    };
    const float start = x();
    stage.play("0-" + std::to_string(frames(60) - 1) + " hold Right\n" +
               std::to_string(frames(36)) + " hold Space\n");
    Outcome out;
    for (int frame = 0; frame < frames(60); ++frame) {
        stage.run(1);
        out.walked.push_back(x() - start);
    }
    out.energy = stage.world->getComponentAs<vorn::components::Energy>(ninja, "energy")->current;
    out.health = stage.world->getComponentAs<components::Health>(ninja, "health")->current;
    out.marked = stage.world->getComponent(ninja, components::AssistEffects::usedTag) != nullptr;
    for (const EntityHandle& hud : stage.world->getEntities("assistEffects", "text"))
        out.mark = stage.world->getComponentAs<vorn::components::Text>(hud, "text")->text;
    return out;
}

class NinjaAssistsTest : public ::testing::Test {
protected:
    void SetUp() override {
        context = std::make_unique<testsupport::GlTestContext>(16, 16);
        ASSERT_TRUE(context->ok()) << context->error();
    }
    std::unique_ptr<testsupport::GlTestContext> context;
};

TEST_F(NinjaAssistsTest, EachAssistChangesWhatItNamesAndNothingElse) {
    const Outcome plain = runCourse(game::Settings{});
    // The course costs something of everything an assist could spare.
    ASSERT_GT(plain.walked.back(), 10.0f);
    ASSERT_LT(plain.energy, 100.0f);
    ASSERT_LT(plain.health, 100.0f);
    EXPECT_FALSE(plain.marked);
    EXPECT_EQ(plain.mark, "");

    struct Case {
        std::string name;
        int speed;
        bool unlimitedEnergy;
        bool noDamage;
    };
    for (const Case& c :
         {Case{"unlimited energy", 100, true, false}, Case{"no damage", 100, false, true},
          Case{"game speed 80", 80, false, false}, Case{"game speed 60", 60, false, false}}) {
        SCOPED_TRACE(c.name);
        game::Settings settings;
        settings.assists.gameSpeed = c.speed;
        settings.assists.unlimitedEnergy = c.unlimitedEnergy;
        settings.assists.noDamage = c.noDamage;
        const Outcome o = runCourse(settings);
        const float speed = static_cast<float>(c.speed) / 100.0f;
        // Over the same game time he goes as far; the frames of a full-speed run take him only
        // where that run was after `speed` of its time.
        EXPECT_NEAR(o.walked.back(), plain.walked.back(), 0.03f * plain.walked.back());
        const float early = plain.walked[static_cast<size_t>(std::lround(60.0f * speed)) - 1];
        EXPECT_NEAR(o.walked[59], early, 0.03f * early);
        EXPECT_NEAR(o.energy, c.unlimitedEnergy ? 100.0f : plain.energy, 0.01f);
        EXPECT_NEAR(o.health, c.noDamage ? 100.0f : plain.health, 0.01f);
        EXPECT_TRUE(o.marked);
        EXPECT_EQ(o.mark, components::AssistEffects::markText);
    }
}

} // namespace
