// What the shipped areas tell and show a player finding his way: every hint and every door's name
// reaches the screen as the HUD's prompt, whole and uncovered, while the ninja stands in its
// zone; every door stands visibly in its arch of roots; and the area behind a door comes up out
// of black within 0.3 s. The areas are built and drawn in process, at 800 x 600, as the game
// draws them.
#include "audio/SoundTable.hpp"
#include "components/Prompt.hpp"
#include "components/PromptZone.hpp"
#include "components/SceneBuilders.hpp"
#include "engine/Application.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "game/LevelLoader.hpp"
#include "game/Scenes.hpp"
#include "parsing/DefinitionReader.hpp"
#include "physics/Body.hpp"
#include "rendering/Camera.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/Renderer.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/Sprite.hpp"
#include "rendering/Text.hpp"
#include "support/GlTestContext.hpp"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using vorn::components::Transform;
using vorn::engine::EntityHandle;
using vorn::engine::World;
using Picture = std::vector<glm::u8vec4>;

constexpr int width = 800;
constexpr int height = 600;
constexpr float dt = 1.0f / 60.0f;

// The five shipped areas, entered as the menu's keys enter them.
const std::vector<std::pair<std::string, std::string>> areas = {
    {"startingArea.txt", ""},
    {"simpleArea.txt", "simpleBottomDoor"},
    {"trickyArea.txt", "trickyLeftDoor"},
    {"swordArea.txt", "swordLeftDoor"},
    {"prototypeLevel.txt", "start"},
};

EntityHandle first(World& world, const std::string& name) {
    for (const EntityHandle& e : world.getEntities(name))
        return e;
    return EntityHandle{0, &world};
}

glm::vec3 positionOf(World& world, EntityHandle e) {
    return world.getComponentAs<Transform>(e, Transform::componentName)->position();
}

// Brightness of a pixel, 0 .. 255.
float luma(const glm::u8vec4& p) {
    return 0.2126f * p.r + 0.7152f * p.g + 0.0722f * p.b;
}

float meanLuma(const Picture& picture) {
    double sum = 0.0;
    for (const glm::u8vec4& p : picture)
        sum += luma(p);
    return static_cast<float>(sum / static_cast<double>(picture.size()));
}

bool near(const glm::u8vec4& a, const glm::u8vec4& b, int tolerance) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(int(a[i]) - int(b[i])) > tolerance)
            return false;
    return true;
}

class Wayfinding : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ALSOFT_CONF", MOSSFANG_SOURCE_DIR "/scripts/openal-null.conf", 1);
        previousDirectory = std::filesystem::current_path();
        std::filesystem::current_path(MOSSFANG_SOURCE_DIR);
        context = std::make_unique<testsupport::GlTestContext>(width, height);
        ASSERT_TRUE(context->ok()) << context->error();
        state = std::make_unique<vorn::rendering::RenderState>(nullptr);
        previousRoot = vorn::engine::assetRoot();
        vorn::engine::setAssetRoot(std::string(MOSSFANG_SOURCE_DIR) + "/assets/");
        static const bool registered = [] {
            vorn::audio::registerSoundTable();
            return true;
        }();
        (void)registered;
    }
    void TearDown() override {
        app.reset();
        components::SceneBuilders::setAreaBuilder(nullptr);
        components::SceneBuilders::setCreditsBuilder(nullptr);
        vorn::engine::setAssetRoot(previousRoot);
        state.reset();
        context.reset();
        std::filesystem::current_path(previousDirectory);
    }

    // Runs a world under a new Application.
    World& start(const std::shared_ptr<World>& world) {
        app.reset();
        context->bind();
        app = std::make_unique<vorn::engine::Application>(state.get(), 20.0f, 60.0f,
                                                          vorn::engine::assetRoot());
        app->setWorld(world);
        return *world;
    }
    World& current() { return *app->currentWorld(); }
    void step(int frames) {
        for (int i = 0; i < frames; ++i)
            app->update(dt);
    }
    Picture draw() {
        context->bind();
        current().render(dt);
        return context->pixels();
    }
    // Puts the ninja at `at`, at rest.
    void place(const glm::vec3& at) {
        World& world = current();
        const EntityHandle ninja = first(world, "player");
        world.getComponentAs<Transform>(ninja, Transform::componentName)->setPosition(at);
        if (auto* body = world.getComponentAs<vorn::components::Body>(ninja, "body")) {
            body->velocity = glm::vec3(0.0f);
            body->deltaVelocity = glm::vec3(0.0f);
        }
    }

    // The line `line` drawn alone as the prompt draws it: the plate's picture under the prompt's
    // letters, at the same place and size, on a screen of their own.
    Picture drawnAlone(const std::string& line, const vorn::components::Text& letters,
                       const glm::mat4& plateMatrix) {
        auto world = std::make_shared<World>();
        const EntityHandle camera = world->createEntity();
        world->addComponent(camera, new Transform(glm::translate(glm::mat4(1.0f), {0, 0, 100})));
        world->addComponent(camera, new vorn::components::Camera(glm::ortho(
                                        0.0f, float(width), 0.0f, float(height), 0.1f, 1000.0f)));
        const EntityHandle plate = world->createEntity();
        world->addComponent(plate, new Transform(plateMatrix));
        world->addComponent(plate,
                            new vorn::components::Sprite(
                                true, vorn::rendering::textureCache().get("images/PromptPlate.png"),
                                10.0f, false, true));
        const EntityHandle text = world->createEntity();
        world->addComponent(text, new Transform(glm::translate(glm::mat4(1.0f), {0, 0, 21})));
        auto* alone = new vorn::components::Text(
            vorn::rendering::shaderProgramCache().get("shaders/colorizedTextShader.txt"),
            vorn::rendering::textureCache().get("textFonts/HarringtonFont.png"), letters.x,
            letters.y, 0.0f, line, letters.size, letters.color.r, letters.color.g, letters.color.b);
        alone->advance = letters.advance;
        alone->renderPriority = 11.0f;
        world->addComponent(text, alone);
        world->addComponent(new vorn::systems::Renderer(std::set<std::string>{}, 0.0f,
                                                        GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT,
                                                        vorn::rendering::UniformSet{}));
        vorn::engine::Application other(state.get(), 20.0f, 60.0f, vorn::engine::assetRoot());
        context->bind();
        other.setWorld(world);
        world->render(dt);
        return context->pixels();
    }

    std::filesystem::path previousDirectory;
    std::unique_ptr<testsupport::GlTestContext> context;
    std::unique_ptr<vorn::rendering::RenderState> state;
    std::unique_ptr<vorn::engine::Application> app;
    std::string previousRoot;
};

// One prompt zone of an area, as the level built it.
struct Zone {
    EntityHandle entity;
    std::string line;
    glm::vec3 centre;
    bool door;
};

std::vector<Zone> zonesOf(World& world) {
    std::vector<Zone> zones;
    for (const EntityHandle& e : world.getEntities("promptZone")) {
        const auto* zone = world.getComponentAs<components::PromptZone>(e, "promptZone");
        zones.push_back(
            {e, zone->text, positionOf(world, e), world.getComponent(e, "exit") != nullptr});
    }
    return zones;
}

// Where the ninja stands to read a zone: a hint's centre; beside a door, on the side the area
// lies (the doors are at its ends), near enough for its name and clear of its 10 x 10 trigger.
glm::vec3 readingPlace(World& world, const Zone& zone) {
    if (!zone.door)
        return zone.centre;
    float sum = 0.0f;
    int count = 0;
    for (const EntityHandle& e : world.getEntities("platform", "transform")) {
        sum += positionOf(world, e).x;
        ++count;
    }
    const float middle = count ? sum / static_cast<float>(count) : 0.0f;
    return zone.centre + glm::vec3(middle > zone.centre.x ? 13.0f : -13.0f, 0.0f, 0.0f);
}

// Counts the hints and doors of a level file as the grammar reads them.
class ZoneCounter : public game::LevelLoader::EntryVisitor {
public:
    int zones = 0;
    void music(const std::string&) override {}
    void entry(const std::string& keyword, int, const game::LevelEntry&,
               vorn::parsing::DefinitionReader&) override {
        zones += keyword == game::LevelLoader::hintKeyword || keyword == "exit";
    }
};

int zonesInFile(const std::string& file) {
    std::ifstream in(game::Scenes::levelPath(file));
    vorn::parsing::DefinitionReader reader(in);
    ZoneCounter counter;
    game::LevelLoader::readLevel(reader, counter);
    return counter.zones;
}

TEST_F(Wayfinding, EveryHintAndDoorNameShowsWholeAndUncoveredInItsZone) {
    int checked = 0;
    int written = 0;
    for (const auto& [file, entrance] : areas) {
        SCOPED_TRACE(file);
        World& world = start(game::Scenes::freshArea(file, entrance));
        const std::vector<Zone> zones = zonesOf(world);
        ASSERT_GE(zones.size(), 2u) << "hints and a door";
        written += zonesInFile(file);
        const EntityHandle promptEntity = first(world, "prompt");
        const auto* prompt = world.getComponentAs<components::Prompt>(promptEntity, "prompt");
        const auto* letters = world.getComponentAs<vorn::components::Text>(promptEntity, "text");
        ASSERT_TRUE(prompt && letters);
        for (const Zone& zone : zones) {
            SCOPED_TRACE(zone.line);
            place(readingPlace(world, zone));
            // Long enough to fade the last line out and this one in.
            step(static_cast<int>(2.0f * components::Prompt::fadeTime / dt) + 4);
            ASSERT_EQ(game::Scenes::sceneName(current()), "area " + file) << "no door taken";
            EXPECT_EQ(prompt->shownLine(), zone.line);
            EXPECT_FLOAT_EQ(prompt->opacity(), 1.0f);
            const Picture inArea = draw();

            const glm::mat4 plate =
                world.getComponentAs<Transform>(prompt->plate, Transform::componentName)->matrix;
            const Picture alone = drawnAlone(zone.line, *letters, plate);
            // The letters' box lies inside the screen, below the HUD's panel, in readable
            // letters; inside it the area's picture is the line drawn alone, pixel for pixel.
            const float cells = letters->advance * static_cast<float>(zone.line.size() - 1) + 1.0f;
            const int x0 = static_cast<int>(letters->x), x1 = x0 + int(letters->size * cells);
            const int y0 = static_cast<int>(letters->y), y1 = y0 + int(letters->size);
            EXPECT_GE(letters->size, 14.0f);
            EXPECT_GE(x0, 0);
            EXPECT_LE(x1, width);
            EXPECT_LT(plate[3].y + plate[1][1], 421.0f) << "under the HUD panel";
            int differing = 0, inked = 0;
            for (int y = std::max(y0, 0); y < std::min(y1, height); ++y)
                for (int x = std::max(x0, 0); x < std::min(x1, width); ++x) {
                    const size_t i = static_cast<size_t>(y) * width + x;
                    differing += !near(inArea[i], alone[i], 3);
                    inked += luma(alone[i]) > 120.0f;
                }
            EXPECT_GT(inked, 20 * static_cast<int>(zone.line.size() / 3)) << "letters drawn";
            EXPECT_EQ(differing, 0) << "pixels of the line that differ in the area";
            ++checked;
        }
    }
    EXPECT_EQ(checked, written) << "every hint and door of the files";
}

TEST_F(Wayfinding, EveryDoorStandsVisiblyInItsArch) {
    for (const auto& [file, entrance] : areas) {
        SCOPED_TRACE(file);
        World& world = start(game::Scenes::freshArea(file, entrance));
        for (const Zone& zone : zonesOf(world)) {
            if (!zone.door)
                continue;
            SCOPED_TRACE(zone.line);
            place(readingPlace(world, zone));
            step(2);
            const Picture withDoor = draw();
            // The same frame again, without the door's model: what the door shows of itself.
            world.deleteComponent(zone.entity, "model");
            const Picture bare = draw();
            int shown = 0;
            for (size_t i = 0; i < withDoor.size(); ++i)
                shown += !near(withDoor[i], bare[i], 6);
            // The arch is about 27 x 26 units, some 190 x 190 pixels under the game camera.
            EXPECT_GT(shown, 12000) << "pixels the door changes";
        }
    }
}

TEST_F(Wayfinding, TheAreaBehindADoorComesUpOutOfBlackWithinPointThreeSecondsAndAFrame) {
    game::Scenes::installSceneCallbacks();
    start(game::Scenes::freshArea("tests/game/levels/doorStart.txt", "start"));
    step(30);
    const float before = meanLuma(draw());
    // Into the door's trigger.
    place({22.0f, 10.0f, 0.0f});
    std::vector<float> brightness;
    for (int frame = 0; frame < 40; ++frame) {
        step(1);
        brightness.push_back(meanLuma(draw()));
    }
    ASSERT_EQ(game::Scenes::sceneName(current()), "area tests/game/levels/doorTarget.txt");
    const float after = brightness.back();
    ASSERT_GT(before, 20.0f);
    ASSERT_GT(after, 20.0f);
    // The frame of the switch is black, and the new area is back by 0.3 s and a frame.
    EXPECT_LT(brightness.front(), 0.05f * before);
    const size_t back = static_cast<size_t>(0.3f / dt) + 1;
    EXPECT_GT(brightness[back], 0.97f * after);
    // In between it brightens steadily.
    for (size_t i = 1; i <= back; ++i)
        EXPECT_GE(brightness[i] + 0.5f, brightness[i - 1]) << "frame " << i;
}

} // namespace
