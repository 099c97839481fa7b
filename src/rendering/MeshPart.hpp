#pragma once

#include <GL/glew.h>

#include <memory>

namespace vorn::rendering {

class Material;
class ShaderProgram;
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
    MeshPart(const MeshPart& other);
    MeshPart(MeshPart&& other) noexcept;
    MeshPart& operator=(const MeshPart& other);
    MeshPart& operator=(MeshPart&& other) noexcept;
    ~MeshPart();

    // Whether the part has everything a draw needs: a material with a program, and a buffer.
    bool drawable() const;
    // Draws the buffer as triangles with the material's program (which must be current); a part
    // that is not drawable() draws nothing.
    void draw();

    GLuint vao = 0;
    bool attributesDirty = true;
    std::shared_ptr<Material> material;
    std::shared_ptr<VertexBuffer> vertexBuffer;

private:
    // What the vertex array's bindings were built for.
    const ShaderProgram* boundProgram = nullptr;
    const VertexBuffer* boundBuffer = nullptr;
};

} // namespace vorn::rendering
