#include "game/SettingsScreen.hpp"

#include "components/ButtonSignal.hpp"
#include "engine/Application.hpp"
#include "engine/InputSource.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "game/RunSettings.hpp"
#include "game/SceneName.hpp"
#include "rendering/Camera.hpp"
#include "rendering/Renderer.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/Sprite.hpp"
#include "rendering/Text.hpp"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <array>

namespace game {

namespace {

using vorn::engine::EntityHandle;
using vorn::engine::World;
using vorn::rendering::QualityLevel;
using Transform = vorn::components::Transform;

// Rows of the screen, top to bottom, as settings_screen.png lays out their panel: five
// settings, the assists under their own heading, then Back below the panel.
enum Row { quality, music, effects, fullscreen, frameMeter, speed, energy, damage, back, rows };

// Each row's middle, in window pixels from the bottom.
constexpr std::array<float, rows> rowMiddle = {482, 444, 406, 368, 330, 248, 210, 172, 106};
constexpr float textSize = 24.0f;
constexpr float textAdvance = 0.62f;
constexpr float rowHeight = 38.0f;
constexpr float labelLeft = 110.0f;
constexpr float valueLeft = 470.0f;
// Characters between the value's arrows.
constexpr std::size_t valueWidth = 9;
// Clicks: the label side steps on, the value's left half steps back, its right half on.
constexpr float rowLeft = 80.0f;
constexpr float valueMiddle =
    valueLeft + textSize * textAdvance * static_cast<float>(valueWidth + 4) / 2.0f;
constexpr float rowRight = 720.0f;
constexpr float backWidth = 200.0f;

const glm::vec3 labelColour(0.93f, 0.87f, 0.74f);
const glm::vec3 focusedLabelColour(1.0f, 0.8f, 0.35f);
const glm::vec3 valueColour(0.82f, 0.77f, 0.66f);
const glm::vec3 focusedValueColour(1.0f, 1.0f, 1.0f);

const std::array<std::optional<QualityLevel>, 5> qualities = {
    std::nullopt, QualityLevel::full, QualityLevel::medium, QualityLevel::low,
    QualityLevel::minimal};
const std::array<int, 3> speeds = {100, 80, 60};

// The next of `choices` after `value` in `direction` (+1 or -1), going round.
template <typename T, std::size_t N>
T cycle(const std::array<T, N>& choices, const T& value, int direction) {
    const auto found = std::find(choices.begin(), choices.end(), value);
    const int at = found == choices.end() ? 0 : static_cast<int>(found - choices.begin());
    const int n = static_cast<int>(N);
    return choices[static_cast<std::size_t>(((at + direction) % n + n) % n)];
}

int stepVolume(int volume, int direction) {
    if (direction == 0)
        return volume >= 100 ? 0 : std::min(100, volume + 10);
    return std::clamp(volume + 10 * direction, 0, 100);
}

vorn::components::Text* newText(float size) {
    auto* text = new vorn::components::Text(
        vorn::rendering::shaderProgramCache().get("shaders/colorizedTextShader.txt"),
        vorn::rendering::textureCache().get("textFonts/HarringtonFont.png"), 0.0f, 0.0f, 0.0f, "",
        size, 1.0f, 1.0f, 1.0f);
    text->advance = textAdvance;
    return text;
}

EntityHandle addText(World& world, float x, float middle, float size) {
    const EntityHandle entity = world.createEntity();
    world.addComponent(entity, new Transform(glm::translate(
                                   glm::mat4(1.0f), glm::vec3(x, middle - size / 2.0f, 10.0f))));
    world.addComponent(entity, newText(size));
    return entity;
}

void addClickArea(World& world, float x, float y, float width, float height,
                  std::function<void()> onClick) {
    const EntityHandle entity = world.createEntity();
    world.addComponent(entity, new Transform());
    world.addComponent(entity, new vorn::components::ButtonSignal(
                                   [onClick](vorn::components::ButtonSignal&) { onClick(); }, x, y,
                                   width, height));
}

// The screen while it is shown: the focus, the texts it rewrites and where Back leads.
struct Screen {
    World* world = nullptr;
    std::shared_ptr<RunSettings> settings;
    SettingsScreen::Back backTo;
    std::array<EntityHandle, rows> labels;
    std::array<EntityHandle, rows> values;
    EntityHandle marker;
    int focus = 0;

    vorn::components::Text* text(EntityHandle entity) const {
        return world->getComponentAs<vorn::components::Text>(entity,
                                                             vorn::components::Text::componentName);
    }

    // Rewrites every row, the focused one brighter, and moves the marker to it.
    void show() const {
        const Settings now = settings->values();
        for (int row = 0; row < rows; ++row) {
            const bool focused = row == focus;
            if (auto* label = text(labels[row]))
                label->color = focused ? focusedLabelColour : labelColour;
            if (auto* value = text(values[row])) {
                std::string shown = SettingsScreen::valueText(row, now);
                const std::size_t pad = valueWidth > shown.size() ? valueWidth - shown.size() : 0;
                shown = std::string(pad / 2, ' ') + shown + std::string(pad - pad / 2, ' ');
                value->text = "< " + shown + " >";
                value->color = focused ? focusedValueColour : valueColour;
            }
        }
        // The glow behind the focused row.
        const float middle = rowMiddle[static_cast<std::size_t>(focus)];
        const bool onBack = focus == Row::back;
        if (auto* transform = world->getComponentAs<Transform>(marker, Transform::componentName))
            transform->matrix =
                glm::scale(glm::translate(glm::mat4(1.0f),
                                          glm::vec3(onBack ? 400.0f - backWidth / 2.0f : rowLeft,
                                                    middle - rowHeight / 2.0f, 5.0f)),
                           glm::vec3(onBack ? backWidth : rowRight - rowLeft, rowHeight, 1.0f));
    }

    void leave() const {
        if (vorn::engine::Application* application = world->application())
            application->setWorld(backTo());
    }

    // Steps the row's setting (or leaves, on Back), with the focus on that row.
    void use(int row, int direction) {
        focus = row;
        if (row == Row::back) {
            if (direction == 0)
                leave();
            else
                show();
            return;
        }
        settings->change(SettingsScreen::step(row, settings->values(), direction));
        show();
    }

    bool handleKey(sf::Keyboard::Key key) {
        const auto& jumpKeys = vorn::engine::InputSource::instance()
                                   .bindings()
                                   .binding(vorn::engine::Action::Jump)
                                   .keys;
        if (key == sf::Keyboard::Up || key == sf::Keyboard::Down) {
            focus = (focus + (key == sf::Keyboard::Down ? 1 : rows - 1)) % rows;
            show();
        } else if (key == sf::Keyboard::Left || key == sf::Keyboard::Right) {
            if (focus != Row::back)
                use(focus, key == sf::Keyboard::Right ? 1 : -1);
        } else if (key == sf::Keyboard::Enter || (!jumpKeys.empty() && key == jumpKeys.front())) {
            use(focus, 0);
        } else if (key == sf::Keyboard::Escape) {
            leave();
        } else {
            return false;
        }
        return true;
    }
};

} // namespace

const std::vector<std::string>& SettingsScreen::rowLabels() {
    static const std::vector<std::string> labels = {
        "Quality",    "Music volume",     "Effects volume", "Fullscreen", "Frame meter",
        "Game speed", "Unlimited energy", "No damage",      "Back"};
    return labels;
}

std::string SettingsScreen::valueText(int row, const Settings& settings) {
    const auto onOff = [](bool on) { return std::string(on ? "on" : "off"); };
    switch (row) {
    case Row::quality:
        return Settings::qualityName(settings.quality);
    case Row::music:
        return std::to_string(settings.musicVolume) + " %";
    case Row::effects:
        return std::to_string(settings.effectsVolume) + " %";
    case Row::fullscreen:
        return onOff(settings.fullscreen);
    case Row::frameMeter:
        return onOff(settings.frameMeter);
    case Row::speed:
        return std::to_string(settings.assists.gameSpeed) + " %";
    case Row::energy:
        return onOff(settings.assists.unlimitedEnergy);
    case Row::damage:
        return onOff(settings.assists.noDamage);
    default:
        return "";
    }
}

Settings SettingsScreen::step(int row, Settings settings, int direction) {
    const int round = direction == 0 ? 1 : direction;
    switch (row) {
    case Row::quality:
        settings.quality = cycle(qualities, settings.quality, round);
        break;
    case Row::music:
        settings.musicVolume = stepVolume(settings.musicVolume, direction);
        break;
    case Row::effects:
        settings.effectsVolume = stepVolume(settings.effectsVolume, direction);
        break;
    case Row::fullscreen:
        settings.fullscreen = !settings.fullscreen;
        break;
    case Row::frameMeter:
        settings.frameMeter = !settings.frameMeter;
        break;
    case Row::speed:
        settings.assists.gameSpeed = cycle(speeds, settings.assists.gameSpeed, round);
        break;
    case Row::energy:
        settings.assists.unlimitedEnergy = !settings.assists.unlimitedEnergy;
        break;
    case Row::damage:
        settings.assists.noDamage = !settings.assists.noDamage;
        break;
    default:
        break;
    }
    return settings;
}

std::shared_ptr<World> SettingsScreen::build(std::shared_ptr<RunSettings> settings, Back back) {
    auto world = std::make_shared<World>();
    world->addComponent(new SceneName("settings"));
    // The frame meter's F2 works outside this screen: show it as it is now.
    settings->refresh();

    const EntityHandle camera = world->createEntity();
    world->addComponent(camera,
                        new Transform(glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, 100.0f))));
    world->addComponent(camera, new vorn::components::Camera(
                                    glm::ortho(0.0f, 800.0f, 0.0f, 600.0f, 0.1f, 1000.0f)));
    const EntityHandle background = world->createEntity();
    world->addComponent(background, new Transform(glm::scale(glm::mat4(1.0f), {800, 600, 1})));
    world->addComponent(
        background,
        new vorn::components::Sprite(
            false, vorn::rendering::pictureCache().get("settings_screen.png"), 0.0f, false, true));

    auto screen = std::make_shared<Screen>();
    screen->world = world.get();
    screen->settings = std::move(settings);
    screen->backTo = std::move(back);
    const std::vector<std::string>& labels = rowLabels();
    for (int row = 0; row < rows; ++row) {
        const float middle = rowMiddle[static_cast<std::size_t>(row)];
        if (row == Row::back) {
            const float size = 26.0f;
            const float width =
                size * (textAdvance * static_cast<float>(labels[row].size() - 1) + 1);
            screen->labels[row] = addText(*world, 400.0f - width / 2.0f, middle, size);
            addClickArea(*world, 400.0f - backWidth / 2.0f, middle - rowHeight / 2.0f, backWidth,
                         rowHeight, [screen] { screen->use(Row::back, 0); });
        } else {
            screen->labels[row] = addText(*world, labelLeft, middle, textSize);
            screen->values[row] = addText(*world, valueLeft, middle, textSize);
            const float bottom = middle - rowHeight / 2.0f;
            addClickArea(*world, rowLeft, bottom, valueLeft - rowLeft, rowHeight,
                         [screen, row] { screen->use(row, 0); });
            addClickArea(*world, valueLeft, bottom, valueMiddle - valueLeft, rowHeight,
                         [screen, row] { screen->use(row, -1); });
            addClickArea(*world, valueMiddle, bottom, rowRight - valueMiddle, rowHeight,
                         [screen, row] { screen->use(row, 1); });
        }
        if (auto* text = screen->text(screen->labels[row]))
            text->text = labels[static_cast<std::size_t>(row)];
    }
    screen->marker = world->createEntity();
    world->addComponent(screen->marker, new Transform());
    world->addComponent(
        screen->marker,
        new vorn::components::Sprite(
            true, vorn::rendering::pictureCache().get("settings_focus.png"), 0.0f, false, true));
    screen->show();

    world->addComponent(new vorn::systems::Renderer(std::set<std::string>{}, 0.0f,
                                                    GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT,
                                                    vorn::rendering::UniformSet{}));
    world->keyPressed.connect(
        [screen](const sf::Event::KeyEvent& key) { screen->handleKey(key.code); });
    return world;
}

} // namespace game
