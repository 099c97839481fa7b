#include "game/ModelLighting.hpp"

#include <glm/geometric.hpp>

#include <utility>

namespace game {

vorn::rendering::UniformSet ModelLighting::sceneLights() {
    vorn::rendering::UniformSet lights;
    lights.set("ambientLight", glm::vec3(0.2f, 0.1f, 0.2f));
    lights.set("lights[0].color", glm::vec3(2.0f, 2.0f, 1.2f));
    lights.set("lights[0].direction", glm::normalize(glm::vec3(-1.0f, -1.0f, -0.5f)));
    lights.set("lights[1].color", glm::vec3(1.2f, 0.6f, 0.0f));
    lights.set("lights[1].direction", glm::normalize(glm::vec3(1.0f, -1.0f, 0.0f)));
    lights.set("lights[3].color", glm::vec3(0.4f, 0.4f, 0.6f));
    lights.set("lights[3].direction", glm::normalize(glm::vec3(1.0f, 1.0f, 0.5f)));
    return lights;
}

std::string ModelLighting::normalMapFor(const std::string& name) {
    // The same pairs as the level templates.
    static const std::pair<const char*, const char*> maps[] = {
        {"flatPlatformLen3.obj", "PlatformLen3Normals.png"},
        {"SmallPlatform.obj", "smallPlatformNormals.png"},
        {"Platform3x3.obj", "platform3x3Normals.png"},
        {"rock_platform.obj", "rockNormals.png"},
        {"boulder.obj", "boulderObjectNormals.png"},
        {"breakable.obj", "breakableNormals.png"},
        {"spikes.obj", "spikeNormals.png"},
    };
    const std::size_t slash = name.find_last_of("/\\");
    const std::string file = slash == std::string::npos ? name : name.substr(slash + 1);
    for (const auto& [model, map] : maps)
        if (file == model)
            return map;
    return "";
}

} // namespace game
