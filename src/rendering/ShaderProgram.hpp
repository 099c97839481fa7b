#pragma once

#include "rendering/UniformSet.hpp"

#include <GL/glew.h>

#include <istream>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace vorn::rendering {

class Material;
class RenderState;
class Texture;

// One linked GLSL program with the uniform locations it exposes and the sampler-to-unit table
// that keeps texture binds to a minimum.
//
// Lifetime: built once by its loader (always held by shared reference, usually through the
// program cache) and never re-linked; the GL program is deleted with the last holder. The caller
// must have made the program current (RenderState::useProgram, done by materials) before
// setUniform, upload, restoreDefaults or bindTexture.
class ShaderProgram {
public:
    // One "{ ... }" entry of a program definition file.
    struct StageEntry {
        std::string type; // "vertex", "fragment", "geometry", "tess control", "tess evaluation"
        std::string key;  // the stage's source file name
        std::string data; // text placed in front of the file's text, or the whole source
    };

    // Creates an empty GL program object.
    ShaderProgram();
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;
    ~ShaderProgram();

    // The program cache's loader: reads a definition file, compiles, attaches and links its
    // stages. Always returns a program; problems are reported on the error stream.
    static std::shared_ptr<ShaderProgram> load(const std::string& fullPath);
    // Reads the entries of a definition file. A parse error ends the reading: `error` receives
    // the parser's message and the entries complete before it are returned.
    static std::vector<StageEntry> readDefinition(std::istream& in, std::string& error);
    // The GL shader type of a stage name, or 0 for a name that is none of the five.
    static GLenum stageType(const std::string& type);

    // Compiles preamble + "\n#line 1\n" + source (includes expanded) into `shader` and reports a
    // failed compile with its log; the source's lines report their own numbers. A "#version" line
    // that starts the source is kept first, where GLSL requires it.
    void compileStage(GLuint shader, const std::string& source, const std::string& preamble,
                      const std::string& name);
    // Links what is attached, reports a failed link labelled `label`, and discovers the uniforms.
    void link(const std::string& label);

    // Uploads one value with the call of its type; returns the location, or -1 (no GL call) when
    // the program has no such uniform.
    GLint setUniform(const std::string& name, const UniformValue& value);
    // Sends every value of the set and clears its dirty flag.
    void upload(UniformSet& set);
    // Undoes what a previous material set: its names go back to this program's defaults, or to
    // zero where there is no default.
    void restoreDefaults(const UniformSet& previous);
    // Puts `texture` on a unit for the sampler `samplerName` and points the sampler at it;
    // returns the unit, or -1 when the program has no such sampler or no unit is free.
    int bindTexture(RenderState& state, Texture& texture, const std::string& samplerName);

    // The location of a uniform name, or -1.
    GLint location(const std::string& name) const;

    // Called by a render state that is destroyed first.
    void detachRenderState() { state = nullptr; }

    // The GL name of the program object, owned by this program for its whole life.
    GLuint id() const { return glId; }

    UniformSet defaults;
    Material* lastMaterial = nullptr;
    std::unordered_map<std::string, GLint> locations;
    std::vector<GLint> samplerUnits;
    // The render state that has made this program current (and so may point at it), or null.
    RenderState* state = nullptr;

private:
    GLuint glId = 0;
};

} // namespace vorn::rendering
