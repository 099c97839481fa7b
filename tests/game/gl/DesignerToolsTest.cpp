// The level designer's tools in a running game: the collider overlay, the reload of the area's
// level file (F5 and --watch) and the frame meter. Each test plays a small area written to a
// temporary file, at a fixed time step with scripted keys, through the game's own run loop; a
// probe behaviour in the area watches from inside and edits the file at a chosen frame.
#include "game/tools/DesignerTools.hpp"
#include "components/Score.hpp"
#include "engine/Behavior.hpp"
#include "engine/DiagnosticsCapture.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/InputSource.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "game/Game.hpp"
#include "game/LevelEntrances.hpp"
#include "game/Scenes.hpp"
#include "game/tools/ColliderOverlay.hpp"
#include "game/tools/DesignerSettings.hpp"
#include "rendering/Camera.hpp"
#include "rendering/Text.hpp"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using vorn::engine::EntityHandle;
using vorn::engine::World;
using Clock = std::chrono::steady_clock;

// The ninja stands on a long platform; a small platform lies to his right, in view.
std::string level(const std::string& smallPlatformX) {
    return "[\n"
           "    flatPlat3 [ [0 0 0] [0 0 0] [1 1 1] ]\n"
           "    player [ [0 10 0] [0 0 0] [1 1 1] ]\n"
           "    smallPlat [ [" +
           smallPlatformX +
           " 0 0] [0 0 0] [1 1 1] ]\n"
           "]\n";
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
}

// Runs a hook of the test in the update pass of every frame of its area, after the physics and
// before the reload (20000).
class Probe : public vorn::engine::Behavior {
public:
    std::function<void(int, World&)> onFrame;
    Probe() { updatePriority = 15000.0f; }
    void update(float) override {
        if (onFrame)
            onFrame(frame, *getWorld());
        ++frame;
    }
    int frame = 0;
};

struct GameRun {
    int status = -1;
    std::string errors;
    std::string report;
    nlohmann::json state;
    sf::Image picture;
};

struct Play {
    std::string levelFile;
    std::string script;
    uint64_t frames = 20;
    std::shared_ptr<game::DesignerSettings> tools = std::make_shared<game::DesignerSettings>();
    std::function<void(int, World&)> onFrame;
    // What the probe found, written out once the game has ended.
    std::function<std::string()> report;
    bool screenshot = false;
    std::string quality; // --quality, when not empty
};

Play area(const std::string& levelFile, const std::string& script, uint64_t frames) {
    Play p;
    p.levelFile = levelFile;
    p.script = script;
    p.frames = frames;
    return p;
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Plays the area in a child process, as the executable would run it: every game gets a window
// and GL context of its own, and the probe's findings come back through a file.
GameRun play(const Play& p) {
    static int runs = 0;
    const std::string base =
        ::testing::TempDir() + std::to_string(getpid()) + "_designer_" + std::to_string(++runs);
    setenv("ALSOFT_CONF", MOSSFANG_SOURCE_DIR "/scripts/openal-null.conf", 1);
    game::GameOptions options;
    options.frames = p.frames;
    options.fixedDt = 1.0f / 60.0f;
    options.quality = p.quality;
    options.dumpStateFile = base + "_state.json";
    std::remove(options.dumpStateFile.c_str());
    if (!p.script.empty()) {
        options.inputFile = base + "_input.txt";
        writeFile(options.inputFile, p.script);
    }
    if (p.screenshot) {
        options.screenshotFile = base + "_picture.png";
        std::remove(options.screenshotFile.c_str());
    }
    const std::string errorsFile = base + "_errors.txt";
    const std::string reportFile = base + "_report.txt";
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        int status = 1;
        std::string errors;
        {
            vorn::engine::DiagnosticsCapture capture;
            status = game::Game::run(options, [&] {
                auto world = game::Scenes::freshArea(p.levelFile, "",
                                                     game::DesignerTools::areaExtras(p.tools));
                auto* probe = new Probe;
                probe->onFrame = p.onFrame;
                world->addComponent(probe);
                return world;
            });
            errors = capture.errText();
        }
        writeFile(errorsFile, errors);
        writeFile(reportFile, p.report ? p.report() : std::string());
        std::fflush(nullptr);
        std::_Exit(status);
    }
    GameRun run;
    int raw = 0;
    if (child < 0 || waitpid(child, &raw, 0) != child) {
        run.errors = std::string("the game's process was lost: ") + std::strerror(errno);
        return run;
    }
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    if (WIFSIGNALED(raw))
        run.errors = "the game's process ended on signal " + std::to_string(WTERMSIG(raw));
    run.errors = readFile(errorsFile);
    run.report = readFile(reportFile);
    std::ifstream state(options.dumpStateFile);
    if (state)
        run.state = nlohmann::json::parse(state, nullptr, false);
    if (p.screenshot)
        run.picture.loadFromFile(options.screenshotFile);
    return run;
}

bool hasLabel(const nlohmann::json& entity, const std::string& label) {
    for (const auto& l : entity.value("labels", nlohmann::json::array()))
        if (l == label)
            return true;
    return false;
}

std::vector<nlohmann::json> labelled(const GameRun& run, const std::string& label) {
    std::vector<nlohmann::json> found;
    for (const auto& e : run.state.value("entities", nlohmann::json::array()))
        if (hasLabel(e, label))
            found.push_back(e);
    return found;
}

// The x positions of the platforms, in entity order.
std::vector<double> platformXs(const GameRun& run) {
    std::vector<double> xs;
    for (const auto& e : labelled(run, "platform"))
        xs.push_back(e["position"][0].get<double>());
    return xs;
}

EntityHandle firstWith(World& world, const std::string& name) {
    for (const EntityHandle& e : world.getEntities(name))
        return e;
    return EntityHandle{0, &world};
}

glm::vec3 playerPosition(World& world) {
    const EntityHandle player = firstWith(world, "player");
    const auto* t = world.getComponentAs<vorn::components::Transform>(
        player, vorn::components::Transform::componentName);
    return t ? glm::vec3(t->matrix[3]) : glm::vec3(-1e6f);
}

void setPoints(World& world, int points) {
    if (auto* score = world.getComponentAs<vorn::components::Score>(
            firstWith(world, "player"), vorn::components::Score::componentName))
        score->points = points;
}

int countLines(const std::string& text, const std::string& start) {
    int n = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(start, 0) == 0)
            ++n;
    return n;
}

// Pixels near (x, y) (y from the bottom) whose colour `matches`.
int pixelsNear(const sf::Image& image, int x, int y, int radius,
               const std::function<bool(const sf::Color&)>& matches) {
    int n = 0;
    const int h = static_cast<int>(image.getSize().y);
    const int w = static_cast<int>(image.getSize().x);
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const int px = x + dx, py = h - 1 - (y + dy);
            if (px >= 0 && py >= 0 && px < w && py < h && matches(image.getPixel(px, py)))
                ++n;
        }
    return n;
}

bool samePicture(const sf::Image& a, const sf::Image& b) {
    if (a.getSize() != b.getSize() || a.getSize().x == 0)
        return false;
    const size_t bytes = static_cast<size_t>(a.getSize().x) * a.getSize().y * 4;
    return std::equal(a.getPixelsPtr(), a.getPixelsPtr() + bytes, b.getPixelsPtr());
}

class DesignerTools : public ::testing::Test {
protected:
    void SetUp() override {
        path = ::testing::TempDir() + std::to_string(getpid()) + "_designer_area_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
        writeFile(path, level("40"));
    }
    std::string path;
};

} // namespace

TEST_F(DesignerTools, OverlayOutlinesTheColliderWhereTheCameraSeesItAndLeavesNoTraceWhenOff) {
    // Where the small platform's left edge (x 33.25, y 0) lands on the screen in the last frame.
    glm::vec2 edge(-1.0f);
    Play overlay = area(path, "", 20);
    overlay.tools->debugDraw = true;
    overlay.screenshot = true;
    overlay.onFrame = [&](int frame, World& world) {
        const EntityHandle camera = firstWith(world, "camera");
        const auto* t = world.getComponentAs<vorn::components::Transform>(
            camera, vorn::components::Transform::componentName);
        const auto* lens = world.getComponentAs<vorn::components::Camera>(camera, "camera");
        if (frame == 19 && t && lens)
            game::ColliderOverlay::toScreen(lens->projection * glm::inverse(t->matrix),
                                            {33.25f, 0.0f, 0.0f}, edge);
    };
    overlay.report = [&] { return std::to_string(edge.x) + " " + std::to_string(edge.y); };
    const GameRun drawn = play(overlay);
    ASSERT_EQ(drawn.status, 0) << drawn.errors;
    std::istringstream(drawn.report) >> edge.x >> edge.y;
    ASSERT_GT(edge.x, 0.0f) << drawn.report;
    ASSERT_LT(edge.x, 800.0f) << drawn.report;

    Play plainPlay = area(path, "", 20);
    plainPlay.screenshot = true;
    const GameRun plain = play(plainPlay);
    // F3 twice: on for three frames, then off again.
    Play toggledPlay = area(path, "3 hold F3\n6 hold F3\n", 20);
    toggledPlay.screenshot = true;
    const GameRun toggled = play(toggledPlay);
    ASSERT_EQ(plain.status, 0) << plain.errors;
    ASSERT_EQ(toggled.status, 0) << toggled.errors;

    const glm::vec3 green =
        game::ColliderOverlay::colourOf(game::ColliderOverlay::Kind::staticPlatform);
    const auto outlineColour = [&](const sf::Color& c) {
        return std::abs(c.r - green.r * 255.0f) < 40.0f &&
               std::abs(c.g - green.g * 255.0f) < 40.0f && std::abs(c.b - green.b * 255.0f) < 40.0f;
    };
    const int x = static_cast<int>(edge.x), y = static_cast<int>(edge.y);
    EXPECT_GT(pixelsNear(drawn.picture, x, y, 2, outlineColour), 0)
        << "no static-platform outline near (" << x << ", " << y << ")";
    EXPECT_EQ(pixelsNear(plain.picture, x, y, 2, outlineColour), 0);
    EXPECT_FALSE(samePicture(drawn.picture, plain.picture));
    EXPECT_TRUE(samePicture(toggled.picture, plain.picture))
        << "the overlay, switched off again, changed the picture";
}

TEST_F(DesignerTools, TheLevelFileIsOpenedOncePerLoadWithTheOverlaysEntrancesFromThatRead) {
    // The kernel reports every opening of the file by the game; an F5 reload is a second load.
    // Closings are watched too: identical events in a row would be reported as one.
    writeFile(path, "[ flatPlat3 [ [0 0 0] [0 0 0] [1 1 1] ]\n"
                    "  entrance [ [0 10 0] [0 0 0] [1 1 1] \"door\" ] ]\n");
    const int watch = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, path.c_str(), IN_OPEN | IN_CLOSE), 0);
    Play reload = area(path, "10 hold F5\n", 20);
    size_t entrances = 0;
    reload.onFrame = [&](int, World& world) { entrances = game::LevelEntrances::of(world).size(); };
    reload.report = [&] { return std::to_string(entrances); };
    const GameRun run = play(reload);
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.report, "1");
    int opened = 0;
    alignas(inotify_event) char events[4096];
    for (ssize_t got; (got = read(watch, events, sizeof events)) > 0;) {
        for (char* at = events; at < events + got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            opened += (event->mask & IN_OPEN) != 0 ? 1 : 0;
            at += sizeof(inotify_event) + event->len;
        }
    }
    close(watch);
    EXPECT_EQ(opened, 2);
}

TEST_F(DesignerTools, F5ReloadsTheEditedFileAndKeepsTheNinjaWhereHeStandsWithHisScore) {
    glm::vec3 before(0.0f);
    Play reload = area(path, "41 hold F5\n", 45);
    reload.onFrame = [&](int frame, World& world) {
        if (frame == 40) {
            setPoints(world, 42);
            writeFile(path, level("60"));
        } else if (frame == 41) {
            before = playerPosition(world);
        }
    };
    reload.report = [&] { return std::to_string(before.x) + " " + std::to_string(before.y); };
    const GameRun run = play(reload);
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.errors, "");
    std::istringstream(run.report) >> before.x >> before.y;
    EXPECT_EQ(platformXs(run), (std::vector<double>{0.0, 60.0}));
    const auto players = labelled(run, "player");
    ASSERT_EQ(players.size(), 1u);
    EXPECT_EQ(players[0]["score"]["points"], 42);
    // He stood on the long platform at the reload and still stands there, a few frames on.
    EXPECT_NEAR(players[0]["position"][0].get<double>(), before.x, 0.5);
    EXPECT_NEAR(players[0]["position"][1].get<double>(), before.y, 0.5);
    EXPECT_GT(before.y, 3.0f);
}

TEST_F(DesignerTools, ABrokenEditKeepsTheAreaRunningAndPrintsOneErrorLine) {
    int lastFrame = -1;
    Play broken = area(path, "41 hold F5\n", 45);
    broken.onFrame = [&](int frame, World& world) {
        lastFrame = frame;
        if (frame == 40) {
            setPoints(world, 7);
            // The edit stops in the middle of a vector.
            writeFile(path, "[\n    flatPlat3 [ [0 0 0] [0 0 0] [1 1 1] ]\n    smallPlat [ [60 0");
        }
    };
    broken.report = [&] { return std::to_string(lastFrame); };
    const GameRun run = play(broken);
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(countLines(run.errors, "Error loading level:"), 1) << run.errors;
    // The probe of the first area saw every frame: the area never stopped.
    EXPECT_EQ(run.report, "44");
    EXPECT_EQ(platformXs(run), (std::vector<double>{0.0, 40.0}));
    const auto players = labelled(run, "player");
    ASSERT_EQ(players.size(), 1u);
    EXPECT_EQ(players[0]["score"]["points"], 7);
}

TEST_F(DesignerTools, WatchPicksUpAChangeOnDiskWithinASecond) {
    // The probe runs only while its area is current: its last frame is the one the change was
    // picked up in.
    Clock::time_point written{}, lastSeen{};
    Play watch = area(path, "", 100);
    watch.tools->watch = true;
    watch.onFrame = [&](int frame, World&) {
        if (frame == 5) {
            writeFile(path, level("60.5"));
            written = Clock::now();
        } else if (frame > 5) {
            // Real time passes while the old area runs, whatever the speed of the machine.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        lastSeen = Clock::now();
    };
    watch.report = [&] {
        return std::to_string(std::chrono::duration<double>(lastSeen - written).count());
    };
    const GameRun run = play(watch);
    ASSERT_EQ(run.status, 0) << run.errors;
    double seconds = 1e9;
    std::istringstream(run.report) >> seconds;
    EXPECT_GE(seconds, 0.0);
    EXPECT_LT(seconds, 1.0);
    EXPECT_EQ(platformXs(run), (std::vector<double>{0.0, 60.5}));
}

TEST_F(DesignerTools, F2ShowsAndHidesTheFrameMeter) {
    std::string texts;
    Play meter = area(path, "5 hold F2\n20 hold F2\n", 30);
    meter.screenshot = true;
    meter.quality = "low";
    meter.onFrame = [&](int frame, World& world) {
        if (frame != 3 && frame != 10 && frame != 25)
            return;
        const auto* text =
            world.getComponentAs<vorn::components::Text>(firstWith(world, "frameMeter"), "text");
        texts += (text ? text->text : "<no meter>") + "|";
    };
    meter.report = [&] { return texts; };
    const GameRun hidden = play(meter);
    ASSERT_EQ(hidden.status, 0) << hidden.errors;
    std::vector<std::string> seen;
    std::istringstream parts(hidden.report);
    for (std::string part; std::getline(parts, part, '|');)
        seen.push_back(part);
    ASSERT_EQ(seen.size(), 3u) << hidden.report;
    EXPECT_EQ(seen[0], "");
    EXPECT_NE(seen[1].find(" fps  update "), std::string::npos) << seen[1];
    EXPECT_NE(seen[1].find(" render "), std::string::npos) << seen[1];
    EXPECT_NE(seen[1].find(" post "), std::string::npos) << seen[1];
    // The level drawn and the render scale (a named level is drawn at full scale).
    EXPECT_NE(seen[1].find("  low 100%"), std::string::npos) << seen[1];
    EXPECT_EQ(seen[2], "");

    Play shownPlay = area(path, "5 hold F2\n", 12);
    shownPlay.screenshot = true;
    const GameRun shown = play(shownPlay);
    ASSERT_EQ(shown.status, 0) << shown.errors;
    // The meter's line, pale yellow, at the top of the screen right of the HUD frame.
    const auto letters = [](const sf::Color& c) { return c.r > 150 && c.g > 150; };
    EXPECT_GT(pixelsNear(shown.picture, 300, 589, 8, letters) +
                  pixelsNear(shown.picture, 400, 589, 8, letters),
              10);
    EXPECT_EQ(pixelsNear(hidden.picture, 300, 589, 8, letters) +
                  pixelsNear(hidden.picture, 400, 589, 8, letters),
              0);
}
