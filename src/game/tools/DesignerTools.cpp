#include "game/tools/DesignerTools.hpp"

#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "game/LevelEntrances.hpp"
#include "game/tools/ColliderOverlay.hpp"
#include "game/tools/DesignerSettings.hpp"
#include "game/tools/FrameMeter.hpp"
#include "game/tools/LevelWatcher.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/Text.hpp"

#include <glm/gtc/matrix_transform.hpp>

namespace game {

namespace {

// The frame meter's line at the top of the screen, right of the HUD frame; empty while hidden.
void addFrameMeter(vorn::engine::World& world, const std::shared_ptr<DesignerSettings>& settings) {
    const vorn::engine::EntityHandle meter = world.createEntity();
    world.addComponent(meter, new vorn::components::Transform(glm::translate(
                                  glm::mat4(1.0f), glm::vec3(156.0f, 584.0f, 0.0f))));
    world.addComponent(meter, new FrameMeter(settings));
    world.addComponent(
        meter, new vorn::components::Text(
                   vorn::rendering::shaderProgramCache().get("shaders/colorizedTextShader.txt"),
                   vorn::rendering::textureCache().get("textFonts/HarringtonFont.png"), 0.0f, 0.0f,
                   0.0f, "", 11.0f, 1.0f, 1.0f, 0.6f));
    world.addComponent(meter, new vorn::components::Label("hudSpace"));
}

} // namespace

Scenes::AreaExtras DesignerTools::areaExtras(std::shared_ptr<DesignerSettings> settings) {
    if (!settings)
        settings = std::make_shared<DesignerSettings>();
    return [settings](vorn::engine::World& world, const std::string& levelFile,
                      const std::string& entrance) {
        // The entrances as the level loader recorded them: the file is read once.
        world.addComponent(new ColliderOverlay(settings, LevelEntrances::of(world)));
        addFrameMeter(world, settings);
        world.addComponent(new LevelWatcher(levelFile, entrance, settings));

        vorn::engine::World* self = &world;
        world.keyPressed.connect([self, settings](const sf::Event::KeyEvent& key) {
            if (key.code == sf::Keyboard::F2) {
                settings->frameMeter = !settings->frameMeter;
            } else if (key.code == sf::Keyboard::F3) {
                settings->debugDraw = !settings->debugDraw;
            } else if (key.code == sf::Keyboard::F5) {
                if (auto* watcher = self->getComponentAs<LevelWatcher>(
                        vorn::engine::EntityHandle{0, self}, LevelWatcher::componentName))
                    watcher->requestReload();
            }
        });
    };
}

} // namespace game
