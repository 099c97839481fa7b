#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vorn::engine {
class World;
}

namespace game {

class RunSettings;
struct Settings;

// The settings screen: one row for each setting (quality, music and effects volume, fullscreen,
// frame meter, and the assists: game speed, unlimited energy, no damage) and a Back row, over a
// painted panel, in the HUD's font. Up and Down move the focus (a pad's stick and d-pad send
// them), Left and Right step the focused setting back and forth, Enter or the pad's jump button
// steps it on (or leaves, on Back); Escape or the pad's Start leaves. A click on a row steps it
// on, a click on the left half of its value steps it back. Every change takes effect and is
// saved at once.
class SettingsScreen {
public:
    using Back = std::function<std::shared_ptr<vorn::engine::World>()>;

    // The rows, top to bottom; the last is Back.
    static const std::vector<std::string>& rowLabels();
    // The screen over `settings`; leaving it hands the world `back` builds to the Application.
    static std::shared_ptr<vorn::engine::World> build(std::shared_ptr<RunSettings> settings,
                                                      Back back);
    // What the row shows of `settings` ("auto", "70 %", "on", ...); empty for Back.
    static std::string valueText(int row, const Settings& settings);
    // `settings` with the row's setting stepped: +1 on, -1 back, 0 on and round (Enter, clicks).
    // Volumes step by 10 between 0 and 100, the rest go round their choices.
    static Settings step(int row, Settings settings, int direction);
};

} // namespace game
