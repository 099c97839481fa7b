#include "rendering/Material.hpp"

#include "engine/Diagnostics.hpp"
#include "parsing/DefinitionReader.hpp"
#include "parsing/ParseError.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/Texture.hpp"

#include <fstream>

namespace vorn::rendering {

Material::Material() = default;

Material::Material(const Material& other)
    : uniforms(other.uniforms), textures(other.textures), program(other.program), changed(true) {}

Material::~Material() {
    leaveProgram();
}

void Material::leaveProgram() {
    if (!program || program->lastMaterial != this)
        return;
    // The program still holds this material's values: give it back its defaults, so that the next
    // material drawn with it starts clean. Uniforms can only be given to the program GL has
    // current, so switch to it for the restore and back again; the render state's record of the
    // current program stays true.
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    glUseProgram(program->id());
    program->restoreDefaults(uniforms);
    // A program deleted while it was current lives only until another one is made current, which
    // the switch above just did; then there is nothing to go back to.
    const GLuint back = static_cast<GLuint>(previous);
    glUseProgram(back != 0 && glIsProgram(back) ? back : 0);
    program->lastMaterial = nullptr;
}

void Material::setUniform(const std::string& name, const UniformValue& value) {
    uniforms.set(name, value);
    changed = true;
}

void Material::setTexture(const std::string& samplerName, std::shared_ptr<Texture> texture) {
    textures[samplerName] = std::move(texture);
    changed = true;
}

void Material::setShaderProgram(std::shared_ptr<ShaderProgram> newProgram) {
    if (newProgram == program)
        return;
    leaveProgram();
    program = std::move(newProgram);
    // The new program has never received this material's values.
    changed = true;
}

// The order of one apply: program (and per-draw values), textures, then the material's own values
// unless this very material was the last one uploaded and has not changed since.
void Material::apply(RenderState& state, UniformSet* perDraw) {
    if (!program)
        return;
    ShaderProgram& p = *program;
    if (state.currentProgram != &p) {
        state.useProgram(&p);
        if (perDraw)
            p.upload(*perDraw);
    } else if (perDraw && perDraw->dirty) {
        p.upload(*perDraw);
    }
    for (const auto& [samplerName, texture] : textures)
        if (texture)
            p.bindTexture(state, *texture, samplerName);
    if (state.currentMaterial == this && !changed)
        return;
    state.currentMaterial = this;
    if (p.lastMaterial && p.lastMaterial != this)
        p.restoreDefaults(p.lastMaterial->uniforms);
    p.upload(uniforms);
    p.lastMaterial = this;
    changed = false;
}

std::shared_ptr<Material> Material::load(const std::string& fullPath) {
    std::ifstream file(fullPath);
    return readDefinition(
        file, fullPath, [](const std::string& name) { return shaderProgramCache().get(name); },
        [](const std::string& name) { return textureCache().get(name); });
}

// File form: '{', then keys until '}': "uniforms" and a uniform block (replaces every value),
// "shaderProgram" and a program name, "texture" and a texture name (sampler "diffuseTex"). Any
// other key word is read alone, so its value is read as the next key.
std::shared_ptr<Material> Material::readDefinition(std::istream& in, const std::string& path,
                                                   const ProgramSource& programs,
                                                   const TextureSource& textureSource) {
    auto material = std::make_shared<Material>();
    vorn::parsing::DefinitionReader reader(in);
    try {
        reader.expect('{');
        std::string key;
        while (reader.nextEntry('}', key)) {
            if (key == "uniforms") {
                UniformSet block;
                try {
                    block.read(reader);
                } catch (const vorn::parsing::ParseError&) {
                    material->uniforms = block;
                    material->changed = true;
                    throw;
                }
                material->uniforms = block;
                material->changed = true;
            } else if (key == "shaderProgram") {
                const std::string name = reader.readString();
                material->setShaderProgram(programs ? programs(name) : nullptr);
            } else if (key == "texture") {
                const std::string name = reader.readString();
                material->setTexture("diffuseTex", textureSource ? textureSource(name) : nullptr);
            }
        }
    } catch (const vorn::parsing::ParseError& e) {
        vorn::engine::Diagnostics::err() << path << ": " << e.what() << "\n";
    }
    return material;
}

} // namespace vorn::rendering
