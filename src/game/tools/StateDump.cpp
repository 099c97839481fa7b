#include "game/tools/StateDump.hpp"

#include "components/Energy.hpp"
#include "components/Health.hpp"
#include "components/Score.hpp"
#include "components/SimpleNavigation.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "game/Scenes.hpp"
#include "physics/Body.hpp"

#include <algorithm>
#include <fstream>
#include <set>
#include <vector>

namespace game {

namespace {

using nlohmann::ordered_json;

ordered_json vec3(const glm::vec3& v) {
    return ordered_json::array({v.x, v.y, v.z});
}

template <class T>
const T* find(const vorn::engine::World& world, vorn::engine::EntityHandle entity,
              const std::string& name) {
    return dynamic_cast<const T*>(world.getComponent(entity, name));
}

} // namespace

std::string StateDump::componentName(const vorn::engine::Component& component) {
    // Names many components share say less than the component's own one.
    static const std::set<std::string> shared = {"action",   "behavior", "renderable",
                                                 "renderer", "body",     "collider"};
    std::vector<std::string> own;
    std::vector<std::string> all;
    for (const std::string& name : component.getNames()) {
        all.push_back(name);
        if (!shared.count(name))
            own.push_back(name);
    }
    std::vector<std::string>& pick = own.empty() ? all : own;
    if (pick.empty())
        return "";
    return *std::min_element(pick.begin(), pick.end());
}

ordered_json StateDump::describe(const vorn::engine::World& world, uint64_t frame) {
    ordered_json dump;
    dump["frame"] = frame;
    dump["scene"] = Scenes::sceneName(world);
    ordered_json entities = ordered_json::array();
    for (vorn::engine::EntityHandle entity : world.liveEntities()) {
        entity.world = const_cast<vorn::engine::World*>(&world);
        ordered_json item;
        item["id"] = entity.entityId;
        ordered_json components = ordered_json::array();
        ordered_json labels = ordered_json::array();
        for (const vorn::engine::Component* component : world.getEntityComponents(entity)) {
            components.push_back(componentName(*component));
            if (const auto* label = dynamic_cast<const vorn::components::Label*>(component))
                labels.push_back(componentName(*label));
        }
        item["components"] = components;
        if (const auto* transform = find<vorn::components::Transform>(
                world, entity, vorn::components::Transform::componentName))
            item["position"] = vec3(transform->position());
        if (const auto* body = find<vorn::components::Body>(world, entity, "body"))
            item["velocity"] = vec3(body->velocity);
        if (const auto* health =
                find<components::Health>(world, entity, components::Health::componentName))
            item["health"] = {{"current", health->current}, {"maximum", health->maximum}};
        if (const auto* energy = find<vorn::components::Energy>(world, entity, "energy"))
            item["energy"] = {{"current", energy->current}, {"maximum", energy->maximum}};
        if (const auto* score = find<vorn::components::Score>(
                world, entity, vorn::components::Score::componentName))
            item["score"] = {
                {"points", score->points}, {"eggs", score->eggs}, {"secrets", score->secrets}};
        if (const auto* movement = find<vorn::components::SimpleNavigation>(
                world, entity, vorn::components::SimpleNavigation::componentName))
            item["animationState"] = movement->animationState;
        item["labels"] = labels;
        entities.push_back(item);
    }
    dump["entities"] = entities;
    return dump;
}

bool StateDump::write(const std::string& path, const vorn::engine::World& world, uint64_t frame) {
    std::ofstream file(path, std::ios::binary);
    if (!file)
        return false;
    file << describe(world, frame).dump(2) << "\n";
    return static_cast<bool>(file);
}

} // namespace game
