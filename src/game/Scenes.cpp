#include "game/Scenes.hpp"

#include "audio/SoundListener.hpp"
#include "audio/SoundManager.hpp"
#include "audio/SoundUpdate.hpp"
#include "components/ButtonSignal.hpp"
#include "components/ConstantRotation.hpp"
#include "components/DistanceAttachment.hpp"
#include "components/EnergyBar.hpp"
#include "components/HealthBar.hpp"
#include "components/PositionAttachment.hpp"
#include "components/Prompt.hpp"
#include "components/SceneBuilders.hpp"
#include "components/ScoreDisplay.hpp"
#include "components/ScreenFade.hpp"
#include "engine/Application.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/InputSource.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "game/ModelLighting.hpp"
#include "game/PlayerAssembly.hpp"
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
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
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

// Keyboard and gamepad focus over the menu's buttons, top to bottom: Up and Down move it (a pad's
// stick and d-pad send those keys), Enter or the pad's jump button (its first key) activates the
// focused button. Space is the menu's own key to start the game, whatever jump is bound to, so it
// never activates the focus. A marker left of the button shows which one has the focus.
struct MenuFocus {
    struct Button {
        glm::vec2 corner;
        std::function<void()> onClick;
        glm::vec2 size{250.0f, 100.0f};
    };
    std::vector<Button> buttons;
    size_t index = 0;
    EntityHandle marker;

    glm::mat4 markerMatrix() const {
        const Button& button = buttons[index];
        return translationScale(
            {button.corner.x - 45.0f, button.corner.y + button.size.y / 2.0f - 20.0f, 5.0f},
            {40.0f, 40.0f, 1.0f});
    }
    // Moves or uses the focus; false when the key is not the focus's.
    bool handleKey(World& world, sf::Keyboard::Key key) {
        const auto& jumpKeys = vorn::engine::InputSource::instance()
                                   .bindings()
                                   .binding(vorn::engine::Action::Jump)
                                   .keys;
        if (key == sf::Keyboard::Up || key == sf::Keyboard::Down) {
            const size_t count = buttons.size();
            index = (index + (key == sf::Keyboard::Down ? 1 : count - 1)) % count;
            if (auto* transform = world.getComponentAs<Transform>(marker, Transform::componentName))
                transform->matrix = markerMatrix();
            return true;
        }
        const bool padJump =
            !jumpKeys.empty() && key == jumpKeys.front() && key != sf::Keyboard::Space;
        if (key == sf::Keyboard::Enter || padJump) {
            // Copied: activating may replace the world, and with it this focus.
            const std::function<void()> onClick = buttons[index].onClick;
            onClick();
            return true;
        }
        return false;
    }
};

// A button of the menu: a rectangle of `size` pixels from `corner` that runs `onClick`.
void addButton(World& world, const glm::vec2& corner, std::function<void()> onClick,
               const glm::vec2& size) {
    const EntityHandle button = world.createEntity();
    world.addComponent(button, new Transform(translation({corner, 0.0f})));
    world.addComponent(button, new vorn::components::ButtonSignal(
                                   [onClick](vorn::components::ButtonSignal&) { onClick(); }, 0.0f,
                                   0.0f, size.x, size.y));
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
    const auto start = [self] { goTo(self, startArea(startingArea, "")); };
    auto focus = std::make_shared<MenuFocus>();
    // The Settings plaque is a picture of its own over the menu, at the lower right.
    const glm::vec2 settingsCorner(580.0f, 40.0f);
    const glm::vec2 settingsSize(200.0f, 70.0f);
    addScreenPicture(
        *world, "settings_button.png",
        translationScale({settingsCorner - glm::vec2(10.0f, 16.0f), 4.0f}, {224.0f, 96.0f, 1.0f}),
        true);
    focus->buttons = {
        {{250.0f, 360.0f}, start},
        {{275.0f, 240.0f}, [self] { goTo(self, controls()); }},
        {{250.0f, 125.0f}, [self] { goTo(self, credits(0)); }},
        {settingsCorner,
         [self] {
             if (WorldPtr screen = settingsScreen([] { return menu(); }))
                 goTo(self, screen);
         },
         settingsSize},
        {{275.0f, 15.0f},
         [self] {
             if (self->application())
                 self->application()->quit();
         }},
    };
    for (const MenuFocus::Button& button : focus->buttons)
        addButton(*world, button.corner, button.onClick, button.size);
    focus->marker = addScreenPicture(*world, "DirtParticle.png", focus->markerMatrix(), true);
    addScreenRenderer(*world);

    world->keyPressed.connect([self, start, focus](const sf::Event::KeyEvent& key) {
        if (focus->handleKey(*self, key.code))
            return;
        // The level keys are for testing the areas: only with left Control held.
        static const std::pair<sf::Keyboard::Key, std::pair<const char*, const char*>> debug[] = {
            {sf::Keyboard::Num1, {"startingArea.txt", ""}},
            {sf::Keyboard::Num2, {"simpleArea.txt", "simpleBottomDoor"}},
            {sf::Keyboard::Num3, {"trickyArea.txt", "trickyLeftDoor"}},
            {sf::Keyboard::Num4, {"swordArea.txt", "swordLeftDoor"}},
            {sf::Keyboard::Num0, {"prototypeLevel.txt", "start"}},
        };
        if (key.code == sf::Keyboard::Space) {
            start();
        } else if (key.code == sf::Keyboard::Escape) {
            if (self->application())
                self->application()->quit();
        } else if (leftControlHeld()) {
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
    if (page == 0)
        vorn::audio::SoundManager::instance().playMusic("bitBitLoop", 0.7f, 5.0f);
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

    if (extras)
        extras(*world, levelFile, entrance);

    World* self = world.get();
    world->keyPressed.connect([self](const sf::Event::KeyEvent& key) {
        if (key.code == sf::Keyboard::Escape)
            goTo(self, Scenes::menu());
        else if (key.code == sf::Keyboard::C)
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
        return area(carried, levelFile, entrance, extras);
    });
    components::SceneBuilders::setCreditsBuilder([](int page) { return credits(page); });
}

} // namespace game
