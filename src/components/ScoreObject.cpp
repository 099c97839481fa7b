#include "components/ScoreObject.hpp"

#include "components/Action.hpp"
#include "components/LifeSpan.hpp"
#include "components/RunRecord.hpp"
#include "components/Score.hpp"
#include "components/Touch.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/Body.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/Text.hpp"

namespace vorn::components {

namespace {
const std::string fontTexture = "textFonts/HarringtonFont.png";
// Width of one character of a size-5 label, to centre the number over the pickup.
constexpr float characterWidth = 2.5f;
} // namespace

ScoreObject::ScoreObject(int points, bool isEgg) : points(points), isEgg(isEgg) {
    addName(componentName);
}

ScoreObject::FloatingLabel ScoreObject::pointsLabel(int points) {
    const std::string text = std::to_string(points);
    const float n = static_cast<float>(text.size());
    // The tinting program, so the number shows in its green; the flat program would ignore the
    // colour and draw the font's own white.
    return {"shaders/colorizedTextShader.txt",
            text,
            -(n - 0.5f) * characterWidth,
            5.0f,
            glm::vec3(0.0f, 1.0f, 0.0f),
            3.0f,
            1.5f,
            true};
}

ScoreObject::FloatingLabel ScoreObject::eggLabel() {
    return {"shaders/colorizedTextShader.txt", "+1", -6.0f, 8.0f,
            glm::vec3(1.0f, 1.0f, 1.0f),       5.0f, 1.0f,  false};
}

void ScoreObject::update(float) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr || collected)
        return;
    const auto player = Touch::findToucher(*world, handle(), "player");
    if (!player)
        return;
    auto* score = world->getComponentAs<Score>(*player, Score::componentName);
    if (score == nullptr)
        return;
    collected = true;
    ::components::RunRecord::noteTaken(*world, handle(), *player);
    score->points += points;
    spawn(pointsLabel(points));
    invokeAction(handle(), "deathAction");
    if (isEgg) {
        score->eggs += 1;
        spawn(eggLabel());
    }
}

void ScoreObject::spawn(const FloatingLabel& label) {
    vorn::engine::World* world = getWorld();
    // The death action may have taken the pickup's transform; then there is nowhere to float from.
    const auto* own = world->getComponentAs<Transform>(handle(), Transform::componentName);
    if (own == nullptr)
        return;
    const vorn::engine::EntityHandle entity = world->createEntity();
    world->addComponent(entity, new Transform(own->matrix));
    auto* text = new Text(vorn::rendering::shaderProgramCache().get(label.program),
                          vorn::rendering::textureCache().get(fontTexture), label.x, 0.0f, 0.0f,
                          label.text, label.size, label.colour.r, label.colour.g, label.colour.b);
    text->faceCamera = label.overEverything;
    text->ignoreDepth = label.overEverything;
    world->addComponent(entity, text);
    world->addComponent(entity, new Body(-1.0f, 0.0f, label.riseSpeed, 0.0f));
    world->addComponent(entity, new ::components::LifeSpan(label.lifetime));
    world->addComponent(entity, new Label("gameSpace"));
}

} // namespace vorn::components
