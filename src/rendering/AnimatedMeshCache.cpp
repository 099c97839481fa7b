#include "rendering/AnimatedMeshCache.hpp"

#include "rendering/AnimatedMesh.hpp"
#include "rendering/AnimatedMeshLoader.hpp"

namespace vorn::rendering {

ResourceCache<AnimatedMesh>& animatedMeshCache() {
    static ResourceCache<AnimatedMesh> cache(&AnimatedMeshLoader::load);
    return cache;
}

} // namespace vorn::rendering
