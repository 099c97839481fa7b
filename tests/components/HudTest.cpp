// The HUD bars, the score display's padding and the menu buttons.
#include "ComponentScene.hpp"
#include "components/ButtonSignal.hpp"
#include "components/EnergyBar.hpp"
#include "components/HealthBar.hpp"
#include "components/ScoreDisplay.hpp"

#include <gtest/gtest.h>

namespace {

using components_test::GameplayScene;
using vorn::components::ButtonSignal;
using vorn::engine::EntityHandle;

TEST(Bars, StretchWithTheTargetsHealthAndEnergyAndKeepTheirWidthWithoutOne) {
    GameplayScene scene;
    const EntityHandle ninja = scene.player(0.0f, 0.0f);
    const EntityHandle healthBar = scene.entityAt(10.0f, 580.0f);
    scene.world->addComponent(healthBar, new ::components::HealthBar(188.0f, 100.0f, ninja));
    const EntityHandle energyBar = scene.entityAt(10.0f, 560.0f);
    scene.world->addComponent(energyBar, new vorn::components::EnergyBar(188.0f, 100.0f, ninja));
    const auto width = [&](EntityHandle bar) { return scene.transform(bar)->matrix[0][0]; };

    struct Case {
        float health, energy, healthWidth, energyWidth;
    };
    for (const Case& c : {Case{100, 100, 188, 188}, Case{50, 50, 94, 94}, Case{0, 25, 0, 47},
                          Case{75, 110, 141, 206.8f}}) {
        scene.health(ninja)->current = c.health;
        scene.energy(ninja)->current = c.energy;
        scene.energy(ninja)->maximum = std::max(100.0f, c.energy);
        scene.world->update(0.0f);
        EXPECT_FLOAT_EQ(width(healthBar), c.healthWidth) << c.health;
        EXPECT_FLOAT_EQ(width(energyBar), c.energyWidth) << c.energy;
    }
    // The position is not touched.
    EXPECT_EQ(scene.position(healthBar), glm::vec3(10.0f, 580.0f, 0.0f));

    scene.health(ninja)->current = 50.0f;
    scene.energy(ninja)->current = 50.0f;
    scene.world->update(0.0f);
    scene.world->deleteComponent(ninja, "health");
    scene.world->deleteComponent(ninja, "energy");
    scene.world->update(0.0f);
    EXPECT_FLOAT_EQ(width(healthBar), 94.0f);
    EXPECT_FLOAT_EQ(width(energyBar), 94.0f);
}

TEST(ScoreDisplay, PadsToFourCharactersAndShowsLongerNumbersWhole) {
    EXPECT_EQ(vorn::components::ScoreDisplay::format(7), "   7");
    EXPECT_EQ(vorn::components::ScoreDisplay::format(0), "   0");
    EXPECT_EQ(vorn::components::ScoreDisplay::format(42), "  42");
    EXPECT_EQ(vorn::components::ScoreDisplay::format(999), " 999");
    EXPECT_EQ(vorn::components::ScoreDisplay::format(1000), "1000");
    EXPECT_EQ(vorn::components::ScoreDisplay::format(12345), "12345");
}

sf::Event::MouseButtonEvent press(int x, int y, sf::Mouse::Button button = sf::Mouse::Left) {
    sf::Event::MouseButtonEvent event{};
    event.button = button;
    event.x = x;
    event.y = y;
    return event;
}

TEST(ButtonSignal, ReactsToAnyButtonStrictlyInsideWithYTurnedUpward) {
    GameplayScene scene;
    // The menu's start button: its corner at (250, 360) in screen units, 250 x 100.
    const EntityHandle start = scene.entityAt(250.0f, 360.0f);
    int clicks = 0;
    ButtonSignal* clicked = nullptr;
    auto* button = new ButtonSignal(
        [&](ButtonSignal& b) {
            ++clicks;
            clicked = &b;
        },
        0.0f, 0.0f, 250.0f, 100.0f);
    scene.world->addComponent(start, button);

    struct Case {
        int x, y; // window pixels, y from the top
        sf::Mouse::Button button;
        bool hits;
    };
    // Inside, the button spans x 250..500 and, from the top, y 140..240.
    const Case cases[] = {
        {375, 190, sf::Mouse::Left, true},   {375, 190, sf::Mouse::Right, true},
        {251, 239, sf::Mouse::Middle, true}, {499, 141, sf::Mouse::Left, true},
        {250, 190, sf::Mouse::Left, false},  {500, 190, sf::Mouse::Left, false},
        {375, 140, sf::Mouse::Left, false},  {375, 240, sf::Mouse::Left, false},
        {375, 410, sf::Mouse::Left, false}, // where y from the bottom would be inside
        {100, 190, sf::Mouse::Left, false},
    };
    for (const Case& c : cases) {
        clicks = 0;
        scene.world->mouseButtonPressed(press(c.x, c.y, c.button));
        EXPECT_EQ(clicks, c.hits ? 1 : 0) << c.x << ", " << c.y;
    }
    EXPECT_EQ(clicked, button);

    // Releases are not clicks, and a button taken out of its world hears nothing.
    clicks = 0;
    scene.world->mouseButtonReleased(press(375, 190));
    EXPECT_EQ(clicks, 0);
    delete scene.world->removeComponent(button);
    scene.world->mouseButtonPressed(press(375, 190));
    EXPECT_EQ(clicks, 0);
}

TEST(ButtonSignal, ClicksAreBroughtIntoTheButtonsOwnFrame) {
    GameplayScene scene;
    const EntityHandle e = scene.entityAt(100.0f, 100.0f);
    // Twice the size: the local rectangle 0..10 x 0..10 covers window x 100..120.
    scene.transform(e)->matrix = glm::scale(scene.transform(e)->matrix, glm::vec3(2.0f));
    int clicks = 0;
    scene.world->addComponent(
        e, new ButtonSignal([&](ButtonSignal&) { ++clicks; }, 0.0f, 0.0f, 10.0f, 10.0f));
    scene.world->mouseButtonPressed(press(115, 600 - 115));
    EXPECT_EQ(clicks, 1);
    scene.world->mouseButtonPressed(press(125, 600 - 105));
    EXPECT_EQ(clicks, 1);
    // Without a transform nothing is hit.
    scene.world->deleteComponent(e, "transform");
    scene.world->mouseButtonPressed(press(115, 600 - 115));
    EXPECT_EQ(clicks, 1);
}

} // namespace
