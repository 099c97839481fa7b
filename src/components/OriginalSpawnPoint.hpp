#pragma once

#include "engine/Component.hpp"

#include <glm/vec3.hpp>

#include <string>

namespace components {

// Where the ninja comes back to life. Answers "originalSpawnPoint".
class OriginalSpawnPoint : public vorn::engine::Component {
public:
    inline static const std::string componentName = "originalSpawnPoint";
    explicit OriginalSpawnPoint(const glm::vec3& position);
    glm::vec3 position;
};

} // namespace components
