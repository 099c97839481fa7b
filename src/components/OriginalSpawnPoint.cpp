#include "components/OriginalSpawnPoint.hpp"

namespace components {

OriginalSpawnPoint::OriginalSpawnPoint(const glm::vec3& position) : position(position) {
    addName(componentName);
}

} // namespace components
