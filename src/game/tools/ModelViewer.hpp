#pragma once

#include <glm/vec3.hpp>

#include <memory>
#include <string>

namespace vorn::engine {
class World;
struct EntityHandle;
} // namespace vorn::engine

namespace game {

// The scene of `mossfang --view-model NAME`: one model lit by the play areas' lights, turning
// slowly about the vertical axis in front of a camera framed on its bounding box, over the areas'
// clear colour. It is how models are checked by eye.
class ModelViewer {
public:
    // Degrees per second the model turns.
    static constexpr float turnRate = 24.0f;

    // Builds the viewer world for the model NAME (relative to the asset root). `animation` names
    // the segment to play for animated models; `aspect` is the window's width over its height;
    // `post` draws through the play areas' post-processing renderer instead of a plain one.
    // Problems are reported on the error stream; the scene is built with whatever loaded. A model
    // with nothing to draw is reported with the cause, and `nothingToDraw`, when given, is set.
    static std::shared_ptr<vorn::engine::World> build(const std::string& name,
                                                      const std::string& animation, float aspect,
                                                      bool post = false,
                                                      bool* nothingToDraw = nullptr);

private:
    // Adds an animated model (an imported model file or an animation definition file) to
    // `entity`, drawn as the hero is drawn and playing `animation` ("default" when empty), and
    // widens the bounds to its bind pose; false when it has nothing to draw.
    static bool addAnimatedModel(vorn::engine::World& world,
                                 const vorn::engine::EntityHandle& entity, const std::string& name,
                                 const std::string& animation, glm::vec3& boundsMin,
                                 glm::vec3& boundsMax);
};

} // namespace game
