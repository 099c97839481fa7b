#pragma once

#include "rendering/Mesh.hpp"

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <cstdint>
#include <istream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vorn::rendering {

// The 1-based indices of one face vertex; 0 means absent.
struct ObjIndex {
    std::uint32_t position = 0;
    std::uint32_t uv = 0;
    std::uint32_t normal = 0;
};

// What an OBJ file held that the loader could not use. Bad indices still select the zero element
// and NaN coordinates read as 0, so the mesh keeps its shape elsewhere; the loader reports the
// non-zero counts in one line per file.
struct ObjDropped {
    int outOfRangeIndices = 0; // past the end of the array they index
    int negativeIndices = 0;   // relative indices, which are not supported
    int largeIndices = 0;      // above 65535
    int nanCoordinates = 0;    // "v", "vn" or "vt" values that are not a number
    int shortFaces = 0;        // faces with fewer than three corners, dropped whole
    int nonSimpleFaces = 0;    // self-crossing or flat faces of four corners or more, drawn as fans
    int missingLibraries = 0;  // "mtllib" files that do not open (counted by the loader)
    // Faces in "usemtl" sections whose material none of the opened libraries has, and those
    // materials' names in name order (counted by the loader). They load but are not drawn.
    int lackingMaterialFaces = 0;
    std::vector<std::string> lackingMaterials;

    // Whether anything at all was dropped.
    bool any() const;
    // The report line for `path`, ending in a line end ("" when nothing was dropped).
    std::string describe(const std::string& path) const;
};

// An OBJ file as read, before anything goes to GL.
struct ObjData {
    // Each array starts with one all-zero element, so that 1-based indices address it directly
    // and an absent (0) or out-of-range index picks the zero element.
    std::vector<glm::vec3> positions{glm::vec3(0.0f)};
    std::vector<glm::vec3> normals{glm::vec3(0.0f)};
    std::vector<glm::vec2> uvs{glm::vec2(0.0f)};
    // Face vertices by material name, three per triangle (a face of n corners becomes n - 2
    // triangles, see FaceTriangulator); faces before any "usemtl" go to "".
    std::map<std::string, std::vector<ObjIndex>> groups;
    // The number of faces in each group that has any.
    std::map<std::string, int> groupFaces;
    // The "mtllib" lines: the rest of the line, with the OBJ file's directory in front.
    std::vector<std::string> materialLibraries;
    // "p" and "l" lines: points and lines, which are not drawn.
    int pointsAndLines = 0;
    // What was dropped while reading.
    ObjDropped dropped;
};

// The per-vertex arrays of one group, ready for a vertex buffer.
struct ObjVertices {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec3> normals;
    std::vector<glm::vec2> uvs; // v already flipped to 1 - v
};

// A group's vertices, each distinct corner (the same position, texture and normal indices) once,
// and the triangles' corners as indices into them.
struct ObjIndexedVertices {
    ObjVertices vertices;
    std::vector<std::uint32_t> corners;
};

// Reads Wavefront OBJ meshes: "v", "vn", "vt", "f", "usemtl" and "mtllib"; "p" and "l" are
// counted, every other line is ignored. Lines may end in LF, CRLF or CR, and a UTF-8 byte-order
// mark is skipped. A face keeps all its corners, cut into triangles in its own plane once the
// whole file is read (a face may name positions that follow it); each corner is "p", "p/t",
// "p//n" or "p/t/n" with unsigned indices of up to 65535 (larger, negative or unreadable indices
// count as absent). Material and library names run to the end of the line, so they may contain
// blanks; a library line that names no file as a whole is taken as several names.
class ObjLoader {
public:
    // Reads the file's text; `directory` is put in front of material library names.
    static ObjData parse(std::istream& in, const std::string& directory);
    // Expands a group's index triples into vertex arrays. Indices past the end of their array
    // select the zero element.
    static ObjVertices expand(const ObjData& data, const std::vector<ObjIndex>& indices);
    // The same vertices with each distinct corner stored once, in the order of first use;
    // expand()'s i-th vertex is the one at corners[i].
    static ObjIndexedVertices expandIndexed(const ObjData& data,
                                            const std::vector<ObjIndex>& indices);
    // The mesh cache's loader: one part per non-empty group, its material taken from the
    // libraries (null when they lack the group's name); each library is opened once. A file that
    // does not open, or is not text, gives an empty mesh. Whatever the file held that could not
    // be used is reported in one line, and when no part can be drawn the mesh says why.
    static std::shared_ptr<Mesh> load(const std::string& fullPath);
};

} // namespace vorn::rendering
