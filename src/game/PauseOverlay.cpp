#include "game/PauseOverlay.hpp"

#include "audio/ChannelGroup.hpp"
#include "audio/SoundManager.hpp"
#include "engine/InputSource.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "game/ButtonColumn.hpp"
#include "rendering/Camera.hpp"
#include "rendering/Renderer.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/Sprite.hpp"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>

namespace game {

namespace {

using vorn::components::Transform;
using vorn::engine::EntityHandle;
using vorn::engine::World;

constexpr float screenWidth = 800.0f;
constexpr float screenHeight = 600.0f;
const glm::vec2 panelSize(360.0f, 400.0f);
// After the game space (0), the HUD (2) and the designer's overlay (3).
constexpr float overlayPriority = 10.0f;

glm::mat4 placed(const glm::vec2& corner, float z, const glm::vec2& size) {
    return glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(corner, z)), glm::vec3(size, 1.0f));
}

EntityHandle addPicture(World& world, const std::string& picture, const glm::mat4& matrix) {
    const EntityHandle entity = world.createEntity();
    world.addComponent(entity, new Transform(matrix));
    world.addComponent(
        entity, new vorn::components::Sprite(true, vorn::rendering::pictureCache().get(picture),
                                             0.0f, false, true));
    world.addComponent(entity, new vorn::components::Label(PauseOverlay::space));
    return entity;
}

// A picture of `size` pixels centred on the screen.
glm::mat4 centred(const glm::vec2& size) {
    return placed({0.5f * (screenWidth - size.x), 0.5f * (screenHeight - size.y)}, 2.0f, size);
}

bool isPauseKey(sf::Keyboard::Key key) {
    const auto& keys =
        vorn::engine::InputSource::instance().bindings().binding(vorn::engine::Action::Menu).keys;
    return key == sf::Keyboard::Escape || std::find(keys.begin(), keys.end(), key) != keys.end();
}

} // namespace

PauseOverlay::PauseOverlay(AreaAction leave) : leave(std::move(leave)) {
    addName(componentName);
}

PauseOverlay::~PauseOverlay() {
    quieten(false);
}

PauseOverlay* PauseOverlay::of(World& world) {
    return world.getComponentAs<PauseOverlay>(EntityHandle{0, &world}, componentName);
}

void PauseOverlay::onActivated() {
    clicks.disconnect();
    if (getWorld() == nullptr)
        return;
    // Back from the settings screen, still paused: quiet again, at the volume the player chose.
    if (current != Page::playing)
        quieten(true);
    clicks = getWorld()->mouseButtonPressed.connect([this](const sf::Event::MouseButtonEvent&) {
        if (current == Page::controls)
            show(Page::panel);
    });
}

void PauseOverlay::onRemoved() {
    clicks.disconnect();
}

bool PauseOverlay::handleKey(sf::Keyboard::Key key) {
    switch (current) {
    case Page::playing:
        if (!isPauseKey(key))
            return false;
        pause();
        return true;
    case Page::panel:
        if (isPauseKey(key))
            resume();
        else
            column->handleKey(key);
        return true;
    case Page::leaving:
        if (isPauseKey(key))
            show(Page::panel);
        else
            column->handleKey(key);
        return true;
    case Page::controls:
        show(Page::panel);
        return true;
    }
    return true;
}

void PauseOverlay::pause() {
    World* world = getWorld();
    if (world == nullptr || current != Page::playing)
        return;
    world->setPaused(true);
    quieten(true);
    // The overlay's own camera and renderer, and a shade that dims the still picture.
    root = world->createEntity();
    world->addComponent(root, new Transform(glm::translate(glm::mat4(1.0f), {0.0f, 0.0f, 100.0f})));
    world->addComponent(root, new vorn::components::Camera(glm::ortho(
                                  0.0f, screenWidth, 0.0f, screenHeight, 0.1f, 1000.0f)));
    world->addComponent(root, new vorn::components::Label(space));
    world->addComponent(root,
                        new vorn::systems::Renderer(space, overlayPriority, GL_DEPTH_BUFFER_BIT,
                                                    vorn::rendering::UniformSet{}));
    shade = addPicture(*world, "pause/shade.png",
                       placed({0.0f, 0.0f}, 0.0f, {screenWidth, screenHeight}));
    show(Page::panel);
}

void PauseOverlay::resume() {
    World* world = getWorld();
    if (world == nullptr || current == Page::playing)
        return;
    clearPage();
    world->destroyEntityLater(shade);
    world->destroyEntityLater(root);
    current = Page::playing;
    quieten(false);
    world->setPaused(false);
}

void PauseOverlay::clearPage() {
    World* world = getWorld();
    if (column) {
        column->remove();
        column.reset();
    }
    for (const EntityHandle& picture : pictures)
        world->destroyEntityLater(picture);
    pictures.clear();
}

void PauseOverlay::show(Page next) {
    World* world = getWorld();
    if (world == nullptr)
        return;
    clearPage();
    current = next;
    std::vector<ButtonColumn::Button> buttons;
    switch (next) {
    case Page::playing:
        return;
    case Page::panel:
        pictures.push_back(addPicture(*world, "pause/panel.png", centred(panelSize)));
        buttons.push_back({"menu/resume.png", [this] { resume(); }});
        buttons.push_back({"menu/controls.png", [this] { show(Page::controls); }});
        if (openSettings)
            buttons.push_back({"menu/settings.png", [this, world] {
                                   // The settings screen plays the music at its full volume, so
                                   // that a change of it can be heard; the area quietens it again
                                   // when it comes back.
                                   quieten(false);
                                   const AreaAction open = openSettings;
                                   open(*world);
                               }});
        buttons.push_back({"menu/leave.png", [this] { show(Page::leaving); }});
        break;
    case Page::leaving:
        pictures.push_back(addPicture(*world, "pause/leavePanel.png", centred(panelSize)));
        buttons.push_back({"menu/leave.png", [this, world] {
                               // The menu's music plays at its own volume.
                               quieten(false);
                               const AreaAction go = leave;
                               if (go)
                                   go(*world);
                           }});
        buttons.push_back({"menu/stay.png", [this] { show(Page::panel); }});
        break;
    case Page::controls:
        pictures.push_back(addPicture(*world, "controls_screen.png",
                                      placed({0.0f, 0.0f}, 3.0f, {screenWidth, screenHeight})));
        pictures.push_back(
            addPicture(*world, "to continue.png", placed({150.0f, 0.0f}, 4.0f, {500.0f, 60.0f})));
        return;
    }
    // The buttons hang from under the panel's title (and, when leaving, its question).
    const float top = next == Page::leaving ? 330.0f : 400.0f;
    const float tall =
        ButtonColumn::step * static_cast<float>(buttons.size() - 1) + ButtonColumn::height;
    column = std::make_unique<ButtonColumn>(
        *world, std::move(buttons), glm::vec2(0.5f * screenWidth, top - 0.5f * tall), space);
}

void PauseOverlay::quieten(bool on) {
    if (on == quiet)
        return;
    vorn::audio::SoundManager& sound = vorn::audio::SoundManager::instance();
    vorn::audio::ChannelGroup* music = sound.channelGroup(vorn::audio::SoundManager::musicGroup);
    vorn::audio::ChannelGroup* effects =
        sound.channelGroup(vorn::audio::SoundManager::effectsGroup);
    if (on) {
        if (music && music->getVolume(musicVolume) == vorn::audio::Result::Ok)
            music->setVolume(musicVolume * musicShare);
    } else if (music) {
        music->setVolume(musicVolume);
    }
    if (effects)
        effects->setPaused(on);
    quiet = on;
}

} // namespace game
