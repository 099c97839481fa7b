#include "rendering/ShaderProgram.hpp"

#include "engine/AssetRoot.hpp"
#include "engine/Diagnostics.hpp"
#include "parsing/DefinitionReader.hpp"
#include "parsing/ParseError.hpp"
#include "rendering/FilePaths.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/ShaderIncludes.hpp"
#include "rendering/Texture.hpp"

#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <fstream>

namespace vorn::rendering {

ShaderProgram::ShaderProgram() : glId(glCreateProgram()) {
    GLint units = 0;
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units);
    samplerUnits.assign(static_cast<std::size_t>(std::max(units, 1)), -1);
}

ShaderProgram::~ShaderProgram() {
    if (state)
        state->forgetProgram(this);
    glDeleteProgram(glId);
}

GLenum ShaderProgram::stageType(const std::string& type) {
    if (type == "vertex")
        return GL_VERTEX_SHADER;
    if (type == "fragment")
        return GL_FRAGMENT_SHADER;
    if (type == "geometry")
        return GL_GEOMETRY_SHADER;
    if (type == "tess control")
        return GL_TESS_CONTROL_SHADER;
    if (type == "tess evaluation")
        return GL_TESS_EVALUATION_SHADER;
    return 0;
}

// File grammar: '[' then stage entries then ']'. An entry is '{', key/value pairs read as strings
// ("type", "key", "data"; other keys are read and ignored), then '}'.
std::vector<ShaderProgram::StageEntry> ShaderProgram::readDefinition(std::istream& in,
                                                                     std::string& error) {
    std::vector<StageEntry> entries;
    error.clear();
    vorn::parsing::DefinitionReader reader(in);
    try {
        reader.expect('[');
        while (true) {
            reader.skipWhitespace();
            if (reader.peek() == ']') {
                reader.get();
                break;
            }
            reader.expect('{');
            StageEntry entry;
            std::string key;
            while (reader.nextEntry('}', key)) {
                const std::string value = reader.readString();
                if (key == "type")
                    entry.type = value;
                else if (key == "key")
                    entry.key = value;
                else if (key == "data")
                    entry.data = value;
            }
            entries.push_back(std::move(entry));
        }
    } catch (const vorn::parsing::ParseError& e) {
        error = e.what();
    }
    return entries;
}

std::shared_ptr<ShaderProgram> ShaderProgram::load(const std::string& fullPath) {
    auto program = std::make_shared<ShaderProgram>();
    std::string error;
    std::vector<StageEntry> entries;
    {
        std::ifstream file(fullPath);
        entries = readDefinition(file, error);
    }
    const std::string root = vorn::engine::assetRoot();
    const std::string definitionDirectory = directoryOf(fullPath);
    for (const StageEntry& entry : entries) {
        const GLenum type = stageType(entry.type);
        if (type == 0)
            continue;
        if (!entry.key.empty()) {
            std::string name = root + entry.key;
            std::string text;
            if (!readTextLines(name, text)) {
                name = definitionDirectory + entry.key;
                readTextLines(name, text);
            }
            const GLuint shader = glCreateShader(type);
            program->compileStage(shader, text, entry.data, name);
            glAttachShader(program->id(), shader);
            glDeleteShader(shader); // lives on while attached
        } else if (!entry.data.empty()) {
            const GLuint shader = glCreateShader(type);
            program->compileStage(shader, entry.data, "", "");
            glAttachShader(program->id(), shader);
            glDeleteShader(shader);
        }
    }
    if (!error.empty())
        vorn::engine::Diagnostics::err() << fullPath << ": " << error << "\n";
    program->link(fullPath);
    return program;
}

namespace {

// GLSL wants "#version" on the first line, so a source that starts with one (a stage written
// whole in "data") keeps it there, ahead of the preamble and of the "#line" directive that makes
// the source's own lines count from 1.
std::string fullStageText(const std::string& source, const std::string& preamble) {
    std::size_t start = 0;
    while (start < source.size() && (source[start] == ' ' || source[start] == '\t'))
        ++start;
    if (source.compare(start, 8, "#version") != 0)
        return preamble + "\n#line 1\n" + source;
    const std::size_t lineEnd = source.find('\n');
    if (lineEnd == std::string::npos)
        return source + "\n" + preamble + "\n";
    return source.substr(0, lineEnd + 1) + preamble + "\n#line 2\n" + source.substr(lineEnd + 1);
}

} // namespace

void ShaderProgram::compileStage(GLuint shader, const std::string& source,
                                 const std::string& preamble, const std::string& name) {
    std::string text = fullStageText(source, preamble);
    const int includes = expandIncludes(text, directoryOf(name), 0);
    const GLchar* string = text.c_str();
    const GLint length = static_cast<GLint>(text.size());
    glShaderSource(shader, 1, &string, &length);
    glCompileShader(shader);

    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled)
        return;
    GLint logLength = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &logLength);
    std::string log(static_cast<std::size_t>(std::max(logLength, 1)), '\0');
    GLsizei written = 0;
    glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), &written, log.data());
    log.resize(static_cast<std::size_t>(std::max(written, 0)));
    vorn::engine::Diagnostics::err()
        << "Errors compiling \"" << (name.empty() ? "Shader" : name) << "\":\n";
    if (includes > 0)
        vorn::engine::Diagnostics::err()
            << "Note: if the line number is 5 digits long, the first digit refers to which\n"
               "included file the error occured in.\n";
    vorn::engine::Diagnostics::err() << log << "\n";
}

void ShaderProgram::link(const std::string& label) {
    glLinkProgram(glId);
    GLint linked = GL_FALSE;
    glGetProgramiv(glId, GL_LINK_STATUS, &linked);
    if (!linked) {
        GLint logLength = 0;
        glGetProgramiv(glId, GL_INFO_LOG_LENGTH, &logLength);
        std::string log(static_cast<std::size_t>(std::max(logLength, 1)), '\0');
        GLsizei written = 0;
        glGetProgramInfoLog(glId, static_cast<GLsizei>(log.size()), &written, log.data());
        log.resize(static_cast<std::size_t>(std::max(written, 0)));
        vorn::engine::Diagnostics::err() << "Errors linking \"" << label << "\":\n" << log << "\n";
    }

    // Every active uniform by its reported name; arrays also by each element's name, so that
    // "bones[2]" or "lights[1]" can be set one at a time.
    GLint count = 0;
    GLint maxLength = 0;
    glGetProgramiv(glId, GL_ACTIVE_UNIFORMS, &count);
    glGetProgramiv(glId, GL_ACTIVE_UNIFORM_MAX_LENGTH, &maxLength);
    std::vector<GLchar> buffer(static_cast<std::size_t>(std::max(maxLength, 1)) + 1);
    for (GLint index = 0; index < count; ++index) {
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(glId, static_cast<GLuint>(index), static_cast<GLsizei>(buffer.size()),
                           &length, &size, &type, buffer.data());
        const std::string name(buffer.data(), static_cast<std::size_t>(std::max(length, 0)));
        locations[name] = glGetUniformLocation(glId, name.c_str());
        if (size > 1) {
            const bool suffixed = name.size() >= 3 && name.compare(name.size() - 3, 3, "[0]") == 0;
            const std::string base = suffixed ? name.substr(0, name.size() - 3) : name;
            for (GLint i = 0; i < size; ++i) {
                const std::string element = base + "[" + std::to_string(i) + "]";
                locations[element] = glGetUniformLocation(glId, element.c_str());
            }
        }
    }
}

GLint ShaderProgram::location(const std::string& name) const {
    const auto found = locations.find(name);
    return found == locations.end() ? -1 : found->second;
}

namespace {

// The upload call of each uniform type, count 1, matrices not transposed.
struct UniformUploader {
    GLint loc;
    void operator()(float v) const { glUniform1f(loc, v); }
    void operator()(int v) const { glUniform1i(loc, v); }
    void operator()(unsigned v) const { glUniform1ui(loc, v); }
    void operator()(const glm::vec2& v) const { glUniform2fv(loc, 1, glm::value_ptr(v)); }
    void operator()(const glm::ivec2& v) const { glUniform2iv(loc, 1, glm::value_ptr(v)); }
    void operator()(const glm::uvec2& v) const { glUniform2uiv(loc, 1, glm::value_ptr(v)); }
    void operator()(const glm::vec3& v) const { glUniform3fv(loc, 1, glm::value_ptr(v)); }
    void operator()(const glm::ivec3& v) const { glUniform3iv(loc, 1, glm::value_ptr(v)); }
    void operator()(const glm::uvec3& v) const { glUniform3uiv(loc, 1, glm::value_ptr(v)); }
    void operator()(const glm::vec4& v) const { glUniform4fv(loc, 1, glm::value_ptr(v)); }
    void operator()(const glm::ivec4& v) const { glUniform4iv(loc, 1, glm::value_ptr(v)); }
    void operator()(const glm::uvec4& v) const { glUniform4uiv(loc, 1, glm::value_ptr(v)); }
    void operator()(const glm::mat2& v) const {
        glUniformMatrix2fv(loc, 1, GL_FALSE, glm::value_ptr(v));
    }
    void operator()(const glm::mat3& v) const {
        glUniformMatrix3fv(loc, 1, GL_FALSE, glm::value_ptr(v));
    }
    void operator()(const glm::mat4& v) const {
        glUniformMatrix4fv(loc, 1, GL_FALSE, glm::value_ptr(v));
    }
};

} // namespace

GLint ShaderProgram::setUniform(const std::string& name, const UniformValue& value) {
    const GLint loc = location(name);
    if (loc == -1)
        return -1;
    value.visit(UniformUploader{loc});
    return loc;
}

void ShaderProgram::upload(UniformSet& set) {
    for (const auto& [name, value] : set.values)
        setUniform(name, value);
    set.dirty = false;
}

void ShaderProgram::restoreDefaults(const UniformSet& previous) {
    for (const auto& [name, value] : previous.values) {
        const UniformValue* fallback = defaults.find(name);
        if (fallback && location(name) != -1)
            setUniform(name, *fallback);
        else
            setUniform(name, value.zero());
    }
}

// Unit rules: a texture already on a unit (1 and up) stays there; otherwise it takes the lowest
// empty unit from 1 up; when every unit is taken it replaces a unit no sampler of this program
// uses (or the one this sampler used). Unit 0 is left to texture creation and upload.
int ShaderProgram::bindTexture(RenderState& state, Texture& texture,
                               const std::string& samplerName) {
    const GLint loc = location(samplerName);
    if (loc == -1)
        return -1;
    const int units = static_cast<int>(std::min(state.boundTextures.size(), samplerUnits.size()));
    int unit = -1;
    for (int u = 1; u < units && unit < 0; ++u)
        if (state.boundTextures[static_cast<std::size_t>(u)] == &texture)
            unit = u;
    if (unit < 0) {
        for (int u = 1; u < units && unit < 0; ++u)
            if (state.boundTextures[static_cast<std::size_t>(u)] == nullptr)
                unit = u;
        for (int u = 0; u < units && unit < 0; ++u) {
            const GLint holder = samplerUnits[static_cast<std::size_t>(u)];
            if (holder == -1 || holder == loc)
                unit = u;
        }
        if (unit < 0)
            return -1;
        texture.bindToUnit(state, unit);
    }
    GLint& slot = samplerUnits[static_cast<std::size_t>(unit)];
    if (slot == loc)
        return unit;
    glUniform1iv(loc, 1, &unit);
    std::replace(samplerUnits.begin(), samplerUnits.end(), loc, -1);
    slot = loc;
    return unit;
}

} // namespace vorn::rendering
