#pragma once

#include "rendering/VertexArray.hpp"

#include <GL/glew.h>

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <memory>
#include <string>
#include <vector>

namespace vorn::rendering {

class Material;
class RenderState;
class ShaderProgram;
class Texture;
class UniformSet;
class VertexBuffer;

// One vertex buffer drawn with one material through the part's own vertex array object. Copies
// get a vertex array of their own and share the material and the buffer.
//
// The vertex array records the attribute bindings for one program and one buffer; they are rebuilt
// on the next draw whenever `attributesDirty` is set, and also when the material's program or the
// buffer is found to differ from the ones they were built for.
class MeshPart {
public:
    // An empty part (draws nothing until it has a material with a program and a buffer).
    MeshPart();
    // A part drawing `buffer` with `material`.
    MeshPart(std::shared_ptr<Material> material, std::shared_ptr<VertexBuffer> buffer);
    // A part with a vertex array of its own, sharing the other's material and buffer.
    MeshPart(const MeshPart& other);
    MeshPart(MeshPart&& other) noexcept = default;
    // Takes the other's material and buffer; keeps its own vertex array and rebuilds it.
    MeshPart& operator=(const MeshPart& other);
    MeshPart& operator=(MeshPart&& other) noexcept = default;
    ~MeshPart() = default;

    // Whether the part has everything a draw needs: a material with a program, and a buffer.
    bool drawable() const;
    // Draws the buffer as triangles with the material's program (which must be current); a part
    // that is not drawable() draws nothing.
    void draw();
    // Applies the material (program, per-draw values, textures, its own values) and sets the
    // model matrices "MVP", "MV", "M" and "V" for `model` under the state's camera; returns the
    // program, now current. Only for drawable() parts.
    ShaderProgram& applyMaterial(RenderState& state, UniformSet& perDraw, const glm::mat4& model);

    // Gives every part that has a material `program`, copying first each material that is shared
    // with another holder, so that other drawables of the same mesh keep theirs.
    static void setShaderProgram(std::vector<MeshPart>& parts,
                                 const std::shared_ptr<ShaderProgram>& program);
    // Sets `texture` under `samplerName` on every part's material, with the same copy-on-write.
    static void setTexture(std::vector<MeshPart>& parts, const std::string& samplerName,
                           const std::shared_ptr<Texture>& texture);

    // Multiplies the diffuse colour ("mat_diffuse") of every part's material by `factor`, with the
    // same copy-on-write; a material without one gets `factor` itself.
    static void tint(std::vector<MeshPart>& parts, const glm::vec3& factor);

    // The GL name of the part's vertex array (0 for a part that was moved away).
    GLuint vertexArrayId() const { return vertexArray.id(); }

    bool attributesDirty = true;
    std::shared_ptr<Material> material;
    std::shared_ptr<VertexBuffer> vertexBuffer;

private:
    VertexArray vertexArray;
    // What the vertex array's bindings were built for.
    const ShaderProgram* boundProgram = nullptr;
    const VertexBuffer* boundBuffer = nullptr;
};

} // namespace vorn::rendering
