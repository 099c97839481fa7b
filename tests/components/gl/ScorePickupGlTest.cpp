// Score pickups with their floating labels, and the HUD's score display, drawn for real.
#include "rendering/gl/SceneFixture.hpp"

#include "components/ActionSignal.hpp"
#include "components/Score.hpp"
#include "components/ScoreDisplay.hpp"
#include "components/ScoreObject.hpp"
#include "physics/Body.hpp"
#include "physics/CircleCollider.hpp"
#include "physics/CollisionTracker.hpp"
#include "rendering/Text.hpp"

#include <functional>
#include <vector>

namespace {

using vorn::components::Score;
using vorn::components::ScoreObject;
using vorn::components::Text;
using vorn::engine::EntityHandle;

class ScorePickupGlTest : public SceneFixture {
protected:
    ScorePickupGlTest() : SceneFixture(128, 128) {}

    void SetUp() override {
        SceneFixture::SetUp();
        world->addComponent(new vorn::systems::Renderer(
            std::set<std::string>{}, 0, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, {}));
        clearColour(0, 0, 0, 0);
    }

    // A camera showing 32 x 32 units centred on the origin: 4 pixels a unit.
    void zoomedCamera() {
        const auto e = entity(glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, 100)));
        world->addComponent(e, new vorn::components::Camera(
                                   glm::ortho(-16.0f, 16.0f, -16.0f, 16.0f, 0.1f, 1000.0f)));
    }

    EntityHandle ninjaAt(float x, float y) {
        const auto e = entity(glm::translate(glm::mat4(1.0f), glm::vec3(x, y, 0)), {"player"});
        world->addComponent(e, new vorn::components::CircleCollider(5.0f));
        world->addComponent(e, new Score());
        return e;
    }

    EntityHandle egg(float x, float y) {
        const auto e = entity(glm::translate(glm::mat4(1.0f), glm::vec3(x, y, 0)));
        world->addComponent(e, new vorn::components::CircleCollider(2.0f));
        world->addComponent(e, new vorn::components::CollisionTracker("player"));
        world->addComponent(e, new ScoreObject(10, true));
        world->addComponent(e, new vorn::components::ActionSignal(
                                   "deathAction", [this](EntityHandle) { ++deaths; }));
        return e;
    }

    // The texts in the world, with the entity carrying each.
    std::vector<std::pair<EntityHandle, Text*>> texts() {
        std::vector<std::pair<EntityHandle, Text*>> found;
        for (const EntityHandle e : world->liveEntities())
            if (auto* t = world->getComponentAs<Text>(e, "text"))
                found.emplace_back(e, t);
        return found;
    }

    int count(const std::function<bool(const glm::u8vec4&)>& matches) const {
        int n = 0;
        for (const glm::u8vec4& p : context->pixels())
            n += matches(p) ? 1 : 0;
        return n;
    }
    static bool green(const glm::u8vec4& p) { return p.g > 100 && p.r < 60 && p.b < 60; }
    static bool white(const glm::u8vec4& p) { return p.r > 100 && p.g > 100 && p.b > 100; }

    void step(float dt) { world->update(dt); }

    int deaths = 0;
};

TEST_F(ScorePickupGlTest, AnEggGivesTenPointsAndAnEggWithARisingGreenTenAndWhitePlusOneOnce) {
    zoomedCamera();
    const EntityHandle ninja = ninjaAt(-3.0f, -4.0f);
    egg(0.0f, -4.0f);
    render();
    step(0.0f); // the tracker sees the ninja
    step(0.0f); // the egg reacts
    const Score* score = world->getComponentAs<Score>(ninja, "score");
    EXPECT_EQ(score->points, 10);
    EXPECT_EQ(score->eggs, 1);
    EXPECT_EQ(deaths, 1);

    const auto labels = texts();
    ASSERT_EQ(labels.size(), 2u);
    const Text* ten = labels[0].second;
    const Text* plusOne = labels[1].second;
    EXPECT_EQ(ten->text, "10");
    EXPECT_FLOAT_EQ(ten->x, -3.75f); // centred: -(2 - 0.5) * 2.5
    EXPECT_EQ(ten->size, 5.0f);
    EXPECT_EQ(ten->color, glm::vec3(0, 1, 0));
    EXPECT_TRUE(ten->faceCamera && ten->ignoreDepth);
    EXPECT_EQ(plusOne->text, "+1");
    EXPECT_EQ(plusOne->x, -6.0f);
    EXPECT_EQ(plusOne->size, 8.0f);
    EXPECT_EQ(plusOne->color, glm::vec3(1, 1, 1));
    for (const auto& [e, text] : labels) {
        EXPECT_NE(world->getComponent(e, "gameSpace"), nullptr);
        EXPECT_EQ(world->getComponentAs<vorn::components::Transform>(e, "transform")->position(),
                  glm::vec3(0, -4, 0));
    }
    EXPECT_EQ(world->getComponentAs<vorn::components::Body>(labels[0].first, "body")->velocity,
              glm::vec3(0, 3, 0));
    EXPECT_EQ(world->getComponentAs<vorn::components::Body>(labels[1].first, "body")->velocity,
              glm::vec3(0, 5, 0));

    // Still touching: nothing more is given.
    step(0.0f);
    EXPECT_EQ(score->points, 10);
    EXPECT_EQ(score->eggs, 1);
    EXPECT_EQ(texts().size(), 2u);

    render();
    EXPECT_GT(count(green), 8);
    EXPECT_GT(count(white), 8);

    // After a second of rising: the "+1" is 5 units up and then gone; the "10" 3 units up.
    for (int i = 0; i < 20; ++i)
        step(0.05f);
    EXPECT_NEAR(world->getComponentAs<vorn::components::Transform>(labels[0].first, "transform")
                    ->position()
                    .y,
                -1.0f, 1e-4f);
    step(0.05f);
    ASSERT_EQ(texts().size(), 1u);
    render();
    EXPECT_GT(count(green), 8);
    EXPECT_EQ(count(white), 0);
    for (int i = 0; i < 10; ++i)
        step(0.05f);
    EXPECT_TRUE(texts().empty());
    render();
    EXPECT_EQ(count(green), 0);
}

TEST_F(ScorePickupGlTest, ScoreDisplayPadsSevenToFourCharactersOnScreen) {
    screenCamera();
    const EntityHandle ninja = ninjaAt(500.0f, 500.0f);
    Score* score = world->getComponentAs<Score>(ninja, "score");
    score->points = 7;
    score->eggs = 12345;
    const auto points = entity(glm::mat4(1.0f));
    auto* pointsText =
        new Text(vorn::rendering::shaderProgramCache().get("shaders/colorizedTextShader.txt"),
                 vorn::rendering::textureCache().get("textFonts/HarringtonFont.png"), 0, 40, 0, "",
                 32, 1, 1, 1);
    world->addComponent(points, pointsText);
    world->addComponent(points, new vorn::components::ScoreDisplay(ninja, false));
    const auto eggs = entity(glm::translate(glm::mat4(1.0f), glm::vec3(500, 500, 0)));
    auto* eggsText =
        new Text(vorn::rendering::shaderProgramCache().get("shaders/colorizedTextShader.txt"),
                 vorn::rendering::textureCache().get("textFonts/HarringtonFont.png"), 0, 0, 0, "",
                 8, 1, 1, 1);
    world->addComponent(eggs, eggsText);
    world->addComponent(eggs, new vorn::components::ScoreDisplay(ninja, true));
    render();
    step(0.0f);
    EXPECT_EQ(pointsText->text, "   7");
    EXPECT_EQ(eggsText->text, "12345");
    render();
    // Four 32-pixel cells across the 128-pixel picture: ink only in the last one.
    int leftInk = 0, rightInk = 0;
    for (int y = 40; y < 72; ++y)
        for (int x = 0; x < 128; ++x)
            if (white(context->pixel(x, y)))
                (x < 96 ? leftInk : rightInk) += 1;
    EXPECT_EQ(leftInk, 0);
    EXPECT_GT(rightInk, 10);
}

} // namespace
