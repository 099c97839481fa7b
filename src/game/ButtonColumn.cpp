#include "game/ButtonColumn.hpp"

#include "components/ButtonSignal.hpp"
#include "engine/InputSource.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/Sprite.hpp"

#include <glm/gtc/matrix_transform.hpp>

namespace game {

namespace {

using vorn::components::Transform;
using vorn::engine::EntityHandle;

glm::mat4 placed(const glm::vec2& corner, float z, const glm::vec2& size) {
    return glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(corner, z)), glm::vec3(size, 1.0f));
}

EntityHandle addPicture(vorn::engine::World& world, const std::string& picture,
                        const glm::mat4& matrix, const std::string& space) {
    const EntityHandle entity = world.createEntity();
    world.addComponent(entity, new Transform(matrix));
    world.addComponent(
        entity, new vorn::components::Sprite(true, vorn::rendering::pictureCache().get(picture),
                                             0.0f, false, true));
    if (!space.empty())
        world.addComponent(entity, new vorn::components::Label(space));
    return entity;
}

// The first key of an action, or `fallback` when it has none.
sf::Keyboard::Key firstKey(vorn::engine::Action action, sf::Keyboard::Key fallback) {
    const auto& keys = vorn::engine::InputSource::instance().bindings().binding(action).keys;
    return keys.empty() ? fallback : keys.front();
}

} // namespace

ButtonColumn::ButtonColumn(vorn::engine::World& world, std::vector<Button> list,
                           const glm::vec2& centre, const std::string& space)
    : world(world), buttons(std::move(list)) {
    const float tall = buttons.empty() ? 0.0f : step * (buttons.size() - 1) + height;
    top = {centre.x, centre.y + 0.5f * tall};
    for (size_t i = 0; i < buttons.size(); ++i) {
        const EntityHandle button =
            addPicture(world, buttons[i].picture, placed(corner(i), 8.0f, {width, height}), space);
        const std::shared_ptr<bool> alive = live;
        world.addComponent(button, new vorn::components::ButtonSignal(
                                       [this, alive, i](vorn::components::ButtonSignal&) {
                                           if (*alive)
                                               press(i);
                                       },
                                       // The picture's unit square, scaled to the button.
                                       0.0f, 0.0f, 1.0f, 1.0f));
        entities.push_back(button);
    }
    marker = addPicture(world, "menu/marker.png", glm::mat4(1.0f), space);
    entities.push_back(marker);
    placeMarker();
}

glm::vec2 ButtonColumn::corner(size_t i) const {
    return {top.x - 0.5f * width, top.y - height - step * static_cast<float>(i)};
}

void ButtonColumn::placeMarker() {
    if (buttons.empty())
        return;
    const glm::vec2 at = corner(index);
    if (auto* transform = world.getComponentAs<Transform>(marker, Transform::componentName))
        transform->matrix = placed({at.x - 42.0f, at.y + 12.0f}, 9.0f, {40.0f, 40.0f});
}

bool ButtonColumn::handleKey(sf::Keyboard::Key key) {
    if (!*live || buttons.empty())
        return false;
    using vorn::engine::Action;
    const bool up = key == sf::Keyboard::Up || key == firstKey(Action::Up, sf::Keyboard::Up);
    const bool down =
        key == sf::Keyboard::Down || key == firstKey(Action::Down, sf::Keyboard::Down);
    if (up || down) {
        const size_t count = buttons.size();
        index = (index + (down ? 1 : count - 1)) % count;
        placeMarker();
        return true;
    }
    if (key == sf::Keyboard::Enter || key == firstKey(Action::Jump, sf::Keyboard::Enter)) {
        press(index);
        return true;
    }
    return false;
}

void ButtonColumn::press(size_t i) {
    // Copied first: pressing may replace the world, or the owner of this column, and with them
    // this object.
    const std::function<void()> action = buttons[i].press;
    if (action)
        action();
}

void ButtonColumn::remove() {
    if (!*live)
        return;
    *live = false;
    for (const EntityHandle& entity : entities)
        world.destroyEntityLater(entity);
    entities.clear();
}

} // namespace game
