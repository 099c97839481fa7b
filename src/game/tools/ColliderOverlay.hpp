#pragma once

#include "engine/Component.hpp"
#include "game/LevelEntrances.hpp"

#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <memory>
#include <string>
#include <vector>

namespace vorn::components {
class Text;
}
namespace vorn::rendering {
class LineBatch;
}

namespace game {

struct DesignerSettings;

// What the physics sees, drawn over an area's finished picture while the designer's switch is on:
// every collider's outline coloured by kind, the contacts of the frame as short normals from the
// entity that owns them, each door's target file and entrance, and each entrance's name.
// A "renderer" on the world's own entity with render priority 3, after the post-processing
// renderer (0) and the HUD (2), so it never touches the game's own picture; when the switch is off
// it draws nothing at all.
class ColliderOverlay : public vorn::engine::Component {
public:
    inline static const std::string componentName = "colliderOverlay";

    // How a collider takes part in the physics; each kind has its own colour.
    enum class Kind { staticPlatform, dynamicBody, trigger, antTurnMarker, other };

    // An entrance of the level file: its name and position.
    using Entrance = LevelEntrances::Entrance;

    ColliderOverlay(std::shared_ptr<DesignerSettings> settings, std::vector<Entrance> entrances);
    ~ColliderOverlay() override;

    void render(float dt) override;

    // The kind of the collider on `entity`: ant turn markers by their label, bodies by whether
    // they are static, other colliders with a collision tracker are triggers.
    static Kind kindOf(const vorn::engine::World& world, vorn::engine::EntityHandle entity);
    // The outline colour of a kind.
    static glm::vec3 colourOf(Kind kind);
    // Colour of the contact normals and of the labels.
    static const glm::vec3 contactColour;
    static const glm::vec3 labelColour;
    // Pixel position (origin lower left, 800 x 600) of a world point seen through
    // `viewProjection`; false when the point is behind the camera.
    static bool toScreen(const glm::mat4& viewProjection, const glm::vec3& point, glm::vec2& pixel);

private:
    void gatherOutlines(const glm::mat4& viewProjection);
    void drawLabel(const std::string& text, const glm::vec2& pixel, const glm::vec3& colour);

    std::shared_ptr<DesignerSettings> settings;
    std::vector<Entrance> entrances;
    std::unique_ptr<vorn::rendering::LineBatch> lines;
    std::unique_ptr<vorn::components::Text> label;
    struct PendingLabel {
        std::string text;
        glm::vec2 pixel;
        glm::vec3 colour;
    };
    std::vector<PendingLabel> labels;
};

} // namespace game
