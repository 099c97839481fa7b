#include "rendering/ResourceCaches.hpp"

#include "rendering/Mesh.hpp"
#include "rendering/MtlLoader.hpp"
#include "rendering/ObjLoader.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/Texture.hpp"

namespace vorn::rendering {

ResourceCache<Texture>& textureCache() {
    static ResourceCache<Texture> cache(&Texture::load);
    return cache;
}

ResourceCache<Texture>& pictureCache() {
    static ResourceCache<Texture> cache(&Texture::loadPicture);
    return cache;
}

ResourceCache<ShaderProgram>& shaderProgramCache() {
    static ResourceCache<ShaderProgram> cache(&ShaderProgram::load);
    return cache;
}

ResourceCache<Material>& materialCache() {
    static ResourceCache<Material> cache(&Material::load);
    return cache;
}

ResourceCache<MaterialLibrary>& materialLibraryCache() {
    static ResourceCache<MaterialLibrary> cache(&MtlLoader::load);
    return cache;
}

ResourceCache<Mesh>& meshCache() {
    static ResourceCache<Mesh> cache(&ObjLoader::load);
    return cache;
}

} // namespace vorn::rendering
