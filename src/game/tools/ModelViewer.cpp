#include "game/tools/ModelViewer.hpp"

#include "game/ModelLighting.hpp"

#include "rendering/AnimatedModel.hpp"

#include "engine/Behavior.hpp"
#include "engine/Diagnostics.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "rendering/Camera.hpp"
#include "rendering/FBOParticleRenderer.hpp"
#include "rendering/Mesh.hpp"
#include "rendering/Model.hpp"
#include "rendering/Renderer.hpp"
#include "rendering/ResourceCaches.hpp"

#include <GL/glew.h>
#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace game {

namespace {

constexpr float degrees = 0.017453293f;
// The viewer's entities live in the play areas' render space, as the areas' models do.
const std::string gameSpace = "gameSpace";

// Turns its entity about the vertical axis through the model's centre.
class Turntable : public vorn::engine::Behavior {
public:
    explicit Turntable(const glm::vec3& centre) : centre(centre) {}

    void initialize() override { place(); }

    void update(float dt) override {
        angle = std::fmod(angle + ModelViewer::turnRate * dt, 360.0f);
        place();
    }

private:
    void place() {
        auto* transform = getWorld()->getComponentAs<vorn::components::Transform>(
            handle(), vorn::components::Transform::componentName);
        if (!transform)
            return;
        transform->matrix = glm::rotate(glm::mat4(1.0f), angle * degrees, glm::vec3(0, 1, 0)) *
                            glm::translate(glm::mat4(1.0f), -centre);
    }

    glm::vec3 centre;
    float angle = -30.0f; // starts turned a little, so flat-fronted models show some depth
};

bool endsWith(const std::string& text, const std::string& suffix) {
    if (text.size() < suffix.size())
        return false;
    return std::equal(suffix.rbegin(), suffix.rend(), text.rbegin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

} // namespace

bool ModelViewer::addAnimatedModel(vorn::engine::World& world,
                                   const vorn::engine::EntityHandle& entity,
                                   const std::string& name, const std::string& animation,
                                   glm::vec3& boundsMin, glm::vec3& boundsMax) {
    std::unique_ptr<vorn::components::AnimatedModel> shown =
        vorn::components::AnimatedModel::createSkinned(name, animation);
    if (shown->parts.empty()) {
        vorn::engine::Diagnostics::err()
            << "mossfang: the model " << name << " has nothing to draw\n";
        return false;
    }
    if (shown->hasBounds) {
        boundsMin = shown->boundsMin + shown->rootOffset;
        boundsMax = shown->boundsMax + shown->rootOffset;
    }
    world.addComponent(entity, shown.release());
    return true;
}

std::shared_ptr<vorn::engine::World> ModelViewer::build(const std::string& name,
                                                        const std::string& animation, float aspect,
                                                        bool post, bool* nothingToDraw) {
    using namespace vorn::components;
    auto world = std::make_shared<vorn::engine::World>();
    const vorn::engine::EntityHandle model = world->createEntity();
    world->addComponent(model, new Transform());
    world->addComponent(model, new Label(gameSpace));

    glm::vec3 boundsMin(-1.0f);
    glm::vec3 boundsMax(1.0f);
    bool drawable = false;
    if (endsWith(name, ".obj")) {
        if (!animation.empty())
            vorn::engine::Diagnostics::err()
                << "mossfang: --animation is ignored for the OBJ model " << name << "\n";
        const std::shared_ptr<vorn::rendering::Mesh> mesh = vorn::rendering::meshCache().get(name);
        auto* shown = new Model(vorn::rendering::makeParts(name));
        // A model whose parts all lack a material (its library is missing or names other
        // materials) loads but draws nothing: say why rather than show an empty screen.
        drawable =
            std::any_of(shown->parts.begin(), shown->parts.end(),
                        [](const vorn::rendering::MeshPart& part) { return part.drawable(); });
        if (!drawable) {
            const std::string cause = mesh && !mesh->whyNothingDraws.empty()
                                          ? mesh->whyNothingDraws
                                          : "its materials have no shader program";
            vorn::engine::Diagnostics::err()
                << "mossfang: the model " << name << " has nothing to draw: " << cause << "\n";
        }
        const std::string normalMap = ModelLighting::normalMapFor(name);
        if (!normalMap.empty()) {
            const std::string directory = name.substr(0, name.find_last_of("/\\") + 1);
            shown->setShaderProgram(
                vorn::rendering::shaderProgramCache().get("shaders/objSpaceNormalMapping.txt"));
            shown->setTexture("normalMap",
                              vorn::rendering::textureCache().get(directory + normalMap));
        }
        world->addComponent(model, shown);
        if (mesh && mesh->hasBounds) {
            boundsMin = mesh->boundsMin;
            boundsMax = mesh->boundsMax;
        }
    } else {
        drawable = addAnimatedModel(*world, model, name, animation, boundsMin, boundsMax);
    }
    if (nothingToDraw)
        *nothingToDraw = !drawable;

    // Frame the bounding sphere with a 45 degree lens, looking slightly down on the model.
    const glm::vec3 centre = (boundsMin + boundsMax) * 0.5f;
    // A little room around the bind pose, which animations and the turning leave.
    const float radius = std::max(glm::length(boundsMax - boundsMin) * 0.55f, 1e-3f);
    const float fieldOfView = 45.0f * degrees;
    const float distance = radius / std::sin(fieldOfView * 0.5f);
    world->addComponent(model, new Turntable(centre));

    const vorn::engine::EntityHandle camera = world->createEntity();
    auto* cameraTransform = new Transform();
    const glm::vec3 eye =
        glm::vec3(0.0f, 0.35f, 1.0f) * (distance / glm::length(glm::vec3(0.0f, 0.35f, 1.0f)));
    cameraTransform->setPosition(eye);
    cameraTransform->lookAt(glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f), true);
    world->addComponent(camera, cameraTransform);
    world->addComponent(camera, new Label(gameSpace));
    world->addComponent(camera, new Camera(glm::perspective(fieldOfView, aspect, distance * 0.02f,
                                                            distance + radius * 4.0f)));

    glClearColor(0.12f, 0.075f, 0.03f, 1.0f);
    if (post)
        world->addComponent(new FBOParticleRenderer(gameSpace, 0.0f, ModelLighting::sceneLights()));
    else
        world->addComponent(new vorn::systems::Renderer(gameSpace, 0.0f,
                                                        GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT,
                                                        ModelLighting::sceneLights()));
    return world;
}

} // namespace game
