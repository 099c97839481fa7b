#pragma once

#include "rendering/ResourceCache.hpp"

namespace vorn::rendering {

class AnimatedMesh;

// The process-wide cache of animated meshes, by name relative to the asset root: an animation
// definition file (".txt") or a model file imported directly. Like the other resource caches it
// holds weak references only.
ResourceCache<AnimatedMesh>& animatedMeshCache();

} // namespace vorn::rendering
