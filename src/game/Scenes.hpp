#pragma once

#include "game/LevelLoader.hpp"
#include "game/SavedRun.hpp"

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vorn::engine {
class World;
}

namespace game {

// The scene builders and the flow between scenes: the menu, the controls screen, the summary at
// the end of the journey, the six credits pages and the play areas. Each builder returns a new
// world; the key and button handlers it installs hand the next scene to the world's Application,
// which switches at the end of the update. Every scene names itself with a SceneName component on
// the world's own entity.
class Scenes {
public:
    static constexpr int creditsPages = 6;
    // The level the menu starts.
    static constexpr const char* startingArea = "startingArea.txt";

    // What a run adds to every area it builds, after the game's own parts and before the area's
    // keys are connected: the designer's tools. Given the new area, its level file and entrance.
    using AreaExtras = std::function<void(vorn::engine::World& area, const std::string& levelFile,
                                          const std::string& entrance)>;

    // The menu: Continue and New game when a run is saved, else Start; Controls, Credits, Quit.
    // Space plays (Continue when a run is saved), Escape asks before it quits.
    static std::shared_ptr<vorn::engine::World> menu();
    static std::shared_ptr<vorn::engine::World> controls();
    // Page 0 to 5; other numbers are clamped.
    static std::shared_ptr<vorn::engine::World> credits(int page);

    // One line of the summary: a name on the left, its value on the right.
    struct SummaryLine {
        std::string name;
        std::string value;
    };
    // The lines the summary has room for.
    static constexpr size_t summaryRoom = 8;
    // The page before the credits, in their style: `lines` top to bottom, and after a moment any
    // key or click goes on to the first credits page.
    static std::shared_ptr<vorn::engine::World> summary(const std::vector<SummaryLine>& lines);
    // The summary of a finished run: time, score, eggs found of `eggsInJourney`, shinies,
    // deaths, secret places found of `secretsInJourney` (when the journey has any), the best time
    // when there is one (`newBest` when this run set it), and a mark when the run was played with
    // an assist.
    static std::vector<SummaryLine> summaryLines(const SavedRun& run, int eggsInJourney,
                                                 int secretsInJourney,
                                                 std::optional<float> bestTime, bool newBest);
    // How many entries of `keyword` ("antEgg", "secret") the areas the doors reach from
    // `firstArea` hold, each area counted once.
    static int countInJourney(const std::string& keyword,
                              const std::string& firstArea = startingArea);
    // The same from several first areas together, each area still counted once.
    static int countInJourney(const std::string& keyword,
                              const std::vector<std::string>& firstAreas);
    // Seconds as minutes, seconds and tenths (the nearest): 731.24 is "12:11.2".
    static std::string formatTime(float seconds);

    // A saved run going on: its area, entered at its entrance by a ninja with the run's score,
    // health, energy, upgrades and record, placed at its checkpoint if it has one; the pickups it
    // took there are gone.
    static std::shared_ptr<vorn::engine::World> continueRun(const SavedRun& run);
    // A play area from a level file (under the asset root's "levels/", or a path), entered at
    // `entrance` by the carried player, if any. Always yields a playable area, given `extras`.
    static std::shared_ptr<vorn::engine::World> area(LevelLoader::CarriedPlayer& carried,
                                                     const std::string& levelFile,
                                                     const std::string& entrance,
                                                     const AreaExtras& extras = {});
    // Reads `levelFile` again into a new area that replaces the running area `world` in its
    // Application; the ninja moves over where he stands with all his components. When the file
    // fails to load, the loader's error line is all that happens: `world` keeps running, ninja
    // and all. Returns whether a new area was built.
    static bool reloadArea(vorn::engine::World& world, const std::string& levelFile,
                           const std::string& entrance, const AreaExtras& extras = {});

    // The HUD of an area: its camera, bars, frame and score displays, and the prompt at the
    // bottom centre that shows what the zone the player stands in says; all tagged `space`.
    static void buildHud(vorn::engine::World& world, const std::string& space);
    // How long an area entered through a door takes to come up out of black.
    static constexpr float doorFadeSeconds = 0.25f;
    // The black picture over the whole HUD that clears over doorFadeSeconds (a ScreenFade); the
    // area builder adds it when a ninja arrives through a door.
    static void addArrivalFade(vorn::engine::World& world, const std::string& space);
    // Switches the game camera between following at a fixed offset and keeping its distance.
    static void toggleCameraMode(vorn::engine::World& world);

    // The file an area's level name opens: "levels/NAME" under the asset root when it exists,
    // otherwise NAME itself as a path.
    static std::string levelPath(const std::string& levelFile);
    // The name a scene was built under ("menu", "controls", "credits 2", "area startingArea.txt").
    static std::string sceneName(const vorn::engine::World& world);

    // The entrance for a run started in `levelFile` without naming one: the file's "player" entry
    // places him (the name returned is one no entrance of the file carries), else its entrance "",
    // else its first entrance; with none of these he stands at the origin. Says which on `say`,
    // in one line. A file that cannot be read gives "" and says nothing: loading it will.
    static std::string chooseEntrance(const std::string& levelFile, std::ostream& say);

    // A fresh area, entered from the menu or a debug key: no carried player.
    static std::shared_ptr<vorn::engine::World> freshArea(const std::string& levelFile,
                                                          const std::string& entrance,
                                                          const AreaExtras& extras = {});

    // Installs the scene changes of doors and of the hat into the gameplay components; the areas
    // they build, and those the menu starts, get `extras`. A ninja arriving through a door or
    // touching a checkpoint saves the run; the hat ends it (the save goes, the time of a run begun
    // in the starting area is offered as the best) with its summary.
    static void installSceneCallbacks(AreaExtras extras = {});

    // Builds the run's settings screen, whose Back leads to the world `back` builds.
    using SettingsBuilder = std::function<std::shared_ptr<vorn::engine::World>(
        std::function<std::shared_ptr<vorn::engine::World>()> back)>;
    // Installs (or, with an empty function, removes) the run's settings screen. Without one the
    // menu's Settings button does nothing.
    static void installSettingsScreen(SettingsBuilder builder);
    // The settings screen leading back to what `back` builds; null when none is installed.
    static std::shared_ptr<vorn::engine::World>
    settingsScreen(std::function<std::shared_ptr<vorn::engine::World>()> back);
};

} // namespace game
