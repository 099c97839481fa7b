#include "components/ScoreDisplay.hpp"

#include "components/Score.hpp"
#include "engine/World.hpp"
#include "rendering/Text.hpp"

namespace vorn::components {

namespace {
constexpr std::size_t fieldWidth = 4;
}

ScoreDisplay::ScoreDisplay(vorn::engine::EntityHandle target, bool showEggs)
    : target(target), showEggs(showEggs) {
    addName(componentName);
}

std::string ScoreDisplay::format(int n) {
    std::string digits = std::to_string(n);
    if (digits.size() < fieldWidth)
        digits.insert(0, fieldWidth - digits.size(), ' ');
    return digits;
}

void ScoreDisplay::update(float) {
    vorn::engine::World* world = getWorld();
    if (world == nullptr)
        return;
    auto* text = world->getComponentAs<Text>(handle(), "text");
    const auto* score = world->getComponentAs<Score>(target, Score::componentName);
    if (text == nullptr || score == nullptr)
        return;
    text->text = format(showEggs ? score->eggs : score->points);
}

} // namespace vorn::components
