#include "rendering/AnimatedMeshImporter.hpp"

#include "engine/Diagnostics.hpp"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <glm/common.hpp>

#include <cmath>
#include <unordered_set>

namespace vorn::rendering {

const unsigned AnimatedMeshImporter::importFlags = aiProcess_Triangulate | aiProcess_FlipUVs;

namespace {

glm::vec3 toVec3(const aiVector3D& v) {
    return glm::vec3(v.x, v.y, v.z);
}

glm::quat toQuat(const aiQuaternion& q) {
    return glm::quat(q.w, q.x, q.y, q.z);
}

glm::vec3 translationOf(const aiMatrix4x4& m) {
    return glm::vec3(m.a4, m.b4, m.c4);
}

// The rotation a node has when nothing animates it.
glm::quat restRotationOf(const aiNode& node) {
    aiVector3D scaling;
    aiQuaternion rotation;
    aiVector3D position;
    node.mTransformation.Decompose(scaling, rotation, position);
    const glm::quat q = toQuat(rotation);
    const float norm = glm::length(glm::vec4(q.x, q.y, q.z, q.w));
    // A degenerate matrix (a zero scale) decomposes into nonsense; show such a bone unrotated.
    if (!(norm > 0.5f && norm < 1.5f))
        return glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
    return q;
}

// Every node of the tree below `root` (itself included) in depth-first pre-order, without
// recursion, so that a pathologically deep file cannot exhaust the stack.
template <class Visit> void visitPreOrder(const aiNode* root, Visit visit) {
    std::vector<const aiNode*> pending{root};
    while (!pending.empty()) {
        const aiNode* node = pending.back();
        pending.pop_back();
        if (!node || !visit(*node))
            continue; // a node the visitor rejects is skipped with its subtree
        for (unsigned i = node->mNumChildren; i-- > 0;)
            pending.push_back(node->mChildren ? node->mChildren[i] : nullptr);
    }
}

std::unordered_set<std::string> boneNamesOf(const aiScene& scene) {
    std::unordered_set<std::string> names;
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        const aiMesh* mesh = scene.mMeshes ? scene.mMeshes[m] : nullptr;
        if (!mesh || !mesh->mBones)
            continue;
        for (unsigned b = 0; b < mesh->mNumBones; ++b)
            if (mesh->mBones[b])
                names.insert(mesh->mBones[b]->mName.C_Str());
    }
    return names;
}

bool readColor(const aiMaterial& material, const char* key, unsigned type, unsigned index,
               glm::vec3& out) {
    aiColor4D colour;
    if (aiGetMaterialColor(&material, key, type, index, &colour) != AI_SUCCESS)
        return false;
    out = glm::vec3(colour.r, colour.g, colour.b);
    return true;
}

} // namespace

AnimatedMeshImporter::Result AnimatedMeshImporter::readFile(const std::string& path) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, importFlags);
    if (!scene || !scene->mRootNode) {
        vorn::engine::Diagnostics::out()
            << "Error parsing " << path << ": " << importer.GetErrorString() << std::endl;
        return Result();
    }
    const std::size_t slash = path.find_last_of("/\\");
    return convert(*scene, slash == std::string::npos ? std::string() : path.substr(0, slash + 1));
}

AnimatedMeshImporter::Result AnimatedMeshImporter::convert(const aiScene& scene,
                                                           const std::string& directory) {
    Result result;
    result.ok = true;
    buildSkeleton(scene, *result.skeleton);
    readClips(scene, *result.skeleton);
    for (unsigned i = 0; i < scene.mNumMaterials; ++i) {
        const aiMaterial* material = scene.mMaterials ? scene.mMaterials[i] : nullptr;
        result.materials.push_back(material ? convertMaterial(*material, directory)
                                            : MaterialData());
    }
    for (unsigned i = 0; i < scene.mNumMeshes; ++i) {
        const aiMesh* mesh = scene.mMeshes ? scene.mMeshes[i] : nullptr;
        if (!mesh)
            continue;
        MeshData data = convertMesh(*mesh, result.skeleton->boneIndex);
        if (data.positions.empty())
            continue;
        for (const glm::vec3& p : data.positions) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
                continue;
            result.boundsMin = result.hasBounds ? glm::min(result.boundsMin, p) : p;
            result.boundsMax = result.hasBounds ? glm::max(result.boundsMax, p) : p;
            result.hasBounds = true;
        }
        result.meshes.push_back(std::move(data));
    }
    return result;
}

void AnimatedMeshImporter::buildSkeleton(const aiScene& scene, SkeletonAnimationData& skeleton) {
    skeleton.bones.clear();
    skeleton.boneIndex.clear();
    skeleton.rootMatrix = glm::mat4(1.0f);
    const std::unordered_set<std::string> boneNames = boneNamesOf(scene);
    if (boneNames.empty() || !scene.mRootNode)
        return;

    // The skeleton root: the topmost ancestor (below the scene's root node) of the first bone
    // node met in the tree.
    const aiNode* firstBone = nullptr;
    visitPreOrder(scene.mRootNode, [&](const aiNode& node) {
        if (!firstBone && boneNames.count(node.mName.C_Str()))
            firstBone = &node;
        return !firstBone;
    });
    if (!firstBone)
        return;
    const aiNode* root = firstBone;
    while (root->mParent && root->mParent != scene.mRootNode)
        root = root->mParent;

    const aiMatrix4x4& rootTransform = root->mTransformation;
    const glm::vec3 scale(rootTransform.a1, rootTransform.b2, rootTransform.c3);
    skeleton.rootMatrix[0][0] = scale.x;
    skeleton.rootMatrix[1][1] = scale.y;
    skeleton.rootMatrix[2][2] = scale.z;

    // Pre-order from the root. The root always becomes bone 0 (it anchors the skeleton even when
    // it is a plain grouping node); below it, a node that is no mesh's bone is skipped together
    // with its subtree.
    std::unordered_map<const aiNode*, int> indexOfNode;
    visitPreOrder(root, [&](const aiNode& node) {
        const std::string name = node.mName.C_Str();
        if (&node != root && !boneNames.count(name))
            return false;
        Bone bone;
        bone.name = name;
        bone.offset = translationOf(node.mTransformation);
        if (&node == root) {
            bone.parent = -1;
            // Divide out the root's scale, guarding against a zero entry.
            for (int axis = 0; axis < 3; ++axis)
                bone.bindPosition[axis] =
                    scale[axis] != 0.0f ? bone.offset[axis] / scale[axis] : bone.offset[axis];
        } else {
            // Only accepted nodes are descended into, so the parent is always a bone already.
            const auto parent = indexOfNode.find(node.mParent);
            bone.parent = parent == indexOfNode.end() ? 0 : parent->second;
            bone.bindPosition =
                skeleton.bones[static_cast<std::size_t>(bone.parent)].bindPosition + bone.offset;
        }
        indexOfNode[&node] = static_cast<int>(skeleton.bones.size());
        skeleton.boneIndex.emplace(name, static_cast<int>(skeleton.bones.size()));
        skeleton.bones.push_back(std::move(bone));
        return true;
    });
}

void AnimatedMeshImporter::readClips(const aiScene& scene, SkeletonAnimationData& skeleton) {
    // Bones that no channel moves keep the rotation of their node.
    std::vector<glm::quat> rest(skeleton.bones.size(), glm::quat(1.0f, 0.0f, 0.0f, 0.0f));
    if (scene.mRootNode)
        for (std::size_t i = 0; i < skeleton.bones.size(); ++i)
            if (const aiNode* node = scene.mRootNode->FindNode(skeleton.bones[i].name.c_str()))
                rest[i] = restRotationOf(*node);

    for (unsigned a = 0; a < scene.mNumAnimations; ++a) {
        const aiAnimation* animation = scene.mAnimations ? scene.mAnimations[a] : nullptr;
        if (!animation)
            continue;
        const bool hasChannels = animation->mChannels && animation->mNumChannels > 0 &&
                                 animation->mChannels[0] && animation->mChannels[0]->mRotationKeys;
        const unsigned count = hasChannels ? animation->mChannels[0]->mNumRotationKeys : 0;
        std::vector<Keyframe> keyframes(count);
        for (Keyframe& key : keyframes)
            key.rotations = rest;
        for (unsigned c = 0; hasChannels && c < animation->mNumChannels; ++c) {
            const aiNodeAnim* channel = animation->mChannels[c];
            if (!channel)
                continue;
            const auto bone = skeleton.boneIndex.find(channel->mNodeName.C_Str());
            if (bone == skeleton.boneIndex.end())
                continue;
            const std::size_t b = static_cast<std::size_t>(bone->second);
            // Keys past the clip's keyframe count have no keyframe to go to and are ignored.
            const unsigned rotations = channel->mRotationKeys ? channel->mNumRotationKeys : 0;
            for (unsigned k = 0; k < rotations && k < count; ++k)
                keyframes[k].rotations[b] = toQuat(channel->mRotationKeys[k].mValue);
            if (b == 0 && channel->mPositionKeys) {
                for (unsigned k = 0; k < channel->mNumPositionKeys && k < count; ++k)
                    keyframes[k].rootPosition = toVec3(channel->mPositionKeys[k].mValue);
            }
        }
        skeleton.addClip(animation->mName.C_Str(), std::move(keyframes));
    }
    skeleton.addSegment("default", 0, static_cast<int>(skeleton.firstClip().size()), true, 1.0f);
}

void AnimatedMeshImporter::assignBoneWeights(const aiMesh& mesh,
                                             const std::unordered_map<std::string, int>& boneIndex,
                                             std::vector<glm::ivec4>& indices,
                                             std::vector<glm::vec4>& weights) {
    indices.assign(mesh.mNumVertices, glm::ivec4(0));
    weights.assign(mesh.mNumVertices, glm::vec4(0.0f));
    if (!mesh.mBones)
        return;
    for (unsigned b = 0; b < mesh.mNumBones; ++b) {
        const aiBone* bone = mesh.mBones[b];
        if (!bone || !bone->mWeights)
            continue;
        // A bone the skeleton does not know cannot move anything: its influences are dropped
        // rather than pinned to some other bone.
        const auto found = boneIndex.find(bone->mName.C_Str());
        if (found == boneIndex.end())
            continue;
        for (unsigned w = 0; w < bone->mNumWeights; ++w) {
            const aiVertexWeight& pair = bone->mWeights[w];
            if (pair.mVertexId >= mesh.mNumVertices || !(pair.mWeight != 0.0f))
                continue;
            glm::vec4& slotWeights = weights[pair.mVertexId];
            for (int slot = 0; slot < influencesPerVertex; ++slot) {
                if (slotWeights[slot] == 0.0f) {
                    slotWeights[slot] = pair.mWeight;
                    indices[pair.mVertexId][slot] = found->second;
                    break;
                }
            }
        }
    }
}

AnimatedMeshImporter::MeshData
AnimatedMeshImporter::convertMesh(const aiMesh& mesh,
                                  const std::unordered_map<std::string, int>& boneIndex) {
    MeshData data;
    data.materialIndex = mesh.mMaterialIndex;
    data.skinned = mesh.mNumBones > 0 && mesh.mBones;
    data.hasTangents = mesh.mTangents && mesh.mBitangents;
    if (!mesh.mVertices || !mesh.mFaces)
        return data;
    std::vector<glm::ivec4> slotIndices;
    std::vector<glm::vec4> slotWeights;
    assignBoneWeights(mesh, boneIndex, slotIndices, slotWeights);

    const aiVector3D* uvs = mesh.mTextureCoords[0];
    std::size_t triangles = 0;
    for (unsigned f = 0; f < mesh.mNumFaces; ++f)
        triangles += mesh.mFaces[f].mNumIndices == 3 ? 1 : 0;
    const std::size_t reserve = triangles * 3;
    data.positions.reserve(reserve);
    data.uvs.reserve(reserve);
    data.normals.reserve(reserve);
    data.boneIndices.reserve(reserve);
    data.boneWeights.reserve(reserve);
    if (data.hasTangents) {
        data.tangents.reserve(reserve);
        data.bitangents.reserve(reserve);
    }
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        // Points and lines (left over after triangulation) are not drawn; a face pointing past
        // the vertex arrays is dropped rather than read out of bounds.
        if (face.mNumIndices != 3 || !face.mIndices)
            continue;
        if (face.mIndices[0] >= mesh.mNumVertices || face.mIndices[1] >= mesh.mNumVertices ||
            face.mIndices[2] >= mesh.mNumVertices)
            continue;
        for (int corner = 0; corner < 3; ++corner) {
            const unsigned v = face.mIndices[corner];
            data.positions.push_back(toVec3(mesh.mVertices[v]));
            data.uvs.push_back(uvs ? glm::vec2(uvs[v].x, uvs[v].y) : glm::vec2(0.0f));
            data.normals.push_back(mesh.mNormals ? toVec3(mesh.mNormals[v]) : glm::vec3(0.0f));
            if (data.hasTangents) {
                data.tangents.push_back(toVec3(mesh.mTangents[v]));
                data.bitangents.push_back(toVec3(mesh.mBitangents[v]));
            }
            data.boneIndices.push_back(slotIndices[v]);
            data.boneWeights.push_back(slotWeights[v]);
        }
    }
    return data;
}

AnimatedMeshImporter::MaterialData
AnimatedMeshImporter::convertMaterial(const aiMaterial& material, const std::string& directory) {
    MaterialData data;
    glm::vec3 colour;
    if (readColor(material, AI_MATKEY_COLOR_AMBIENT, colour))
        data.uniforms.emplace_back("mat_ambient", colour);
    // Without a diffuse colour the lit shaders would draw black; white lets the texture show,
    // as the MTL loader does for its materials.
    if (!readColor(material, AI_MATKEY_COLOR_DIFFUSE, colour))
        colour = glm::vec3(1.0f);
    data.uniforms.emplace_back("mat_diffuse", colour);
    if (readColor(material, AI_MATKEY_COLOR_EMISSIVE, colour))
        data.uniforms.emplace_back("mat_emissive", colour);
    if (readColor(material, AI_MATKEY_COLOR_SPECULAR, colour))
        data.uniforms.emplace_back("mat_specular", colour);
    ai_real shininess = 0;
    unsigned int count = 1;
    if (aiGetMaterialFloatArray(&material, AI_MATKEY_SHININESS, &shininess, &count) == AI_SUCCESS &&
        count == 1)
        data.uniforms.emplace_back("mat_shininess", static_cast<float>(shininess));

    if (aiGetMaterialTextureCount(&material, aiTextureType_DIFFUSE) > 0) {
        aiString path;
        if (aiGetMaterialTexture(&material, aiTextureType_DIFFUSE, 0, &path) == AI_SUCCESS &&
            path.length > 0) {
            const std::string file = path.C_Str();
            // "*n" names a texture embedded in the model file, which the texture cache cannot
            // load by name.
            if (file[0] == '*')
                vorn::engine::Diagnostics::err()
                    << "Embedded texture " << file << " is not supported; material drawn "
                    << "without its diffuse texture\n";
            else
                data.diffuseTexture = directory + file;
        }
    }
    data.uniforms.emplace_back("usingDiffuseTex", data.diffuseTexture.empty() ? 0 : 1);
    return data;
}

} // namespace vorn::rendering
