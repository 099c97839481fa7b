#pragma once

#include "rendering/UniformSet.hpp"

#include <functional>
#include <istream>
#include <memory>
#include <string>
#include <unordered_map>

namespace vorn::rendering {

class RenderState;
class ShaderProgram;
class Texture;

// The surface of a mesh part: uniform values, textures by sampler name and the program that draws
// it. apply() sends only what changed since the program last drew this material.
//
// Lifetime: shared by every part that uses it. A program remembers the material whose values it
// holds (lastMaterial); a material that dies or leaves its program clears that record, so the
// program never reads a dead material's values.
class Material {
public:
    // Where the definition reader gets programs and textures by name (the caches in the game).
    using ProgramSource = std::function<std::shared_ptr<ShaderProgram>(const std::string&)>;
    using TextureSource = std::function<std::shared_ptr<Texture>(const std::string&)>;

    // An empty material: no values, no textures, no program, marked changed.
    Material();
    // A private copy: the same values, textures (still shared) and program; it counts as changed,
    // since it has never been uploaded.
    Material(const Material& other);
    Material& operator=(const Material&) = delete;
    ~Material();

    // The material cache's loader: reads a material definition file through the caches.
    static std::shared_ptr<Material> load(const std::string& fullPath);
    // Reads a material definition; a parse error is reported with `path` and ends the reading,
    // keeping what was read.
    static std::shared_ptr<Material> readDefinition(std::istream& in, const std::string& path,
                                                    const ProgramSource& programs,
                                                    const TextureSource& textures);

    // Stores a uniform value and marks the material changed.
    void setUniform(const std::string& name, const UniformValue& value);
    // Stores the texture for a sampler name and marks the material changed.
    void setTexture(const std::string& samplerName, std::shared_ptr<Texture> texture);
    // Changes the program; the old program gets back what this material had set in it.
    void setShaderProgram(std::shared_ptr<ShaderProgram> newProgram);
    // Makes the program current (with the per-draw values), binds the textures and uploads the
    // values unless the program already holds them. Does nothing without a program.
    void apply(RenderState& state, UniformSet* perDraw);

    UniformSet uniforms;
    std::unordered_map<std::string, std::shared_ptr<Texture>> textures;
    std::shared_ptr<ShaderProgram> program;
    bool changed = true;

private:
    // Takes this material's values out of its program if the program still holds them.
    void leaveProgram();
};

// One loaded MTL file: materials by name.
using MaterialLibrary = std::unordered_map<std::string, std::shared_ptr<Material>>;

} // namespace vorn::rendering
