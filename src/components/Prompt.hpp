#pragma once

#include "engine/Behavior.hpp"
#include "engine/EntityHandle.hpp"

#include <string>

namespace components {

// The line at the bottom centre of the HUD that says what the place the player stands in has to
// say: hints and the names behind doors (PromptZone). The owner's "text" draws the line over a
// plate, a Sprite on an entity of its own that is stretched to the line. Both fade in over
// `fadeTime` when the target enters a zone and out when he leaves it; a different line waits for
// the old one to fade out first. Where zones overlap, the one whose centre is nearest wins, the
// first in entity order on a tie. A line too wide for the screen is drawn with smaller letters.
// Runs after the bodies have moved (update priority 150). Answers "prompt".
class Prompt : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "prompt";

    // Seconds of a fade in or out.
    static constexpr float fadeTime = 0.2f;
    // Letter cells in pixels, the step from one letter to the next as a share of a cell, and the
    // widest a line may be before its letters shrink.
    static constexpr float letterSize = 22.0f;
    static constexpr float letterAdvance = 0.7f;
    static constexpr float maxLineWidth = 720.0f;
    // The lower edge of the letters, the plate's margins around them, and the screen's width.
    static constexpr float baseline = 24.0f;
    static constexpr float plateMarginX = 22.0f;
    static constexpr float plateMarginY = 10.0f;
    static constexpr float screenWidth = 800.0f;

    // `target` is the player whose position chooses the zone; `plate` the entity of the plate.
    Prompt(vorn::engine::EntityHandle target, vorn::engine::EntityHandle plate);

    // Chooses the wanted line, moves the fade on by dt and lays out the text and the plate.
    void update(float dt) override;

    // The line the target's position asks for now; "" outside every zone or without a target.
    std::string wantedLine() const;
    // The line on show (fading in, shown or fading out).
    const std::string& shownLine() const { return shown; }
    // 0 hidden .. 1 fully shown.
    float opacity() const { return visibility; }

    vorn::engine::EntityHandle target;
    vorn::engine::EntityHandle plate;

private:
    void layOut();

    std::string shown;
    float visibility = 0.0f;
};

} // namespace components
