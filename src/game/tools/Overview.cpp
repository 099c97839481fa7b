#include "game/tools/Overview.hpp"

#include "audio/SoundUpdate.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "game/LevelLoader.hpp"
#include "game/ModelLighting.hpp"
#include "game/SceneName.hpp"
#include "game/Scenes.hpp"
#include "rendering/Camera.hpp"
#include "rendering/Renderer.hpp"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <fstream>

namespace game {

namespace {
// Room around the outermost entities, in level units: most models reach this far from their
// origin.
constexpr float margin = 40.0f;
} // namespace

std::shared_ptr<vorn::engine::World> Overview::build(const std::string& levelFile, float aspect) {
    auto world = std::make_shared<vorn::engine::World>();
    world->addComponent(new SceneName("overview " + levelFile));
    {
        std::ifstream file(Scenes::levelPath(levelFile), std::ios::binary);
        LevelLoader::CarriedPlayer nobody;
        LevelLoader::load(file, *world, nobody, "gameSpace", "");
    }

    glm::vec2 low(0.0f), high(0.0f);
    bool any = false;
    for (const vorn::engine::EntityHandle& entity : world->liveEntities()) {
        const auto* transform = world->getComponentAs<vorn::components::Transform>(
            entity, vorn::components::Transform::componentName);
        if (!transform)
            continue;
        const glm::vec2 p(transform->position());
        low = any ? glm::min(low, p) : p;
        high = any ? glm::max(high, p) : p;
        any = true;
    }
    low -= glm::vec2(margin);
    high += glm::vec2(margin);
    // Widen the shorter side so the picture keeps the window's shape.
    glm::vec2 size = high - low;
    if (size.x < size.y * aspect)
        size.x = size.y * aspect;
    else
        size.y = size.x / aspect;
    const glm::vec2 centre = (low + high) * 0.5f;

    const vorn::engine::EntityHandle camera = world->createEntity();
    world->addComponent(camera, new vorn::components::Transform(
                                    glm::translate(glm::mat4(1.0f), glm::vec3(centre, 1000.0f))));
    world->addComponent(
        camera, new vorn::components::Camera(glm::ortho(
                    -size.x * 0.5f, size.x * 0.5f, -size.y * 0.5f, size.y * 0.5f, 0.1f, 3000.0f)));
    world->addComponent(camera, new vorn::components::Label("gameSpace"));

    glClearColor(0.12f, 0.075f, 0.03f, 0.0f);
    // Gives back the scene slot the loader took, when the overview ends.
    world->addComponent(new vorn::systems::SoundUpdate());
    world->addComponent(new vorn::systems::Renderer("gameSpace", 0.0f,
                                                    GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT,
                                                    ModelLighting::sceneLights()));
    return world;
}

} // namespace game
