#pragma once

#include <memory>
#include <string>

namespace vorn::engine {
class World;
}

namespace game {

// The scene of `mossfang --view-effect NAME`: one of the game's particle effects running at the
// origin, framed by a fixed camera over a dark background, drawn by the plain renderer. The dust
// emitter strolls from side to side as if under walking feet, and the sugar pile is touched
// afresh every few seconds, so both keep emitting as they do in play. It is how effects are
// checked by eye.
class EffectViewer {
public:
    // Seconds between two touches of the sugar pile.
    static constexpr float touchPeriod = 4.0f;

    // Builds the viewer world for the effect NAME (one of ParticleEffects::names()); `aspect` is
    // the window's width over its height. Null for an unknown name.
    static std::shared_ptr<vorn::engine::World> build(const std::string& name, float aspect);
};

} // namespace game
