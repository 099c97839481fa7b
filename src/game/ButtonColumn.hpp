#pragma once

#include "engine/EntityHandle.hpp"

#include <SFML/Window/Keyboard.hpp>
#include <glm/vec2.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vorn::engine {
class World;
}

namespace game {

// A column of picture buttons on a flat screen (one unit a pixel, y up), top to bottom, with a
// marker left of the button that has the keyboard and gamepad focus. Up and Down, and the first
// keys of the up and down actions (which a pad's stick and d-pad send), move the focus; Enter or
// the first key of the jump action (a pad's face button) presses the focused button; a click
// presses the button under it. Adding a button is one more entry in the list it is built from.
class ButtonColumn {
public:
    struct Button {
        std::string picture; // under the asset root, width x height pixels
        std::function<void()> press;
    };
    static constexpr float width = 240.0f;
    static constexpr float height = 64.0f;
    // From one button's top to the next one's.
    static constexpr float step = 68.0f;

    // Builds the buttons in `world`, centred on `centre` as a column; each entity carries the
    // label `space` when it is not empty.
    ButtonColumn(vorn::engine::World& world, std::vector<Button> buttons, const glm::vec2& centre,
                 const std::string& space = "");
    // Its buttons, if still there, answer nothing more.
    ~ButtonColumn() { *live = false; }
    ButtonColumn(const ButtonColumn&) = delete;
    ButtonColumn& operator=(const ButtonColumn&) = delete;

    // Moves or uses the focus; false when the key is none of the column's.
    bool handleKey(sf::Keyboard::Key key);
    // Takes the buttons away at the end of the world's next update pass; from now on they answer
    // no click and no key.
    void remove();

    // The lower-left corner of button `i`.
    glm::vec2 corner(size_t i) const;
    size_t focus() const { return index; }
    size_t size() const { return buttons.size(); }

private:
    void press(size_t i);
    void placeMarker();

    vorn::engine::World& world;
    std::vector<Button> buttons;
    glm::vec2 top; // the top centre of the column
    std::vector<vorn::engine::EntityHandle> entities;
    vorn::engine::EntityHandle marker;
    size_t index = 0;
    // Shared with the click handlers, which may be called after remove() or after this column
    // has gone, until the world takes the buttons away.
    std::shared_ptr<bool> live = std::make_shared<bool>(true);
};

} // namespace game
