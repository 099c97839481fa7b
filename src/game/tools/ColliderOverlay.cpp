#include "game/tools/ColliderOverlay.hpp"

#include "components/Exit.hpp"
#include "engine/Application.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "game/tools/DesignerSettings.hpp"
#include "physics/CircleCollider.hpp"
#include "physics/CollisionTracker.hpp"
#include "physics/PolygonCollider.hpp"
#include "physics/RigidBody.hpp"
#include "rendering/Camera.hpp"
#include "rendering/LineBatch.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/Text.hpp"
#include "rendering/UniformSet.hpp"

#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace game {

namespace {

using vorn::engine::EntityHandle;
using vorn::engine::World;
using Transform = vorn::components::Transform;

constexpr float screenWidth = 800.0f;
constexpr float screenHeight = 600.0f;
// Segments of a circle's outline: round enough at the sizes the areas use.
constexpr int circleSegments = 24;
// World units of a contact normal and of an entrance cross.
constexpr float normalLength = 4.0f;
constexpr float crossSize = 2.0f;
constexpr float labelSize = 10.0f;

} // namespace

const glm::vec3 ColliderOverlay::contactColour{1.0f, 0.15f, 0.15f};
const glm::vec3 ColliderOverlay::labelColour{1.0f, 1.0f, 1.0f};

ColliderOverlay::ColliderOverlay(std::shared_ptr<DesignerSettings> settings,
                                 std::vector<Entrance> entrances)
    : settings(std::move(settings)), entrances(std::move(entrances)) {
    addName(componentName);
    addName("renderer");
    renderPriority = 3.0f;
}

ColliderOverlay::~ColliderOverlay() = default;

ColliderOverlay::Kind ColliderOverlay::kindOf(const World& world, EntityHandle entity) {
    if (world.getComponent(entity, "antCommandCW") || world.getComponent(entity, "antCommandCCW"))
        return Kind::antTurnMarker;
    if (const auto* body = world.getComponentAs<vorn::components::RigidBody>(entity, "rigidBody"))
        return body->isStatic != 0.0f ? Kind::staticPlatform : Kind::dynamicBody;
    if (world.getComponent(entity, "collisionTracker"))
        return Kind::trigger;
    return Kind::other;
}

glm::vec3 ColliderOverlay::colourOf(Kind kind) {
    switch (kind) {
    case Kind::staticPlatform:
        return {0.1f, 1.0f, 0.1f};
    case Kind::dynamicBody:
        return {0.1f, 0.6f, 1.0f};
    case Kind::trigger:
        return {1.0f, 0.9f, 0.0f};
    case Kind::antTurnMarker:
        return {1.0f, 0.2f, 1.0f};
    case Kind::other:
        break;
    }
    return {0.7f, 0.7f, 0.7f};
}

bool ColliderOverlay::toScreen(const glm::mat4& viewProjection, const glm::vec3& point,
                               glm::vec2& pixel) {
    const glm::vec4 clip = viewProjection * glm::vec4(point, 1.0f);
    if (clip.w <= 0.0f)
        return false;
    pixel = {(clip.x / clip.w + 1.0f) * 0.5f * screenWidth,
             (clip.y / clip.w + 1.0f) * 0.5f * screenHeight};
    return true;
}

void ColliderOverlay::gatherOutlines(const glm::mat4& viewProjection) {
    World& w = *getWorld();
    for (const EntityHandle& entity : w.getEntities("collider", Transform::componentName)) {
        const auto* transform = w.getComponentAs<Transform>(entity, Transform::componentName);
        const glm::vec3 at = glm::vec3(transform->matrix[3]);
        const glm::vec3 colour = colourOf(kindOf(w, entity));
        std::vector<glm::vec3> outline;
        if (const auto* circle =
                w.getComponentAs<vorn::components::CircleCollider>(entity, "circleCollider")) {
            const float r = circle->radius();
            for (int i = 0; i < circleSegments; ++i) {
                const float a = 6.2831853f * static_cast<float>(i) / circleSegments;
                outline.push_back(at + glm::vec3(r * std::cos(a), r * std::sin(a), 0.0f));
            }
        } else if (const auto* polygon = w.getComponentAs<vorn::components::PolygonCollider>(
                       entity, "polygonCollider")) {
            // Colliders move with the entity's position only; rotation and scale are in the
            // vertices already.
            for (const glm::vec2& v : polygon->vertices())
                outline.push_back(at + glm::vec3(v, 0.0f));
        }
        lines->addLoop(outline, colour);

        // This frame's contacts: the separation's direction from the owner's centre.
        const auto addNormals = [&](const std::vector<vorn::components::Contact>& contacts) {
            for (const vorn::components::Contact& contact : contacts) {
                const float length = glm::length(contact.separation);
                if (length <= 0.0f)
                    continue;
                const glm::vec2 n = contact.separation / length;
                lines->add(at, at + glm::vec3(n * normalLength, 0.0f), contactColour);
            }
        };
        if (const auto* body = w.getComponentAs<vorn::components::RigidBody>(entity, "rigidBody"))
            addNormals(body->contacts);
        if (const auto* tracker =
                w.getComponentAs<vorn::components::CollisionTracker>(entity, "collisionTracker"))
            addNormals(tracker->contacts);

        if (const auto* exit =
                w.getComponentAs<components::Exit>(entity, components::Exit::componentName)) {
            glm::vec2 pixel;
            if (toScreen(viewProjection, at, pixel))
                labels.push_back(
                    {exit->levelFile + " : " + exit->entrance, pixel, colourOf(Kind::trigger)});
        }
    }
    for (const Entrance& entrance : entrances) {
        const glm::vec3 p = entrance.position;
        const glm::vec3 colour(1.0f, 0.55f, 0.1f);
        lines->add(p - glm::vec3(crossSize, 0.0f, 0.0f), p + glm::vec3(crossSize, 0.0f, 0.0f),
                   colour);
        lines->add(p - glm::vec3(0.0f, crossSize, 0.0f), p + glm::vec3(0.0f, crossSize, 0.0f),
                   colour);
        glm::vec2 pixel;
        if (toScreen(viewProjection, p, pixel))
            labels.push_back({entrance.name, pixel, colour});
    }
}

void ColliderOverlay::drawLabel(const std::string& text, const glm::vec2& pixel,
                                const glm::vec3& colour) {
    vorn::engine::Application* application = getWorld()->application();
    auto* state = dynamic_cast<vorn::rendering::RenderState*>(application->renderState());
    label->text = text;
    label->color = colour;
    // Centred above the point it names.
    label->x = pixel.x - 0.5f * labelSize * static_cast<float>(text.size());
    label->y = pixel.y + 2.0f;
    vorn::rendering::UniformSet none;
    label->draw(*state, glm::mat4(1.0f), none);
}

void ColliderOverlay::render(float) {
    World* w = getWorld();
    if (!settings || !settings->debugDraw || !w || !w->application())
        return;
    auto* state = dynamic_cast<vorn::rendering::RenderState*>(w->application()->renderState());
    if (!state)
        return;
    if (!lines)
        lines = std::make_unique<vorn::rendering::LineBatch>();
    if (!label)
        label = std::make_unique<vorn::components::Text>(
            vorn::rendering::shaderProgramCache().get("shaders/colorizedTextShader.txt"),
            vorn::rendering::textureCache().get("textFonts/HarringtonFont.png"), 0.0f, 0.0f, 0.0f,
            "", labelSize, 1.0f, 1.0f, 1.0f);

    // The game camera's view, as the game-space renderer sets it.
    glm::mat4 viewProjection(1.0f);
    for (const EntityHandle& camera : w->getEntities("camera", "gameSpace")) {
        const auto* transform = w->getComponentAs<Transform>(camera, Transform::componentName);
        const auto* lens = w->getComponentAs<vorn::components::Camera>(camera, "camera");
        if (transform && lens)
            viewProjection = lens->projection * glm::inverse(transform->matrix);
        break;
    }

    lines->clear();
    labels.clear();
    gatherOutlines(viewProjection);
    lines->draw(*state, viewProjection);

    // Labels in screen pixels, over everything.
    state->view = glm::mat4(1.0f);
    state->projection = glm::ortho(0.0f, screenWidth, 0.0f, screenHeight, -1.0f, 1.0f);
    state->disableCap(GL_DEPTH_TEST);
    state->disableCap(GL_CULL_FACE);
    state->enableCap(GL_BLEND);
    for (const PendingLabel& pending : labels)
        drawLabel(pending.text, pending.pixel, pending.colour);
    state->enableCap(GL_CULL_FACE);
}

} // namespace game
