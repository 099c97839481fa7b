#pragma once

#include "rendering/Material.hpp"

#include <istream>
#include <memory>
#include <string>

namespace vorn::rendering {

// Reads Wavefront MTL material libraries into materials for "shaders/texturedShaderProgram.txt":
// "newmtl" starts a material, "Ka", "Kd", "Ks" give "mat_ambient", "mat_diffuse", "mat_specular",
// "Ns" gives "mat_shininess", "map_Kd" gives the "diffuseTex" texture and sets "usingDiffuseTex"
// to 1. Every other line is ignored. A material ends with a white diffuse colour when it has none
// or a black one, so that an untextured, uncoloured material shows its texture or white.
class MtlLoader {
public:
    // `textures` receives a full path (the library's directory and the file name).
    static std::shared_ptr<MaterialLibrary> parse(std::istream& in, const std::string& directory,
                                                  const Material::ProgramSource& programs,
                                                  const Material::TextureSource& textures);
    // The material library cache's loader (programs and textures through their caches). A file
    // that does not open gives null, so the model naming it can say so without opening it again;
    // one that is not text is reported and gives an empty library.
    static std::shared_ptr<MaterialLibrary> load(const std::string& fullPath);
};

} // namespace vorn::rendering
