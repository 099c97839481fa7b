#pragma once

#include "components/Assists.hpp"
#include "engine/Behavior.hpp"

#include <memory>
#include <string>

namespace components {

// The assists in an area. Every frame, before anything else moves, it gives each "player" of its
// world the energy and health flags of the current assists, and tags a player who plays with any
// assist on as "assistsUsed": the tag travels with him through doors and stays for the rest of
// his run. Its own entity's "text", if any, is the HUD's mark: "assist" while one is on, empty
// otherwise. The game speed itself is the main loop's (Application::setGameSpeed). Answers
// "assistEffects"; update priority -1.
class AssistEffects : public vorn::engine::Behavior {
public:
    inline static const std::string componentName = "assistEffects";
    // The tag of a player whose run used an assist.
    inline static const std::string usedTag = "assistsUsed";
    // The HUD mark's text while an assist is on.
    inline static const std::string markText = "assist";

    // `assists` is shared with the settings, which change it while the game runs.
    explicit AssistEffects(std::shared_ptr<const Assists> assists);

    // Applies the assists to the players and updates the mark.
    void update(float dt) override;

private:
    std::shared_ptr<const Assists> assists;
};

} // namespace components
