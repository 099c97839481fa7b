#include "game/tools/EffectViewer.hpp"

#include "engine/Behavior.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "particles/ParticleEffects.hpp"
#include "particles/ParticleEmitter.hpp"
#include "particles/ParticleSystem.hpp"
#include "rendering/Camera.hpp"
#include "rendering/Renderer.hpp"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>

namespace game {

namespace {

constexpr float degrees = 0.017453293f;

// Keeps the shown effect going the way play does: moves a dust emitter from side to side, or
// touches the sugar pile again every EffectViewer::touchPeriod seconds.
class EffectDriver : public vorn::engine::Behavior {
public:
    EffectDriver(vorn::engine::EntityHandle effect, bool stroll, bool retouch)
        : effect(effect), stroll(stroll), retouch(retouch) {}

    void update(float dt) override {
        time += dt;
        vorn::engine::World* world = getWorld();
        if (!world || !world->isLive(effect))
            return;
        if (stroll) {
            using vorn::components::Transform;
            if (auto* transform =
                    world->getComponentAs<Transform>(effect, Transform::componentName))
                transform->setPosition(glm::vec3(10.0f * std::sin(time * 0.6f), 0.0f, 0.0f));
        }
        if (retouch && time - lastTouch >= EffectViewer::touchPeriod) {
            lastTouch = time;
            using vorn::components::ParticleEmitter;
            if (auto* emitter =
                    world->getComponentAs<ParticleEmitter>(effect, ParticleEmitter::componentName))
                emitter->particleSystem().resetRespawns();
        }
    }

private:
    vorn::engine::EntityHandle effect;
    bool stroll;
    bool retouch;
    float time = 0.0f;
    float lastTouch = 0.0f;
};

// Where the camera looks and from how far: dust and sparkles rise from their spawn box, the
// ambient cloud fills a box of 160 x 120 x 200 around its centre.
struct Framing {
    glm::vec3 target;
    float distance;
};

Framing framingFor(const std::string& name) {
    if (name == "ambientCloud")
        return {glm::vec3(0.0f), 60.0f};
    if (name == "dust")
        return {glm::vec3(0.0f, 6.0f, 0.0f), 40.0f};
    return {glm::vec3(0.0f, 7.0f, 0.0f), 45.0f};
}

} // namespace

std::shared_ptr<vorn::engine::World> EffectViewer::build(const std::string& name, float aspect) {
    const auto& known = vorn::particles::ParticleEffects::names();
    if (std::find(known.begin(), known.end(), name) == known.end())
        return nullptr;
    using namespace vorn::components;
    auto world = std::make_shared<vorn::engine::World>();
    const vorn::engine::EntityHandle effect =
        vorn::particles::ParticleEffects::create(*world, name, glm::vec3(0.0f));
    world->addComponent(new EffectDriver(effect, name == "dust", name == "sugarSparkle"));

    const Framing framing = framingFor(name);
    const float fieldOfView = 45.0f * degrees;
    const vorn::engine::EntityHandle camera = world->createEntity();
    auto* cameraTransform = new Transform();
    cameraTransform->setPosition(framing.target + glm::vec3(0.0f, 0.0f, framing.distance));
    world->addComponent(camera, cameraTransform);
    world->addComponent(camera,
                        new Camera(glm::perspective(fieldOfView, aspect, framing.distance * 0.01f,
                                                    framing.distance * 4.0f)));
    world->addComponent(camera, new Label("gameSpace"));

    glClearColor(0.02f, 0.02f, 0.05f, 1.0f);
    world->addComponent(new vorn::systems::Renderer("gameSpace", 0.0f,
                                                    GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT,
                                                    vorn::rendering::UniformSet{}));
    return world;
}

} // namespace game
