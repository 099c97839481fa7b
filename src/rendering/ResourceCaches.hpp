#pragma once

#include "rendering/Material.hpp"
#include "rendering/ResourceCache.hpp"

namespace vorn::rendering {

class Mesh;
class ShaderProgram;
class Texture;

// The process-wide caches of the rendering resources, one per kind, each with its loader. Names
// are relative to the asset root; getFullPath() takes paths that begin with it.

// Images (PNG, JPEG) as textures.
ResourceCache<Texture>& textureCache();
// Images as textures without mip levels, for pictures never drawn smaller than their own size. A
// separate cache, so the same file asked for through both is two textures, each as its users need.
ResourceCache<Texture>& pictureCache();
// Shader program definition files.
ResourceCache<ShaderProgram>& shaderProgramCache();
// Material definition files.
ResourceCache<Material>& materialCache();
// MTL material libraries.
ResourceCache<MaterialLibrary>& materialLibraryCache();
// OBJ meshes.
ResourceCache<Mesh>& meshCache();

} // namespace vorn::rendering
