#include "game/CommandLine.hpp"

#include "particles/ParticleEffects.hpp"
#include "rendering/QualityLevel.hpp"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace game {

namespace {

// Accepts a whole number written in decimal digits only, so that "010" means ten (not eight, as
// a C-style base prefix would read it) and "0x10" is refused. Leading zeros are dropped before the
// text reaches the option's own conversion, which would otherwise read them as a base prefix.
const CLI::Validator decimalWholeNumber(
    [](std::string& text) -> std::string {
        if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
            return "'" + text + "' is not a whole number in decimal digits";
        const size_t firstNonZero = text.find_first_not_of('0');
        text = firstNonZero == std::string::npos ? "0" : text.substr(firstNonZero);
        return {};
    },
    "DECIMAL");

// Accepts a whole number greater than zero (after decimalWholeNumber has normalised it).
const CLI::Validator positiveWholeNumber(
    [](std::string& text) -> std::string {
        if (text == "0")
            return "must be greater than 0, not " + text;
        return {};
    },
    "POSITIVE");

// Accepts a number of seconds that is greater than zero and finite once stored as a float, the
// type the main loop uses: 1e-50 passes a check made in double but becomes 0 as a float.
const CLI::Validator positiveSeconds(
    [](std::string& text) -> std::string {
        try {
            size_t used = 0;
            const double value = std::stod(text, &used);
            if (used != text.size())
                return "'" + text + "' is not a number";
            if (!(value > 0.0))
                return "must be greater than 0, not " + text;
        } catch (const std::out_of_range&) {
            // Too small or too large for a double; the float check below says which.
        } catch (const std::exception&) {
            return "'" + text + "' is not a number";
        }
        const float seconds = std::strtof(text.c_str(), nullptr);
        if (!std::isfinite(seconds))
            return "'" + text + "' is too large a number of seconds";
        if (!(seconds > 0.0f))
            return "'" + text + "' is too small a number of seconds";
        return {};
    },
    "POSITIVE");

// "auto, full, medium, low or minimal": the choices of --quality, heaviest level first.
std::string qualityChoices() {
    std::string list = "auto";
    const auto& levels = vorn::rendering::qualityLevels();
    for (size_t i = 0; i < levels.size(); ++i)
        list += std::string(i + 1 == levels.size() ? " or " : ", ") +
                vorn::rendering::qualityName(levels[i]);
    return list;
}

// Accepts "auto" or the name of a quality level.
const CLI::Validator qualityChoice(
    [](std::string& text) -> std::string {
        if (text == "auto" || vorn::rendering::parseQualityLevel(text))
            return {};
        return "'" + text + "' is not a quality level: " + qualityChoices();
    },
    "LEVEL");

void describe(CLI::App& app, GameOptions& options) {
    app.set_help_flag("-h,--help", "Show this help and exit");
    app.add_option("--frames", options.frames, "Quit after N frames")
        ->type_name("N")
        ->transform(decimalWholeNumber)
        ->check(positiveWholeNumber);
    app.add_option("--fixed-dt", options.fixedDt,
                   "Use SECONDS as every frame's time step; the loop never sleeps")
        ->type_name("SECONDS")
        ->check(positiveSeconds);
    app.add_option("--seed", options.seed, "Seed of the random number generator (default 1)")
        ->type_name("N")
        ->transform(decimalWholeNumber);
    app.add_option("--input", options.inputFile,
                   "Replay keyboard and mouse input from FILE instead of the real devices")
        ->type_name("FILE");
    app.add_option("--screenshot", options.screenshotFile,
                   "After the last frame, save the window's picture as PNG")
        ->type_name("FILE");
    CLI::Option* viewModel =
        app.add_option("--view-model", options.viewModel,
                       "Show one model (an OBJ, or an animated model or its animation definition "
                       "file, relative to assets/) lit and slowly turning, instead of the game")
            ->type_name("NAME");
    app.add_option("--animation", options.animation,
                   "With --view-model of an animated model: the segment to play")
        ->type_name("NAME")
        ->needs(viewModel);
    CLI::Option* area =
        app.add_option("--area", options.area,
                       "Start in an area instead of the menu; FILE is a level file under "
                       "assets/levels/ or a path to a level file")
            ->type_name("FILE");
    app.add_option("--entrance", options.entrance,
                   "With --area: the entrance to place the player at")
        ->type_name("NAME")
        ->needs(area);
    app.add_option("--upgrades", options.upgrades,
                   "With --area: the ninja starts with these upgrades already earned "
                   "(comma-separated: doubleJump, sword)")
        ->type_name("LIST")
        ->delimiter(',')
        ->check(CLI::IsMember({"doubleJump", "sword"}))
        ->needs(area);
    app.add_option("--dump-state", options.dumpStateFile,
                   "After the last frame, write the current world as JSON")
        ->type_name("FILE");
    app.add_option("--dump-at", options.dumpFrames,
                   "With --dump-state FILE: also write the world at each of these frames, to FILE "
                   "with -N inserted before its extension")
        ->type_name("N,...")
        ->delimiter(',')
        ->needs(app.get_option("--dump-state"));
    app.add_flag("--update-only", options.updateOnly,
                 "Draw only the last frame; every other frame is updated but not drawn (fast "
                 "replays of recorded input)");
    app.add_option("--check-level", options.checkLevel,
                   "Parse a level without a window and report unknown keywords, doors to missing "
                   "files or entrances, entrances no door leads to, and the layout's traps (ant "
                   "patrols, scenery over gaps, sleepers no wake zone wakes); exit 0 only when "
                   "all is well")
        ->type_name("FILE");
    app.add_option("--overview", options.overviewFile,
                   "With --area: render the whole area (every entity, far orthographic camera, no "
                   "HUD) into one PNG")
        ->type_name("FILE")
        ->needs(area);
    app.add_option("--profile-frames", options.profileFrames,
                   "After N frames, print the mean GPU time of each post-processing step and the "
                   "CPU time of update and render")
        ->type_name("N")
        ->transform(decimalWholeNumber)
        ->check(positiveWholeNumber);
    app.add_flag("--debug-draw", options.debugDraw,
                 "With --area: draw collider outlines, contacts, door targets and entrance names "
                 "over the picture")
        ->needs(area);
    app.add_flag("--watch", options.watch,
                 "With --area: reload the level file whenever it changes on disk, keeping the "
                 "ninja where he stands")
        ->needs(area);
    app.add_option("--resource-log", options.resourceLogFile,
                   "Write resident memory and live OpenGL and OpenAL object counts to FILE at "
                   "start-up, at every scene change and every 600 frames")
        ->type_name("FILE");
    app.add_option("--quality", options.quality,
                   "Picture quality for this run: " + qualityChoices() +
                       " (default auto: full with a graphics card, lighter on a software "
                       "renderer, adapting to the frame rate; full with --fixed-dt)")
        ->type_name("LEVEL")
        ->check(qualityChoice);
    app.add_flag("--post", options.post,
                 "With --view-model: draw through the post-processing renderer")
        ->needs(viewModel);
    const std::vector<std::string>& effects = vorn::particles::ParticleEffects::names();
    std::string effectList;
    for (const std::string& effect : effects)
        effectList += (effectList.empty() ? "" : "|") + effect;
    app.add_option("--view-effect", options.viewEffect,
                   "Show one particle effect by name instead of the game")
        ->type_name(effectList)
        ->check(CLI::IsMember(effects))
        ->excludes(viewModel);
}

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n')
            c = ' ';
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

} // namespace

std::string CommandLine::usage() {
    GameOptions scratch;
    CLI::App app("Mossfang - a 2.5D side-view action platformer", "mossfang");
    describe(app, scratch);
    return app.help();
}

std::optional<int> CommandLine::parse(int argc, const char* const* argv, GameOptions& options,
                                      std::ostream& out, std::ostream& err) {
    CLI::App app("Mossfang - a 2.5D side-view action platformer", "mossfang");
    describe(app, options);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::ParseError& e) {
        err << app.help() << "mossfang: " << oneLine(e.what()) << "\n";
        return 2;
    }
    options.entranceGiven = app.get_option("--entrance")->count() > 0;
    if (!std::isfinite(options.fixedDt)) {
        err << app.help() << "mossfang: --fixed-dt must be a finite number of seconds\n";
        return 2;
    }
    return std::nullopt;
}

} // namespace game
