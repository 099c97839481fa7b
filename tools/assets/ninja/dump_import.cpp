// Imports a skinned model exactly the way the game does (Assimp, aiProcess_Triangulate |
// aiProcess_FlipUVs) and writes what the game would keep as JSON: the bones (pre-order, parent,
// offset, bind position), the root scale matrix, the keyframes of the first animation, the mesh
// vertex arrays with the four weight slots filled in bone order, and the materials.
// It also reports raw facts the game ignores but the asset must get right (key counts and times of
// every channel, position keys of non-root bones, influences per vertex before the slot limit).
//
// Build: g++ -std=c++17 -O2 dump_import.cpp -lassimp -o dump_import
// Usage: dump_import MODEL OUT.json

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <nlohmann/json.hpp>

#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

using nlohmann::json;

namespace {

json vec3(const aiVector3D& v) {
    return json::array({v.x, v.y, v.z});
}

json color(const aiMaterial* mat, const char* key, unsigned type, unsigned index) {
    aiColor4D c;
    if (aiGetMaterialColor(mat, key, type, index, &c) != AI_SUCCESS)
        return nullptr;
    return json::array({c.r, c.g, c.b});
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: dump_import MODEL OUT.json\n";
        return 2;
    }
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(argv[1], aiProcess_Triangulate | aiProcess_FlipUVs);
    if (!scene || !scene->mRootNode) {
        std::cerr << "Error parsing " << argv[1] << ": " << importer.GetErrorString() << "\n";
        return 1;
    }
    json out;

    // Bone names of all meshes.
    std::set<std::string> boneNames;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m)
        for (unsigned b = 0; b < scene->mMeshes[m]->mNumBones; ++b)
            boneNames.insert(scene->mMeshes[m]->mBones[b]->mName.C_Str());

    // Skeleton root: the topmost ancestor, below the scene's root node, of the bone nodes.
    const aiNode* skelRoot = nullptr;
    for (const auto& name : boneNames) {
        const aiNode* n = scene->mRootNode->FindNode(name.c_str());
        if (!n)
            continue;
        while (n->mParent && n->mParent != scene->mRootNode)
            n = n->mParent;
        if (!skelRoot)
            skelRoot = n;
        else if (skelRoot != n)
            out["warnings"].push_back("bones under several top-level nodes");
    }

    std::map<std::string, int> boneIndex;
    json bones = json::array();
    std::vector<aiVector3D> bind;
    if (skelRoot) {
        const aiMatrix4x4& t = skelRoot->mTransformation;
        out["rootMatrixDiagonal"] = json::array({t.a1, t.b2, t.c3});
        std::function<void(const aiNode*, int)> visit = [&](const aiNode* n, int parent) {
            if (!boneNames.count(n->mName.C_Str()))
                return; // skipped with its subtree
            const aiMatrix4x4& m = n->mTransformation;
            aiVector3D offset(m.a4, m.b4, m.c4);
            aiVector3D bp;
            if (parent < 0) {
                bp = aiVector3D(offset.x / m.a1, offset.y / m.b2, offset.z / m.c3);
            } else {
                bp = bind[parent] + offset;
            }
            const int index = static_cast<int>(bind.size());
            bind.push_back(bp);
            boneIndex[n->mName.C_Str()] = index;
            // Rest rotation and scale must be identity for the game's pose to match the bind pose.
            aiVector3D scaling, position;
            aiQuaternion rotation;
            m.Decompose(scaling, rotation, position);
            bones.push_back({{"name", n->mName.C_Str()},
                             {"parent", parent},
                             {"offset", vec3(offset)},
                             {"bindPosition", vec3(bp)},
                             {"restRotation", {rotation.x, rotation.y, rotation.z, rotation.w}},
                             {"restScale", vec3(scaling)}});
            for (unsigned c = 0; c < n->mNumChildren; ++c)
                visit(n->mChildren[c], index);
        };
        visit(skelRoot, -1);
        out["skeletonRoot"] = skelRoot->mName.C_Str();
    }
    out["bones"] = bones;

    // Materials.
    json mats = json::array();
    for (unsigned i = 0; i < scene->mNumMaterials; ++i) {
        const aiMaterial* mat = scene->mMaterials[i];
        json jm;
        jm["ambient"] = color(mat, AI_MATKEY_COLOR_AMBIENT);
        jm["diffuse"] = color(mat, AI_MATKEY_COLOR_DIFFUSE);
        jm["specular"] = color(mat, AI_MATKEY_COLOR_SPECULAR);
        jm["emissive"] = color(mat, AI_MATKEY_COLOR_EMISSIVE);
        float shininess = 0;
        unsigned count = 1;
        if (aiGetMaterialFloatArray(mat, AI_MATKEY_SHININESS, &shininess, &count) == AI_SUCCESS)
            jm["shininess"] = shininess;
        jm["diffuseTextureCount"] = aiGetMaterialTextureCount(mat, aiTextureType_DIFFUSE);
        aiString path;
        if (aiGetMaterialTexture(mat, aiTextureType_DIFFUSE, 0, &path) == AI_SUCCESS)
            jm["diffuseTexture"] = path.C_Str();
        if (aiGetMaterialTexture(mat, aiTextureType_NORMALS, 0, &path) == AI_SUCCESS)
            jm["normalTexture"] = path.C_Str();
        mats.push_back(jm);
    }
    out["materials"] = mats;

    // Meshes.
    json meshes = json::array();
    for (unsigned mi = 0; mi < scene->mNumMeshes; ++mi) {
        const aiMesh* mesh = scene->mMeshes[mi];
        json jm;
        const unsigned nv = mesh->mNumVertices;
        jm["material"] = mesh->mMaterialIndex;
        jm["vertexCount"] = nv;
        std::vector<float> pos, uv, nrm, tan, bit, weight;
        std::vector<int> index;
        for (unsigned v = 0; v < nv; ++v) {
            pos.insert(pos.end(),
                       {mesh->mVertices[v].x, mesh->mVertices[v].y, mesh->mVertices[v].z});
            if (mesh->HasTextureCoords(0))
                uv.insert(uv.end(), {mesh->mTextureCoords[0][v].x, mesh->mTextureCoords[0][v].y});
            if (mesh->HasNormals())
                nrm.insert(nrm.end(),
                           {mesh->mNormals[v].x, mesh->mNormals[v].y, mesh->mNormals[v].z});
            if (mesh->HasTangentsAndBitangents()) {
                tan.insert(tan.end(),
                           {mesh->mTangents[v].x, mesh->mTangents[v].y, mesh->mTangents[v].z});
                bit.insert(bit.end(), {mesh->mBitangents[v].x, mesh->mBitangents[v].y,
                                       mesh->mBitangents[v].z});
            }
        }
        // The game's weight slots: first free (weight 0.0) slot, in the mesh's bone order.
        std::vector<int> slotsIndex(nv * 4, 0);
        std::vector<float> slotsWeight(nv * 4, 0.0f);
        std::vector<int> influences(nv, 0);
        json meshBones = json::array();
        for (unsigned b = 0; b < mesh->mNumBones; ++b) {
            const aiBone* bone = mesh->mBones[b];
            meshBones.push_back({{"name", bone->mName.C_Str()}, {"weights", bone->mNumWeights}});
            const auto it = boneIndex.find(bone->mName.C_Str());
            const int bi = it == boneIndex.end() ? -1 : it->second;
            for (unsigned w = 0; w < bone->mNumWeights; ++w) {
                const unsigned v = bone->mWeights[w].mVertexId;
                const float wt = bone->mWeights[w].mWeight;
                if (v >= nv)
                    continue;
                if (wt > 0.0f)
                    ++influences[v];
                for (int s = 0; s < 4; ++s) {
                    if (slotsWeight[v * 4 + s] == 0.0f) {
                        slotsIndex[v * 4 + s] = bi;
                        slotsWeight[v * 4 + s] = wt;
                        break;
                    }
                }
            }
        }
        std::vector<unsigned> faces;
        bool allTriangles = true;
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            if (mesh->mFaces[f].mNumIndices != 3) {
                allTriangles = false;
                continue;
            }
            for (int k = 0; k < 3; ++k)
                faces.push_back(mesh->mFaces[f].mIndices[k]);
        }
        jm["positions"] = pos;
        jm["uvs"] = uv;
        jm["normals"] = nrm;
        jm["tangents"] = tan;
        jm["bitangents"] = bit;
        jm["slotIndices"] = slotsIndex;
        jm["slotWeights"] = slotsWeight;
        jm["influences"] = influences;
        jm["bones"] = meshBones;
        jm["faces"] = faces;
        jm["allTriangles"] = allTriangles;
        meshes.push_back(jm);
    }
    out["meshes"] = meshes;

    // Animations: the game reads the first one; keyframe k is rotation key k of every channel.
    json anims = json::array();
    for (unsigned ai = 0; ai < scene->mNumAnimations; ++ai) {
        const aiAnimation* anim = scene->mAnimations[ai];
        json ja;
        ja["name"] = anim->mName.C_Str();
        json channels = json::array();
        for (unsigned c = 0; c < anim->mNumChannels; ++c) {
            const aiNodeAnim* ch = anim->mChannels[c];
            json jc;
            jc["node"] = ch->mNodeName.C_Str();
            std::vector<double> rt, pt;
            std::vector<float> rot, posk;
            for (unsigned k = 0; k < ch->mNumRotationKeys; ++k) {
                const aiQuatKey& key = ch->mRotationKeys[k];
                rt.push_back(key.mTime);
                rot.insert(rot.end(), {key.mValue.x, key.mValue.y, key.mValue.z, key.mValue.w});
            }
            for (unsigned k = 0; k < ch->mNumPositionKeys; ++k) {
                const aiVectorKey& key = ch->mPositionKeys[k];
                pt.push_back(key.mTime);
                posk.insert(posk.end(), {key.mValue.x, key.mValue.y, key.mValue.z});
            }
            jc["rotationTimes"] = rt;
            jc["rotations"] = rot;
            jc["positionTimes"] = pt;
            jc["positions"] = posk;
            jc["scalingKeys"] = ch->mNumScalingKeys;
            channels.push_back(jc);
        }
        ja["channels"] = channels;
        anims.push_back(ja);
    }
    out["animations"] = anims;

    std::ofstream file(argv[2]);
    file << out.dump();
    return file ? 0 : 1;
}
