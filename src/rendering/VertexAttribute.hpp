#pragma once

#include <GL/glew.h>

#include <string>
#include <vector>

namespace vorn::rendering {

// One attribute of a vertex layout: `components` (1 to 4) values of `type` per vertex, bound to
// the GLSL input called `name`.
struct VertexAttribute {
    int components = 3;
    GLenum type = GL_FLOAT;
    std::string name;
};

using VertexLayout = std::vector<VertexAttribute>;

// The fixed layouts of the engine, built once on first use; every attribute is GL_FLOAT.
struct VertexLayouts {
    // "pos" 3, "UV" 2: particle quads, full-screen passes, text.
    static const VertexLayout& quad();
    // "pos" 3, "size" 1, "color" 4: particle points.
    static const VertexLayout& particlePoint();
    // "pos" 3, "normal" 3, "UV" 2: sprites and OBJ meshes.
    static const VertexLayout& lit();
};

} // namespace vorn::rendering
