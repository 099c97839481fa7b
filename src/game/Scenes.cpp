#include "game/Scenes.hpp"

#include "audio/SoundListener.hpp"
#include "audio/SoundManager.hpp"
#include "audio/SoundUpdate.hpp"
#include "components/ConstantRotation.hpp"
#include "components/DelayedSignal.hpp"
#include "components/DistanceAttachment.hpp"
#include "components/EnergyBar.hpp"
#include "components/HealthBar.hpp"
#include "components/PickupId.hpp"
#include "components/PositionAttachment.hpp"
#include "components/Prompt.hpp"
#include "components/RunEvents.hpp"
#include "components/RunRecord.hpp"
#include "components/SceneBuilders.hpp"
#include "components/ScoreDisplay.hpp"
#include "components/ScreenFade.hpp"
#include "components/Secret.hpp"
#include "engine/Application.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/InputSource.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "game/ButtonColumn.hpp"
#include "game/ModelLighting.hpp"
#include "game/PauseOverlay.hpp"
#include "game/PlayerAssembly.hpp"
#include "game/SaveGame.hpp"
#include "game/SceneName.hpp"
#include "parsing/DefinitionReader.hpp"
#include "physics/Gravity.hpp"
#include "rendering/AnimatedModel.hpp"
#include "rendering/Camera.hpp"
#include "rendering/FBOParticleRenderer.hpp"
#include "rendering/Mesh.hpp"
#include "rendering/Model.hpp"
#include "rendering/Renderer.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/Sprite.hpp"
#include "rendering/Text.hpp"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <vector>

namespace game {

namespace {

using vorn::engine::EntityHandle;
using vorn::engine::World;
using WorldPtr = std::shared_ptr<World>;
using Transform = vorn::components::Transform;

constexpr float screenWidth = 800.0f;
constexpr float screenHeight = 600.0f;

const std::string gameSpace = "gameSpace";
const std::string hudSpace = "hudSpace";
const char* const creditsMusic = "bitBitLoop";

// The summary's lines: where the first stands, the step down to the next, the letters' size and
// step, and how long the page waits before a key or click goes on.
constexpr float summaryTop = 432.0f;
constexpr float summaryStep = 42.0f;
constexpr float summaryTextSize = 24.0f;
constexpr float summaryAdvance = 0.62f;
constexpr float summaryDelay = 0.5f;

// Hands `next` to the Application that runs `world`; a world no Application runs goes nowhere.
void goTo(World* world, const WorldPtr& next) {
    if (vorn::engine::Application* application = world->application())
        application->setWorld(next);
}

WorldPtr newScene(const std::string& name) {
    auto world = std::make_shared<World>();
    world->addComponent(new SceneName(name));
    return world;
}

glm::mat4 translation(const glm::vec3& t) {
    return glm::translate(glm::mat4(1.0f), t);
}
glm::mat4 translationScale(const glm::vec3& t, const glm::vec3& s) {
    return glm::scale(translation(t), s);
}

// The camera of every flat screen: 800 x 600 units, one unit a pixel, origin at the lower left.
EntityHandle addScreenCamera(World& world, const std::string& space = "") {
    const EntityHandle camera = world.createEntity();
    world.addComponent(camera, new Transform(translation({0.0f, 0.0f, 100.0f})));
    world.addComponent(camera, new vorn::components::Camera(glm::ortho(
                                   0.0f, screenWidth, 0.0f, screenHeight, 0.1f, 1000.0f)));
    if (!space.empty())
        world.addComponent(camera, new vorn::components::Label(space));
    return camera;
}

// A sprite on its own entity; full-screen pictures use the scale (800, 600, 1) at the origin.
EntityHandle addPicture(World& world, const std::string& image, const glm::mat4& matrix,
                        bool blending, const std::string& space = "", float priority = 0.0f) {
    const EntityHandle entity = world.createEntity();
    world.addComponent(entity, new Transform(matrix));
    world.addComponent(
        entity, new vorn::components::Sprite(blending, vorn::rendering::textureCache().get(image),
                                             priority, false, true));
    if (!space.empty())
        world.addComponent(entity, new vorn::components::Label(space));
    return entity;
}

// A picture never drawn smaller than its own size (the 800 x 600 screens): it needs no mip levels,
// so it comes from the picture cache and costs the menu's first frame no mip-level making.
EntityHandle addScreenPicture(World& world, const std::string& image, const glm::mat4& matrix,
                              bool blending) {
    const EntityHandle entity = world.createEntity();
    world.addComponent(entity, new Transform(matrix));
    world.addComponent(
        entity, new vorn::components::Sprite(blending, vorn::rendering::pictureCache().get(image),
                                             0.0f, false, true));
    return entity;
}

void addScreenRenderer(World& world, vorn::rendering::UniformSet uniforms = {}) {
    world.addComponent(new vorn::systems::Renderer(std::set<std::string>{}, 0.0f,
                                                   GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT,
                                                   std::move(uniforms)));
}

// The renderer of an area's game space: ambient occlusion, particles and bloom.
void addGameSpaceRenderer(World& world, const vorn::rendering::UniformSet& uniforms) {
    world.addComponent(new FBOParticleRenderer(gameSpace, 0.0f, uniforms));
}

Scenes::SettingsBuilder& settingsBuilder() {
    static Scenes::SettingsBuilder builder;
    return builder;
}

bool leftControlHeld() {
    return vorn::engine::InputSource::instance().isKeyPressed(sf::Keyboard::LControl);
}

// A model of the credits, turned a little and scaled so that its largest side spans `size`
// pixels, centred on `centre`.
void addShowcaseModel(World& world, const std::string& mesh, const glm::vec2& centre, float size) {
    const std::string path = "models/" + mesh;
    const std::shared_ptr<vorn::rendering::Mesh> loaded = vorn::rendering::meshCache().get(path);
    auto* model = new vorn::components::Model(vorn::rendering::makeParts(path));
    const std::string normalMap = ModelLighting::normalMapFor(mesh);
    if (!normalMap.empty()) {
        model->setShaderProgram(
            vorn::rendering::shaderProgramCache().get("shaders/objSpaceNormalMapping.txt"));
        model->setTexture("normalMap", vorn::rendering::textureCache().get("models/" + normalMap));
    }
    glm::vec3 low(-1.0f), high(1.0f);
    if (loaded && loaded->hasBounds) {
        low = loaded->boundsMin;
        high = loaded->boundsMax;
    }
    const glm::vec3 extent = high - low;
    const float scale = size / std::max({extent.x, extent.y, extent.z, 1e-3f});
    const glm::vec3 middle = (low + high) * 0.5f;
    // Turned towards the viewer and tipped forward so flat models show their top.
    const glm::mat4 matrix = translation({centre, 0.0f}) *
                             glm::rotate(glm::mat4(1.0f), 0.35f, glm::vec3(1.0f, 0.0f, 0.0f)) *
                             glm::rotate(glm::mat4(1.0f), -0.6f, glm::vec3(0.0f, 1.0f, 0.0f)) *
                             glm::scale(glm::mat4(1.0f), glm::vec3(scale)) * translation(-middle);
    const EntityHandle entity = world.createEntity();
    world.addComponent(entity, new Transform(matrix));
    world.addComponent(entity, model);
}

void addShowcaseNinja(World& world, const glm::vec2& centre, float size) {
    std::unique_ptr<vorn::components::AnimatedModel> ninja =
        vorn::components::AnimatedModel::createSkinned("models/ninjaAnimations.txt", "idle");
    glm::vec3 low(-10.0f), high(10.0f);
    if (ninja->hasBounds) {
        low = ninja->boundsMin + ninja->rootOffset;
        high = ninja->boundsMax + ninja->rootOffset;
    }
    const glm::vec3 extent = high - low;
    const float scale = size / std::max({extent.x, extent.y, extent.z, 1e-3f});
    const glm::mat4 matrix = translation({centre, 0.0f}) *
                             glm::rotate(glm::mat4(1.0f), -0.5f, glm::vec3(0.0f, 1.0f, 0.0f)) *
                             glm::scale(glm::mat4(1.0f), glm::vec3(scale)) *
                             translation(-(low + high) * 0.5f);
    const EntityHandle entity = world.createEntity();
    world.addComponent(entity, new Transform(matrix));
    world.addComponent(entity, ninja.release());
}

// Each page's showcase in the right half of the screen, beside the text panel.
void addShowcase(World& world, int page) {
    switch (page) {
    case 0:
        addShowcaseNinja(world, {610.0f, 430.0f}, 190.0f);
        addShowcaseModel(world, "soldier_ant.obj", {520.0f, 180.0f}, 150.0f);
        addShowcaseModel(world, "worker_ant.obj", {700.0f, 170.0f}, 130.0f);
        break;
    case 1:
        addShowcaseModel(world, "spider.obj", {610.0f, 300.0f}, 260.0f);
        break;
    case 2:
        addShowcaseModel(world, "grasshopper.obj", {610.0f, 400.0f}, 200.0f);
        addShowcaseModel(world, "shinyThing.obj", {610.0f, 170.0f}, 110.0f);
        break;
    case 3:
        addShowcaseModel(world, "flatPlatformLen3.obj", {520.0f, 490.0f}, 150.0f);
        addShowcaseModel(world, "Platform3x3.obj", {705.0f, 480.0f}, 120.0f);
        addShowcaseModel(world, "Quarrow.obj", {500.0f, 330.0f}, 90.0f);
        addShowcaseModel(world, "jumpUpgrade.obj", {620.0f, 330.0f}, 80.0f);
        addShowcaseModel(world, "antEgg.obj", {730.0f, 330.0f}, 70.0f);
        addShowcaseModel(world, "SugarPile.obj", {540.0f, 170.0f}, 90.0f);
        addShowcaseModel(world, "spikes.obj", {690.0f, 170.0f}, 90.0f);
        break;
    case 4:
        addShowcaseModel(world, "wasp.obj", {610.0f, 460.0f}, 170.0f);
        addShowcaseModel(world, "mushroom_cluster.obj", {520.0f, 200.0f}, 160.0f);
        addShowcaseModel(world, "mushroom_single.obj", {715.0f, 200.0f}, 110.0f);
        break;
    default:
        // The picture of the first area, framed on the right half.
        addPicture(world, "images/StartAreaBackground.png",
                   translationScale({440.0f, 160.0f, 5.0f}, {340.0f, 255.0f, 1.0f}), false);
        break;
    }
}

EntityHandle firstPlayer(World& world) {
    vorn::engine::EntityCollection& players = world.getEntities("player");
    for (const EntityHandle& player : players)
        return player;
    return EntityHandle{0, &world};
}

// An area the menu starts: through the installed area builder when there is one, so that it
// shares the run's designer switches.
WorldPtr startArea(const std::string& levelFile, const std::string& entrance) {
    if (components::SceneBuilders::hasAreaBuilder()) {
        LevelLoader::CarriedPlayer nobody;
        if (WorldPtr built = components::SceneBuilders::buildArea(nobody, levelFile, entrance))
            return built;
    }
    return Scenes::freshArea(levelFile, entrance);
}

// Takes away the pickups of the area that the run has taken already; a secret place found already
// stays, marked found, so it counts once.
void removeTakenPickups(World& world, const components::RunRecord& record) {
    std::vector<EntityHandle> taken;
    for (const EntityHandle& pickup : world.getEntities(components::PickupId::componentName)) {
        const auto* id =
            world.getComponentAs<components::PickupId>(pickup, components::PickupId::componentName);
        if (id != nullptr && record.isTaken(record.area, id->number))
            taken.push_back(pickup);
    }
    // Collected first: the collection changes as they go.
    for (const EntityHandle& pickup : taken) {
        if (auto* secret =
                world.getComponentAs<components::Secret>(pickup, components::Secret::componentName))
            secret->markFound();
        else
            world.destroyEntity(pickup);
    }
}

// Everything of an area after its level file has been read: the player if the file placed none,
// the camera, lights, HUD, renderers, gravity, sound clean-up, the run's extras and the keys.
void finishArea(const WorldPtr& world, const std::string& levelFile, const std::string& entrance,
                const Scenes::AreaExtras& extras);

} // namespace

std::string Scenes::sceneName(const World& world) {
    const auto* name = dynamic_cast<const SceneName*>(
        world.getComponent(EntityHandle{0, const_cast<World*>(&world)}, SceneName::componentName));
    return name ? name->name : std::string();
}

std::string Scenes::levelPath(const std::string& levelFile) {
    const std::string underLevels = vorn::engine::assetRoot() + "levels/" + levelFile;
    std::error_code ignored;
    if (std::filesystem::is_regular_file(underLevels, ignored) ||
        !std::filesystem::is_regular_file(levelFile, ignored))
        return underLevels;
    return levelFile;
}

WorldPtr Scenes::menu() {
    WorldPtr world = newScene("menu");
    vorn::audio::SoundManager::instance().playMusic("monsterSong", 0.7f, 5.0f);
    addScreenCamera(*world);
    addScreenPicture(*world, "menu.png",
                     glm::scale(glm::mat4(1.0f), {screenWidth, screenHeight, 1.0f}), false);
    World* self = world.get();
    // Read once: a damaged save is set aside here, with its one line, and a new run is offered.
    const std::optional<SavedRun> saved = SaveGame::load();
    const auto newGame = [self] {
        SaveGame::clear();
        goTo(self, startArea(startingArea, ""));
    };
    const auto continueSaved = [self, saved] { goTo(self, continueRun(*saved)); };
    const std::function<void()> play =
        saved ? std::function<void()>(continueSaved) : std::function<void()>(newGame);

    std::vector<ButtonColumn::Button> buttons;
    if (saved) {
        buttons.push_back({"menu/continue.png", continueSaved});
        buttons.push_back({"menu/newGame.png", newGame});
    } else {
        buttons.push_back({"menu/start.png", newGame});
    }
    buttons.push_back({"menu/settings.png", [self] {
                           if (WorldPtr screen = settingsScreen([] { return menu(); }))
                               goTo(self, screen);
                       }});
    buttons.push_back({"menu/controls.png", [self] { goTo(self, controls()); }});
    buttons.push_back({"menu/credits.png", [self] { goTo(self, credits(0)); }});
    buttons.push_back({"menu/quit.png", [self] {
                           if (self->application())
                               self->application()->quit();
                       }});
    // Room for six buttons under the title.
    auto column = std::make_shared<ButtonColumn>(*world, std::move(buttons),
                                                 glm::vec2(0.5f * screenWidth, 255.0f));
    addScreenRenderer(*world);

    // Escape asks first: the prompt shows, and only a second Escape quits. Any other key puts the
    // question away.
    auto quitPrompt = std::make_shared<EntityHandle>();
    world->keyPressed.connect([self, play, column, quitPrompt](const sf::Event::KeyEvent& key) {
        if (key.code == sf::Keyboard::Escape) {
            if (quitPrompt->entityId != 0) {
                if (self->application())
                    self->application()->quit();
            } else {
                *quitPrompt = addScreenPicture(
                    *self, "menu/quitPrompt.png",
                    translationScale({240.0f, 6.0f, 20.0f}, {320.0f, 44.0f, 1.0f}), true);
            }
            return;
        }
        if (quitPrompt->entityId != 0) {
            self->destroyEntityLater(*quitPrompt);
            *quitPrompt = EntityHandle{};
        }
        // Space plays whatever the key bindings say; Enter and the pad use the focus.
        if (key.code == sf::Keyboard::Space) {
            play();
            return;
        }
        if (column->handleKey(key.code))
            return;
        // The level keys are for testing the areas: only with left Control held.
        static const std::pair<sf::Keyboard::Key, std::pair<const char*, const char*>> debug[] = {
            {sf::Keyboard::Num1, {"startingArea.txt", ""}},
            {sf::Keyboard::Num2, {"simpleArea.txt", "simpleBottomDoor"}},
            {sf::Keyboard::Num3, {"trickyArea.txt", "trickyLeftDoor"}},
            {sf::Keyboard::Num4, {"swordArea.txt", "swordLeftDoor"}},
            {sf::Keyboard::Num0, {"prototypeLevel.txt", "start"}},
        };
        if (leftControlHeld()) {
            for (const auto& [code, target] : debug)
                if (key.code == code)
                    goTo(self, startArea(target.first, target.second));
        }
    });
    return world;
}

WorldPtr Scenes::controls() {
    WorldPtr world = newScene("controls");
    addScreenCamera(*world);
    addScreenPicture(*world, "controls_screen.png",
                     glm::scale(glm::mat4(1.0f), {screenWidth, screenHeight, 1.0f}), false);
    addScreenPicture(*world, "to continue.png",
                     translationScale({150.0f, 0.0f, 10.0f}, {500.0f, 60.0f, 1.0f}), true);
    addScreenRenderer(*world);
    World* self = world.get();
    world->keyPressed.connect([self](const sf::Event::KeyEvent& key) {
        if (key.code == sf::Keyboard::Escape || key.code == sf::Keyboard::Space)
            goTo(self, menu());
    });
    world->mouseButtonPressed.connect(
        [self](const sf::Event::MouseButtonEvent&) { goTo(self, menu()); });
    return world;
}

WorldPtr Scenes::credits(int page) {
    page = std::clamp(page, 0, creditsPages - 1);
    WorldPtr world = newScene("credits " + std::to_string(page));
    // The summary before the first page has started its music already.
    vorn::audio::SoundManager& sound = vorn::audio::SoundManager::instance();
    if (page == 0 && sound.currentMusic().name != creditsMusic)
        sound.playMusic(creditsMusic, 0.7f, 5.0f);
    addScreenCamera(*world);
    addScreenPicture(*world, "credits_label" + std::to_string(page + 1) + ".png",
                     glm::scale(glm::mat4(1.0f), {screenWidth, screenHeight, 1.0f}), false);
    addShowcase(*world, page);
    // The showcased models are lit as the areas light them.
    addScreenRenderer(*world, ModelLighting::sceneLights());
    World* self = world.get();
    const auto next = [self, page] {
        goTo(self, page + 1 < creditsPages ? credits(page + 1) : menu());
    };
    world->keyPressed.connect([self, next](const sf::Event::KeyEvent& key) {
        if (key.code == sf::Keyboard::Space)
            next();
        else if (key.code == sf::Keyboard::Escape)
            goTo(self, menu());
    });
    world->mouseButtonPressed.connect([next](const sf::Event::MouseButtonEvent&) { next(); });
    return world;
}

namespace {

// What a level offers to stand on at the start: "player" entries and the entrances' names.
class StartPlaces : public LevelLoader::EntryVisitor {
public:
    bool player = false;
    std::vector<std::string> entrances;

    void music(const std::string&) override {}
    void entry(const std::string& keyword, int, const LevelEntry&,
               vorn::parsing::DefinitionReader& reader) override {
        if (keyword == "player")
            player = true;
        else if (keyword == "entrance")
            entrances.push_back(reader.readQuotedString());
    }
};

} // namespace

std::string Scenes::chooseEntrance(const std::string& levelFile, std::ostream& say) {
    std::ifstream file(levelPath(levelFile), std::ios::binary);
    if (!file)
        return "";
    StartPlaces places;
    vorn::parsing::DefinitionReader reader(file);
    try {
        LevelLoader::readLevel(reader, places);
    } catch (const std::exception&) {
        // What was read before the fault still counts; the loader reports the fault itself.
    }
    const auto named = [&](const std::string& name) {
        return std::find(places.entrances.begin(), places.entrances.end(), name) !=
               places.entrances.end();
    };
    if (places.player) {
        say << "No --entrance: the ninja starts at the \"player\" entry of " << levelFile << "\n";
        // A name no entrance carries, so that no entrance places a second ninja.
        std::string none;
        while (named(none))
            none += "-";
        return none;
    }
    if (places.entrances.empty()) {
        say << "No --entrance: " << levelFile
            << " has no \"player\" entry and no entrance; the ninja starts at the origin\n";
        return "";
    }
    const std::string chosen = named("") ? "" : places.entrances.front();
    say << "No --entrance: the ninja starts at the entrance \"" << chosen << "\" of " << levelFile
        << "\n";
    return chosen;
}

WorldPtr Scenes::freshArea(const std::string& levelFile, const std::string& entrance,
                           const AreaExtras& extras) {
    LevelLoader::CarriedPlayer nobody;
    return area(nobody, levelFile, entrance, extras);
}

WorldPtr Scenes::area(LevelLoader::CarriedPlayer& carried, const std::string& levelFile,
                      const std::string& entrance, const AreaExtras& extras) {
    // A ninja carried in walked through a door: the new area comes up out of black.
    const bool throughDoor = !carried.empty();
    WorldPtr world = newScene("area " + levelFile);
    {
        std::ifstream file(levelPath(levelFile), std::ios::binary);
        LevelLoader::load(file, *world, carried, gameSpace, entrance);
    }
    finishArea(world, levelFile, entrance, extras);
    if (throughDoor)
        addArrivalFade(*world, hudSpace);
    return world;
}

void Scenes::addArrivalFade(World& world, const std::string& space) {
    // Over everything else of the HUD, the prompt included.
    const EntityHandle fade =
        addPicture(world, "images/Fade.png",
                   translationScale({0.0f, 0.0f, 50.0f}, {screenWidth, screenHeight, 1.0f}), true,
                   space, 100.0f);
    world.addComponent(fade, new components::ScreenFade(doorFadeSeconds));
}

bool Scenes::reloadArea(World& world, const std::string& levelFile, const std::string& entrance,
                        const AreaExtras& extras) {
    // The ninja leaves this world whole, as a door would take him.
    const EntityHandle player = firstPlayer(world);
    LevelLoader::CarriedPlayer carried;
    if (player.entityId != 0) {
        const World::ComponentList components = world.getEntityComponents(player);
        carried.reserve(components.size());
        for (vorn::engine::Component* component : components)
            carried.emplace_back(world.removeComponent(component));
    }
    WorldPtr next = newScene("area " + levelFile);
    bool loaded = false;
    {
        std::ifstream file(levelPath(levelFile), std::ios::binary);
        loaded = LevelLoader::load(file, *next, carried, gameSpace, entrance,
                                   LevelLoader::Placement::whereHeStands);
    }
    if (!loaded) {
        // The half-read area is dropped; its sound slot goes back with it. The ninja returns to
        // the entity he came from.
        next->addComponent(new vorn::systems::SoundUpdate());
        for (std::unique_ptr<vorn::engine::Component>& component : carried)
            if (component)
                world.addComponent(player, component.release());
        return false;
    }
    finishArea(next, levelFile, entrance, extras);
    goTo(&world, next);
    return true;
}

namespace {

void finishArea(const WorldPtr& world, const std::string& levelFile, const std::string& entrance,
                const Scenes::AreaExtras& extras) {
    EntityHandle player = firstPlayer(*world);
    if (player.entityId == 0) {
        player = assemblePlayer(*world, glm::vec3(0.0f), glm::vec3(0.0f), glm::vec3(1.0f));
        world->addComponent(player, new vorn::components::Label(gameSpace));
    }
    // The run goes on with the ninja: he enters this area, and what he took here stays taken.
    auto* record =
        world->getComponentAs<components::RunRecord>(player, components::RunRecord::componentName);
    if (record == nullptr) {
        record = new components::RunRecord();
        record->startArea = levelFile;
        world->addComponent(player, record);
    }
    if (record->area != levelFile)
        record->atCheckpoint = false;
    record->area = levelFile;
    record->entrance = entrance;
    removeTakenPickups(*world, *record);

    const EntityHandle camera = world->createEntity();
    world->addComponent(camera, new Transform(translation({0.0f, 0.0f, 100.0f})));
    world->addComponent(camera, new vorn::components::Camera(glm::perspective(
                                    45.0f * LevelLoader::degrees, 4.0f / 3.0f, 0.1f, 1000.0f)));
    world->addComponent(camera,
                        new vorn::components::PositionAttachment({0.0f, 0.0f, 100.0f}, player));
    world->addComponent(
        camera, new vorn::components::SoundListener({0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}));
    world->addComponent(camera, new vorn::components::Label(gameSpace));

    glClearColor(0.12f, 0.075f, 0.03f, 0.0f);
    Scenes::buildHud(*world, hudSpace);
    addGameSpaceRenderer(*world, ModelLighting::sceneLights());
    world->addComponent(new vorn::systems::Renderer(hudSpace, 2.0f, GL_DEPTH_BUFFER_BIT,
                                                    vorn::rendering::UniformSet{}));
    world->addComponent(new vorn::systems::Gravity(0.0f, -40.0f, 0.0f, "hasGravity"));
    world->addComponent(new vorn::systems::SoundUpdate());

    // Leaving keeps the run: it is saved as it stands, to go on from the entrance he came in by
    // (or the checkpoint he touched).
    auto* pause = new PauseOverlay([](World& area) {
        SaveGame::saveArea(area);
        goTo(&area, Scenes::menu());
    });
    // Settings from the pause: the settings screen keeps the paused area alive and goes back to
    // it, still paused, with the run as it was. The area holds itself only weakly here.
    const std::weak_ptr<World> weakArea = world;
    pause->setSettings([weakArea](World& area) {
        WorldPtr kept = weakArea.lock();
        if (!kept)
            return;
        if (WorldPtr screen = Scenes::settingsScreen([kept] { return kept; }))
            goTo(&area, screen);
    });
    world->addComponent(pause);

    if (extras)
        extras(*world, levelFile, entrance);

    World* self = world.get();
    world->keyPressed.connect([self](const sf::Event::KeyEvent& key) {
        // The pause takes every key while it lasts.
        if (PauseOverlay* pause = PauseOverlay::of(*self); pause && pause->handleKey(key.code))
            return;
        if (key.code == sf::Keyboard::C)
            Scenes::toggleCameraMode(*self);
    });
}

} // namespace

void Scenes::buildHud(World& world, const std::string& space) {
    const EntityHandle player = firstPlayer(world);
    addScreenCamera(world, space);
    // The frame first: pictures of equal priority draw in entity order, so the bars lie over the
    // frame's dark slots instead of under them.
    addPicture(world, "images/Game HUD.png",
               translationScale({0.0f, 421.0f, 0.0f}, {149.0f, 179.0f, 1.0f}), true, space);
    const EntityHandle health =
        addPicture(world, "images/HealthBar.png",
                   translationScale({106.0f, 543.0f, 10.0f}, {188.0f, 31.0f, 1.0f}), true);
    world.addComponent(health, new components::HealthBar(188.0f, 100.0f, player));
    world.addComponent(health, new vorn::components::Label(space));
    const EntityHandle energy =
        addPicture(world, "images/EnergyBar.png",
                   translationScale({106.0f, 512.0f, 10.0f}, {188.0f, 31.0f, 1.0f}), true);
    world.addComponent(energy, new vorn::components::EnergyBar(188.0f, 100.0f, player));
    world.addComponent(energy, new vorn::components::Label(space));
    for (const auto& [y, showEggs] : {std::pair{458.0f, true}, std::pair{433.0f, false}}) {
        const EntityHandle display = world.createEntity();
        world.addComponent(display, new Transform(translation({25.0f, y, 0.0f})));
        world.addComponent(display, new vorn::components::ScoreDisplay(player, showEggs));
        world.addComponent(
            display,
            new vorn::components::Text(
                vorn::rendering::shaderProgramCache().get("shaders/colorizedTextShader.txt"),
                vorn::rendering::textureCache().get("textFonts/HarringtonFont.png"), 0.0f, 0.0f,
                0.0f, "", 20.0f, 1.0f, 1.0f, 1.0f));
        world.addComponent(display, new vorn::components::Label(space));
    }
    // The prompt at the bottom centre: its plate, then the line over it.
    const EntityHandle plate =
        addPicture(world, "images/PromptPlate.png",
                   translationScale({0.0f, 0.0f, 20.0f}, {0.0f, 0.0f, 1.0f}), true, space, 10.0f);
    const EntityHandle prompt = world.createEntity();
    world.addComponent(prompt, new Transform(translation({0.0f, 0.0f, 21.0f})));
    auto* line = new vorn::components::Text(
        vorn::rendering::shaderProgramCache().get("shaders/colorizedTextShader.txt"),
        vorn::rendering::textureCache().get("textFonts/HarringtonFont.png"), 0.0f, 0.0f, 0.0f, "",
        components::Prompt::letterSize, 1.0f, 0.86f, 0.55f);
    line->renderPriority = 11.0f;
    world.addComponent(prompt, line);
    world.addComponent(prompt, new components::Prompt(player, plate));
    world.addComponent(prompt, new vorn::components::Label(space));
}

void Scenes::toggleCameraMode(World& world) {
    EntityHandle camera{0, &world};
    for (const EntityHandle& candidate : world.getEntities("camera", gameSpace)) {
        camera = candidate;
        break;
    }
    if (camera.entityId == 0)
        return;
    const EntityHandle player = firstPlayer(world);
    if (world.getComponent(camera, "distanceAttachment")) {
        world.deleteComponent(camera, "distanceAttachment");
        world.addComponent(camera,
                           new vorn::components::PositionAttachment({0.0f, 0.0f, 100.0f}, player));
    } else {
        world.deleteComponent(camera, "positionAttachment");
        world.addComponent(
            camera, new vorn::components::DistanceAttachment({0.0f, 0.0f, 40.0f}, 45.0f, player));
    }
}

void Scenes::installSettingsScreen(SettingsBuilder builder) {
    settingsBuilder() = std::move(builder);
}

WorldPtr Scenes::settingsScreen(std::function<WorldPtr()> back) {
    if (!settingsBuilder())
        return nullptr;
    return settingsBuilder()(std::move(back));
}

void Scenes::installSceneCallbacks(AreaExtras extras) {
    components::SceneBuilders::setAreaBuilder([extras](components::SceneBuilders::Carried& carried,
                                                       const std::string& levelFile,
                                                       const std::string& entrance) {
        // A ninja who walks in through a door brings the run: it is saved on arrival. Areas the
        // menu starts have nobody carried and save nothing until their first door.
        const bool arriving = !carried.empty();
        WorldPtr built = area(carried, levelFile, entrance, extras);
        if (built && arriving)
            SaveGame::saveArea(*built);
        return built;
    });
    components::SceneBuilders::setCreditsBuilder([](int page) { return credits(page); });
    // A checkpoint touched is where the run goes on from: it is saved there.
    components::RunEvents::setCheckpointListener([](World& world, const glm::vec3& position) {
        SaveGame::checkpointReached(world, position);
    });
    // The hat ends the run: it is no longer saved, its time may be the best, and its summary
    // comes before the credits.
    components::SceneBuilders::setFinishBuilder([](World& world, EntityHandle player) {
        const SavedRun run = SaveGame::capture(world, player).value_or(SavedRun{});
        SaveGame::clear();
        // A run begun elsewhere (the test ground, say) has not made the journey.
        const bool best = run.startArea == startingArea && SaveGame::offerTime(run.time);
        // The totals are those of the journey's areas and of every area this run could have
        // reached from where it began and ended, so that what it found is always among them.
        const std::vector<std::string> reached = {startingArea, run.startArea, run.area};
        return summary(summaryLines(run, countInJourney("antEgg", reached),
                                    countInJourney(LevelLoader::secretKeyword, reached),
                                    SaveGame::bestTime(), best));
    });
}

WorldPtr Scenes::continueRun(const SavedRun& run) {
    WorldPtr world = startArea(run.area, run.entrance);
    const EntityHandle player = firstPlayer(*world);
    if (player.entityId == 0)
        return world;
    SaveGame::apply(run, *world, player);
    if (const auto* record = world->getComponentAs<components::RunRecord>(
            player, components::RunRecord::componentName))
        removeTakenPickups(*world, *record);
    return world;
}

std::string Scenes::formatTime(float seconds) {
    // To the nearest tenth: a sum of frame times falls a hair short of the round figure.
    const long tenths = std::lround(std::max(seconds, 0.0f) * 10.0f);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld.%ld", tenths / 600, tenths / 10 % 60, tenths % 10);
    return text;
}

std::vector<Scenes::SummaryLine> Scenes::summaryLines(const SavedRun& run, int eggsInJourney,
                                                      int secretsInJourney,
                                                      std::optional<float> bestTime, bool newBest) {
    std::vector<SummaryLine> lines = {
        {"Time", formatTime(run.time)},
        {"Score", std::to_string(run.points)},
        {"Eggs", std::to_string(run.eggs) + " of " + std::to_string(eggsInJourney)},
        {"Shinies", std::to_string(run.shinies)},
        {"Deaths", std::to_string(run.deaths)},
    };
    if (secretsInJourney > 0)
        lines.push_back(
            {"Secrets", std::to_string(run.secrets) + " of " + std::to_string(secretsInJourney)});
    if (bestTime)
        lines.push_back({"Best time", formatTime(*bestTime) + (newBest ? " new!" : "")});
    if (run.assistsUsed)
        lines.push_back({"Assists", "used"});
    return lines;
}

int Scenes::countInJourney(const std::string& keyword, const std::string& firstArea) {
    return countInJourney(keyword, std::vector<std::string>{firstArea});
}

int Scenes::countInJourney(const std::string& keyword, const std::vector<std::string>& firstAreas) {
    // Every area a door leads to, from the first ones on, each counted once.
    class Counter : public LevelLoader::EntryVisitor {
    public:
        explicit Counter(const std::string& keyword) : keyword(keyword) {}
        const std::string& keyword;
        int found = 0;
        std::vector<std::string> doors;
        void music(const std::string&) override {}
        void entry(const std::string& read, int, const LevelEntry&,
                   vorn::parsing::DefinitionReader& reader) override {
            if (read == keyword)
                ++found;
            else if (read == "exit")
                doors.push_back(reader.readQuotedString());
        }
    };
    std::set<std::string> seen;
    std::deque<std::string> waiting;
    for (const std::string& first : firstAreas)
        if (!first.empty() && seen.insert(first).second)
            waiting.push_back(first);
    int found = 0;
    while (!waiting.empty()) {
        const std::string levelFile = waiting.front();
        waiting.pop_front();
        std::ifstream file(levelPath(levelFile), std::ios::binary);
        if (!file)
            continue;
        Counter counter(keyword);
        try {
            vorn::parsing::DefinitionReader reader(file);
            LevelLoader::readLevel(reader, counter);
        } catch (const std::exception&) {
            // What was read before the fault still counts; the loader reports the fault itself
            // when the area is played.
        }
        found += counter.found;
        for (const std::string& door : counter.doors)
            if (seen.insert(door).second)
                waiting.push_back(door);
    }
    return found;
}

WorldPtr Scenes::summary(const std::vector<SummaryLine>& lines) {
    WorldPtr world = newScene("summary");
    vorn::audio::SoundManager::instance().playMusic(creditsMusic, 0.7f, 5.0f);
    addScreenCamera(*world);
    addScreenPicture(*world, "summary.png",
                     glm::scale(glm::mat4(1.0f), {screenWidth, screenHeight, 1.0f}), false);
    // The ninja and the hat he found, on the stage at the right.
    addShowcaseNinja(*world, {600.0f, 330.0f}, 200.0f);
    addShowcaseModel(*world, "Quarrow.obj", {600.0f, 520.0f}, 80.0f);
    // One line a slot in the panel, top to bottom: the name on the left, the value on the right.
    const auto font = vorn::rendering::textureCache().get("textFonts/HarringtonFont.png");
    const auto program =
        vorn::rendering::shaderProgramCache().get("shaders/colorizedTextShader.txt");
    const size_t shown = std::min(lines.size(), summaryRoom);
    for (size_t i = 0; i < shown; ++i) {
        const float y = summaryTop - summaryStep * static_cast<float>(i);
        const float valueWidth =
            summaryTextSize * summaryAdvance * static_cast<float>(lines[i].value.size());
        for (const auto& [text, x, colour] :
             {std::tuple{lines[i].name, 56.0f, glm::vec3(1.0f, 0.93f, 0.78f)},
              std::tuple{lines[i].value, 388.0f - valueWidth, glm::vec3(1.0f, 0.78f, 0.35f)}}) {
            const EntityHandle entity = world->createEntity();
            world->addComponent(entity, new Transform(translation({x, y, 10.0f})));
            auto* shownText =
                new vorn::components::Text(program, font, 0.0f, 0.0f, 0.0f, text, summaryTextSize,
                                           colour.r, colour.g, colour.b);
            shownText->advance = summaryAdvance;
            world->addComponent(entity, shownText);
        }
    }
    addScreenRenderer(*world, ModelLighting::sceneLights());

    // A key pressed as the hat was reached must not skip the page: it listens after a moment.
    World* self = world.get();
    auto listening = std::make_shared<bool>(false);
    const EntityHandle timer = world->createEntity();
    world->addComponent(timer, new vorn::components::DelayedSignal(
                                   summaryDelay, [listening](EntityHandle) { *listening = true; }));
    const auto next = [self, listening] {
        if (*listening)
            goTo(self, credits(0));
    };
    world->keyPressed.connect([next](const sf::Event::KeyEvent&) { next(); });
    world->mouseButtonPressed.connect([next](const sf::Event::MouseButtonEvent&) { next(); });
    return world;
}

} // namespace game
