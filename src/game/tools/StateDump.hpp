#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

namespace vorn::engine {
class Component;
class World;
} // namespace vorn::engine

namespace game {

// The current world as JSON: the frame, the scene's name and every live entity in id order with
// its components, position and, where it has them, body velocity, health, energy, score,
// movement animation state and labels. Keys keep one fixed order, so two dumps diff line by line.
class StateDump {
public:
    static nlohmann::ordered_json describe(const vorn::engine::World& world, uint64_t frame);
    // Writes describe() to `path`, indented; false when the file cannot be written.
    static bool write(const std::string& path, const vorn::engine::World& world, uint64_t frame);
    // The name a component is listed under: its most specific name.
    static std::string componentName(const vorn::engine::Component& component);
};

} // namespace game
