#include "components/SceneBuilders.hpp"

#include "engine/Component.hpp"
#include "engine/World.hpp"

namespace components {

SceneBuilders::AreaBuilder& SceneBuilders::areaBuilder() {
    static AreaBuilder builder;
    return builder;
}

SceneBuilders::CreditsBuilder& SceneBuilders::creditsBuilder() {
    static CreditsBuilder builder;
    return builder;
}

SceneBuilders::FinishBuilder& SceneBuilders::finishBuilder() {
    static FinishBuilder builder;
    return builder;
}

void SceneBuilders::setFinishBuilder(FinishBuilder builder) {
    finishBuilder() = std::move(builder);
}

void SceneBuilders::setAreaBuilder(AreaBuilder builder) {
    areaBuilder() = std::move(builder);
}

void SceneBuilders::setCreditsBuilder(CreditsBuilder builder) {
    creditsBuilder() = std::move(builder);
}

bool SceneBuilders::hasAreaBuilder() {
    return static_cast<bool>(areaBuilder());
}

bool SceneBuilders::hasCreditsBuilder() {
    return static_cast<bool>(creditsBuilder());
}

std::shared_ptr<vorn::engine::World> SceneBuilders::buildArea(Carried& carried,
                                                              const std::string& levelFile,
                                                              const std::string& entrance) {
    if (!areaBuilder())
        return nullptr;
    return areaBuilder()(carried, levelFile, entrance);
}

std::shared_ptr<vorn::engine::World> SceneBuilders::buildCredits(int page) {
    if (!creditsBuilder())
        return nullptr;
    return creditsBuilder()(page);
}

std::shared_ptr<vorn::engine::World> SceneBuilders::buildFinish(vorn::engine::World& area,
                                                                vorn::engine::EntityHandle player) {
    if (finishBuilder())
        return finishBuilder()(area, player);
    return buildCredits(0);
}

} // namespace components
