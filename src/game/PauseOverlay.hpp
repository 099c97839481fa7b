#pragma once

#include "engine/Component.hpp"
#include "engine/EntityHandle.hpp"
#include "engine/ScopedConnection.hpp"

#include <SFML/Window/Keyboard.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace game {

class ButtonColumn;

// The pause of an area. Escape (or a key of the menu action, which a pad's Start button sends)
// stops the world, quietens the music, holds the sound effects and lays a panel over the still
// picture: Resume, Controls, Settings (once the game installs it) and Leave to menu. Leaving asks
// once: Leave or Stay. Controls shows the controls screen over the paused area, and any key or
// click returns to the panel. Escape goes back one step; from the panel it resumes.
//
// Lives on the area's own entity; the area's key handler hands it every key first. Its pictures
// carry the label "pauseSpace" and are drawn by a renderer of their own, after everything else of
// the area, for as long as the pause lasts. Answers "pauseOverlay".
class PauseOverlay : public vorn::engine::Component {
public:
    inline static const std::string componentName = "pauseOverlay";
    static constexpr const char* space = "pauseSpace";
    // The share of its volume the music keeps while paused.
    static constexpr float musicShare = 0.4f;

    enum class Page { playing, panel, leaving, controls };

    using AreaAction = std::function<void(vorn::engine::World& area)>;
    // `leave` takes the player from the paused area to the menu.
    explicit PauseOverlay(AreaAction leave);
    // Gives the sound back if the area goes while paused.
    ~PauseOverlay() override;

    // Listens to the clicks of the area (the controls page goes back on any click).
    void onActivated() override;
    void onRemoved() override;

    // A key pressed in the area: whether it was the pause's. While paused, every key is.
    bool handleKey(sf::Keyboard::Key key);
    // Stops the area and shows the panel.
    void pause();
    // Takes the overlay away and lets the area run on.
    void resume();
    Page page() const { return current; }

    // Puts a Settings button on the panel, between Controls and Leave, which calls `open` with
    // the paused area. Without it the panel has none.
    void setSettings(AreaAction open) { openSettings = std::move(open); }

    // The pause of `world`, or null.
    static PauseOverlay* of(vorn::engine::World& world);

private:
    void show(Page next);
    void clearPage();
    void quieten(bool on);

    AreaAction leave;
    AreaAction openSettings;
    Page current = Page::playing;
    // While paused: the overlay's camera and renderer, and the shade over the still picture.
    vorn::engine::EntityHandle root;
    vorn::engine::EntityHandle shade;
    // The pictures of the page shown.
    std::vector<vorn::engine::EntityHandle> pictures;
    std::unique_ptr<ButtonColumn> column;
    float musicVolume = 1.0f;
    bool quiet = false;
    vorn::engine::ScopedConnection clicks;
};

} // namespace game
