#include "rendering/MtlLoader.hpp"

#include "engine/Diagnostics.hpp"
#include "rendering/FilePaths.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/TextScanner.hpp"
#include "rendering/Texture.hpp"

#include <cctype>
#include <fstream>

namespace vorn::rendering {

namespace {

void finish(Material& material) {
    const UniformValue* diffuse = material.uniforms.find("mat_diffuse");
    const glm::vec3* colour = diffuse ? diffuse->getIf<glm::vec3>() : nullptr;
    if (!colour || *colour == glm::vec3(0.0f))
        material.setUniform("mat_diffuse", glm::vec3(1.0f));
}

glm::vec3 readColour(TextScanner& scanner) {
    const float r = scanner.number();
    const float g = scanner.number();
    const float b = scanner.number();
    return {r, g, b};
}

// The full path of a "map_Kd" file: backslashes (as Windows exporters write them) become slashes,
// and a relative path is taken from the library's directory; an absolute one is used as it is.
std::string texturePath(std::string file, const std::string& directory) {
    for (char& c : file)
        if (c == '\\')
            c = '/';
    const bool absolute =
        file[0] == '/' || (file.size() > 2 && std::isalpha(static_cast<unsigned char>(file[0])) &&
                           file[1] == ':' && file[2] == '/');
    return absolute ? file : directory + file;
}

} // namespace

std::shared_ptr<MaterialLibrary> MtlLoader::parse(std::istream& in, const std::string& directory,
                                                  const Material::ProgramSource& programs,
                                                  const Material::TextureSource& textures) {
    auto library = std::make_shared<MaterialLibrary>();
    std::shared_ptr<Material> current;
    std::string line;
    LineReader lines(in);
    while (lines.next(line)) {
        TextScanner scanner(line);
        const std::string keyword = scanner.word();
        if (keyword == "newmtl") {
            if (current)
                finish(*current);
            current = std::make_shared<Material>();
            (*library)[scanner.rest()] = current;
            current->setShaderProgram(programs ? programs("shaders/texturedShaderProgram.txt")
                                               : nullptr);
            current->setUniform("usingDiffuseTex", 0);
        } else if (!current) {
            continue;
        } else if (keyword == "Ka") {
            current->setUniform("mat_ambient", readColour(scanner));
        } else if (keyword == "Kd") {
            current->setUniform("mat_diffuse", readColour(scanner));
        } else if (keyword == "Ks") {
            current->setUniform("mat_specular", readColour(scanner));
        } else if (keyword == "Ns") {
            current->setUniform("mat_shininess", scanner.number());
        } else if (keyword == "map_Kd") {
            const std::string file = scanner.rest();
            if (file.empty())
                continue;
            std::shared_ptr<Texture> texture =
                textures ? textures(texturePath(file, directory)) : nullptr;
            // A texture that did not load (already reported by its loader) would sample black;
            // the material keeps its diffuse colour instead.
            if (!texture || !texture->loaded())
                continue;
            current->setTexture("diffuseTex", std::move(texture));
            current->setUniform("usingDiffuseTex", 1);
        }
    }
    if (current)
        finish(*current);
    return library;
}

std::shared_ptr<MaterialLibrary> MtlLoader::load(const std::string& fullPath) {
    std::ifstream file(fullPath, std::ios::binary);
    if (!file)
        return nullptr;
    try {
        const std::string notText = notTextReason(file);
        if (!notText.empty()) {
            vorn::engine::Diagnostics::err() << fullPath << ": not read: it " << notText << "\n";
            return std::make_shared<MaterialLibrary>();
        }
        return parse(
            file, directoryOf(fullPath),
            [](const std::string& name) { return shaderProgramCache().get(name); },
            [](const std::string& path) { return textureCache().getFullPath(path); });
    } catch (const std::exception& e) {
        vorn::engine::Diagnostics::err()
            << "Failed to load material library " << fullPath << ": " << e.what() << "\n";
        return std::make_shared<MaterialLibrary>();
    }
}

} // namespace vorn::rendering
