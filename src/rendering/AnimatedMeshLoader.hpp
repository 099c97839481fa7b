#pragma once

#include "rendering/AnimatedMeshImporter.hpp"
#include "rendering/VertexAttribute.hpp"

#include <functional>
#include <istream>
#include <memory>
#include <string>

namespace vorn::parsing {
class DefinitionReader;
}

namespace vorn::rendering {

class AnimatedMesh;
class SkeletonAnimationData;

// Builds animated meshes: the animated mesh cache's loader, the model import with its buffers
// and materials, and the animation definition file.
//
// Definition file: '{', the model file name (relative to the definition file's folder), '[',
// segment entries, ']', '}'. An entry is a name and '{' startFrame endFrame [loop
// [secondsPerFrame]] '}' (loop defaults to on, seconds per frame to 1.0); a later entry of the
// same name replaces an earlier one. A parse error is reported with the file's path and ends
// the reading; the mesh and the segments read so far are kept.
class AnimatedMeshLoader {
public:
    // Imports a model file for a definition file (the full path of the model).
    using ModelImport = std::function<std::shared_ptr<AnimatedMesh>(const std::string& fullPath)>;

    // The cache's loader: a ".txt" path is an animation definition file, anything else a model
    // file imported directly. Always returns a mesh (empty when loading failed).
    static std::shared_ptr<AnimatedMesh> load(const std::string& fullPath);
    // Imports a model file into buffers and materials; on failure reports "Error parsing ..."
    // and returns an empty mesh (no parts, no bones), which draws nothing.
    static std::shared_ptr<AnimatedMesh> importModel(const std::string& fullPath);
    // Turns an import's data into a mesh: one buffer with the skinned layout per mesh, one
    // material (program "shaders/texturedShaderProgram.txt") per file material.
    static std::shared_ptr<AnimatedMesh> build(const AnimatedMeshImporter::Result& imported);
    // Reads a definition file from `in`; `path` names it in messages and locates the model file.
    static std::shared_ptr<AnimatedMesh> readDefinition(std::istream& in, const std::string& path,
                                                        const ModelImport& import);
    // Reads one segment entry ("name { start end [loop [secondsPerFrame]] }") into `skeleton`.
    static void readSegment(vorn::parsing::DefinitionReader& reader,
                            SkeletonAnimationData& skeleton);

    // The vertex layout of skinned parts: "pos" 3, "UV" 2, "normal" 3, ("tangent" 3,
    // "bitangent" 3,) "index" 4 x GL_INT, "weight" 4 x GL_FLOAT.
    static const VertexLayout& skinnedLayout(bool withTangents);
};

} // namespace vorn::rendering
