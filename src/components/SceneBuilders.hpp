#pragma once

#include "engine/EntityHandle.hpp"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vorn::engine {
class Component;
class World;
} // namespace vorn::engine

namespace components {

// The scene builders that doors and the objective call to make the next world. Scenes live in
// the game layer, above this one, so the game installs its builders here at start-up (tests
// install their own). Until one is installed the corresponding build returns null.
class SceneBuilders {
public:
    // Components carried from one area to the next (the player walking through a door). A builder
    // takes out what it places in the new world; whatever it leaves stays with the caller.
    using Carried = std::vector<std::unique_ptr<vorn::engine::Component>>;
    // Builds an area from a level file (relative to the levels folder), placing the carried
    // components at the named entrance.
    using AreaBuilder = std::function<std::shared_ptr<vorn::engine::World>(
        Carried& carried, const std::string& levelFile, const std::string& entrance)>;
    // Builds one credits page (0 is the first).
    using CreditsBuilder = std::function<std::shared_ptr<vorn::engine::World>(int page)>;
    // Builds the scene that ends the journey (the run's summary) for `player` of `area`, who has
    // just reached the goal.
    using FinishBuilder = std::function<std::shared_ptr<vorn::engine::World>(
        vorn::engine::World& area, vorn::engine::EntityHandle player)>;

    // Installs (or, with an empty function, removes) the area builder.
    static void setAreaBuilder(AreaBuilder builder);
    // Installs (or, with an empty function, removes) the credits builder.
    static void setCreditsBuilder(CreditsBuilder builder);
    // Installs (or, with an empty function, removes) the finish builder.
    static void setFinishBuilder(FinishBuilder builder);
    // Whether an area builder is installed.
    static bool hasAreaBuilder();
    // Whether a credits builder is installed.
    static bool hasCreditsBuilder();

    // The area built by the installed builder; null when none is installed or it built nothing.
    static std::shared_ptr<vorn::engine::World>
    buildArea(Carried& carried, const std::string& levelFile, const std::string& entrance);
    // The credits page built by the installed builder; null when none is installed.
    static std::shared_ptr<vorn::engine::World> buildCredits(int page);
    // The end of the journey for `player`: the finish builder's scene, or the first credits page
    // when no finish builder is installed; null when neither is.
    static std::shared_ptr<vorn::engine::World> buildFinish(vorn::engine::World& area,
                                                            vorn::engine::EntityHandle player);

private:
    static AreaBuilder& areaBuilder();
    static CreditsBuilder& creditsBuilder();
    static FinishBuilder& finishBuilder();
};

} // namespace components
