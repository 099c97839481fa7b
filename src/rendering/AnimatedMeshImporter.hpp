#pragma once

#include "rendering/SkeletonAnimationData.hpp"
#include "rendering/UniformValue.hpp"

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

struct aiMaterial;
struct aiMesh;
struct aiScene;

namespace vorn::rendering {

// Reads a skinned, animated model file through Assimp into plain data: the skeleton with its
// clips, one triangle list per mesh with four bone influences per vertex, and the materials'
// values. Nothing here touches OpenGL; AnimatedMeshLoader turns the result into buffers and
// materials.
//
// Bone order: the skeleton root first, then its descendants in depth-first pre-order, so every
// parent precedes its children and a pose is computed in one forward pass.
class AnimatedMeshImporter {
public:
    // The Assimp post-processing of an animated import.
    static const unsigned importFlags;
    // Number of bone influences a vertex keeps.
    static constexpr int influencesPerVertex = 4;

    // One mesh of the file as a flat triangle list (three vertices per triangle, no indices).
    struct MeshData {
        std::vector<glm::vec3> positions;
        std::vector<glm::vec2> uvs;
        std::vector<glm::vec3> normals;
        std::vector<glm::vec3> tangents;
        std::vector<glm::vec3> bitangents;
        std::vector<glm::ivec4> boneIndices;
        std::vector<glm::vec4> boneWeights;
        // Whether the file gave both tangents and bitangents (the arrays are empty otherwise).
        bool hasTangents = false;
        // Whether the mesh has bones of its own (the influence arrays are zero otherwise).
        bool skinned = false;
        unsigned materialIndex = 0;
    };

    // One material of the file: the uniform values it gives and its first diffuse texture.
    struct MaterialData {
        std::vector<std::pair<std::string, UniformValue>> uniforms;
        // Path of the diffuse texture (the model's directory prepended), or "".
        std::string diffuseTexture;
    };

    // Everything an import produced. `ok` is false when the file could not be read; the rest is
    // then empty.
    struct Result {
        bool ok = false;
        std::shared_ptr<SkeletonAnimationData> skeleton = std::make_shared<SkeletonAnimationData>();
        std::vector<MeshData> meshes;
        std::vector<MaterialData> materials;
        glm::vec3 boundsMin{0.0f};
        glm::vec3 boundsMax{0.0f};
        bool hasBounds = false;
    };

    // Imports `path` with importFlags. On failure writes "Error parsing <path>: <reason>" to the
    // standard output and returns an empty result.
    static Result readFile(const std::string& path);
    // Converts an imported scene; texture paths are made relative to `directory`.
    static Result convert(const aiScene& scene, const std::string& directory);

    // Fills bones, boneIndex and rootMatrix from the scene's node tree and the meshes' bones.
    static void buildSkeleton(const aiScene& scene, SkeletonAnimationData& skeleton);
    // Adds one clip per animation of the scene (keyframes from the rotation keys of its first
    // channel) and the looping "default" segment over the first clip.
    static void readClips(const aiScene& scene, SkeletonAnimationData& skeleton);
    // The four influence slots of every vertex of `mesh` (indexed like its vertices): each
    // (vertex, weight) pair of each bone, in bone order, takes the vertex's first free slot;
    // influences past the fourth, and those of bones the skeleton lacks, are dropped.
    static void assignBoneWeights(const aiMesh& mesh,
                                  const std::unordered_map<std::string, int>& boneIndex,
                                  std::vector<glm::ivec4>& indices,
                                  std::vector<glm::vec4>& weights);
    // One mesh as a triangle list with its influences.
    static MeshData convertMesh(const aiMesh& mesh,
                                const std::unordered_map<std::string, int>& boneIndex);
    // One material's colours, shininess and diffuse texture.
    static MaterialData convertMaterial(const aiMaterial& material, const std::string& directory);
};

} // namespace vorn::rendering
