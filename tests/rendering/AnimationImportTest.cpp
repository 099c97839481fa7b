// The Assimp side of animated models, without OpenGL: skeleton order, clips, four influences per
// vertex, triangle lists and materials from scenes built in memory, and the failures of reading a
// model file.

#include "engine/DiagnosticsCapture.hpp"
#include "rendering/AnimatedMeshImporter.hpp"

#include <assimp/material.h>
#include <assimp/scene.h>
#include <glm/gtx/quaternion.hpp>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using vorn::rendering::AnimatedMeshImporter;
using vorn::rendering::SkeletonAnimationData;

using vorn::engine::DiagnosticsCapture;

namespace {

aiNode* node(const char* name, aiVector3D translation = aiVector3D(0, 0, 0),
             std::initializer_list<aiNode*> children = {}) {
    auto* n = new aiNode(name);
    n->mTransformation.a4 = translation.x;
    n->mTransformation.b4 = translation.y;
    n->mTransformation.c4 = translation.z;
    if (children.size()) {
        n->mNumChildren = static_cast<unsigned>(children.size());
        n->mChildren = new aiNode*[children.size()];
        unsigned i = 0;
        for (aiNode* child : children) {
            child->mParent = n;
            n->mChildren[i++] = child;
        }
    }
    return n;
}

aiBone* bone(const char* name, std::initializer_list<std::pair<unsigned, float>> weights) {
    auto* b = new aiBone();
    b->mName = aiString(name);
    b->mNumWeights = static_cast<unsigned>(weights.size());
    b->mWeights = new aiVertexWeight[weights.size()];
    unsigned i = 0;
    for (const auto& [vertex, weight] : weights)
        b->mWeights[i++] = aiVertexWeight(vertex, weight);
    return b;
}

// A mesh of `vertices` vertices at (i, 0, 0) with the given triangles and bones.
aiMesh* mesh(unsigned vertices, std::initializer_list<std::vector<unsigned>> faces,
             std::initializer_list<aiBone*> bones) {
    auto* m = new aiMesh();
    m->mNumVertices = vertices;
    m->mVertices = new aiVector3D[vertices];
    m->mNormals = new aiVector3D[vertices];
    m->mTextureCoords[0] = new aiVector3D[vertices];
    m->mNumUVComponents[0] = 2;
    for (unsigned v = 0; v < vertices; ++v) {
        m->mVertices[v] = aiVector3D(static_cast<float>(v), 0, 0);
        m->mNormals[v] = aiVector3D(0, 0, 1);
        m->mTextureCoords[0][v] = aiVector3D(0.5f, static_cast<float>(v) / 10.0f, 0);
    }
    m->mNumFaces = static_cast<unsigned>(faces.size());
    m->mFaces = new aiFace[faces.size()];
    unsigned f = 0;
    for (const std::vector<unsigned>& face : faces) {
        m->mFaces[f].mNumIndices = static_cast<unsigned>(face.size());
        m->mFaces[f].mIndices = new unsigned[face.size()];
        std::copy(face.begin(), face.end(), m->mFaces[f].mIndices);
        ++f;
    }
    if (bones.size()) {
        m->mNumBones = static_cast<unsigned>(bones.size());
        m->mBones = new aiBone*[bones.size()];
        unsigned i = 0;
        for (aiBone* b : bones)
            m->mBones[i++] = b;
    }
    return m;
}

aiNodeAnim* channel(const char* node, std::vector<float> zDegrees,
                    std::vector<aiVector3D> positions = {}) {
    auto* c = new aiNodeAnim();
    c->mNodeName = aiString(node);
    c->mNumRotationKeys = static_cast<unsigned>(zDegrees.size());
    c->mRotationKeys = new aiQuatKey[zDegrees.size()];
    for (std::size_t k = 0; k < zDegrees.size(); ++k) {
        const float half = zDegrees[k] * 3.14159265f / 360.0f;
        c->mRotationKeys[k] =
            aiQuatKey(static_cast<double>(k), aiQuaternion(std::cos(half), 0, 0, std::sin(half)));
    }
    c->mNumPositionKeys = static_cast<unsigned>(positions.size());
    if (!positions.empty()) {
        c->mPositionKeys = new aiVectorKey[positions.size()];
        for (std::size_t k = 0; k < positions.size(); ++k)
            c->mPositionKeys[k] = aiVectorKey(static_cast<double>(k), positions[k]);
    }
    return c;
}

aiAnimation* animation(const char* name, std::initializer_list<aiNodeAnim*> channels) {
    auto* a = new aiAnimation();
    a->mName = aiString(name);
    a->mNumChannels = static_cast<unsigned>(channels.size());
    a->mChannels = new aiNodeAnim*[channels.size()];
    unsigned i = 0;
    for (aiNodeAnim* c : channels)
        a->mChannels[i++] = c;
    return a;
}

float zDegreesOf(const glm::quat& q) {
    return 2.0f * std::atan2(q.z, q.w) * 180.0f / 3.14159265f;
}

// A character with a scaled skeleton root "rig" under the scene root, next to the mesh node:
//   rig (bone, scale 2, at (2, 4, 6))
//     spine (bone) -> head (bone)
//     prop (not a bone) -> hidden (a bone, but below a non-bone node)
//     arm (bone, turned 90 degrees about y at rest)
//     tail (bone)
struct Character {
    Character() {
        aiNode* rig =
            node("rig", aiVector3D(2, 4, 6),
                 {node("spine", aiVector3D(0, 1, 0), {node("head", aiVector3D(0, 1, 0))}),
                  node("prop", aiVector3D(5, 5, 5), {node("hidden", aiVector3D(1, 1, 1))}),
                  node("arm", aiVector3D(1, 0, 0)), node("tail", aiVector3D(0, -1, 0))});
        rig->mTransformation.a1 = 2;
        rig->mTransformation.b2 = 2;
        rig->mTransformation.c3 = 2;
        aiNode* arm = rig->FindNode("arm");
        aiMatrix4x4 turn;
        aiMatrix4x4::RotationY(3.14159265f / 2.0f, turn);
        arm->mTransformation =
            aiMatrix4x4::Translation(aiVector3D(1, 0, 0), arm->mTransformation) * turn;
        scene.mRootNode = node("Scene", aiVector3D(0, 0, 0), {rig, node("body")});

        // Vertex 0 is influenced by five bones (in this order); vertex 1 by an unknown bone and
        // a bone outside the skeleton only; vertex 2 by one bone.
        aiMesh* body = mesh(4, {{0, 1, 2}, {0, 2}, {1, 2, 9}, {2, 1, 3}},
                            {bone("head", {{0, 0.3f}, {2, 1.0f}}), bone("rig", {{0, 0.1f}}),
                             bone("ghost", {{0, 0.05f}, {1, 0.5f}}), bone("tail", {{0, 0.25f}}),
                             bone("spine", {{0, 0.2f}, {7, 0.9f}}), bone("hidden", {{1, 0.5f}}),
                             bone("arm", {{0, 0.15f}, {3, 0.0f}})});
        body->mMaterialIndex = 0;
        scene.mNumMeshes = 1;
        scene.mMeshes = new aiMesh* [1] { body };

        scene.mNumAnimations = 2;
        scene.mAnimations = new aiAnimation* [2] {
            animation("wave", {channel("spine", {0, 10, 20}),
                               channel("rig", {5, 6, 7, 8, 9},
                                       {aiVector3D(0, 0, 0), aiVector3D(1, 0, 0),
                                        aiVector3D(2, 0, 0), aiVector3D(3, 0, 0)}),
                               channel("nobody", {45}), channel("head", {30})}),
                animation("other", {channel("spine", {1, 2, 3, 4, 5, 6, 7})})
        };
    }

    aiScene scene;
};

} // namespace

TEST(AnimationImportTest, SkeletonIsTheRootAndItsBoneDescendantsInPreOrder) {
    Character character;
    SkeletonAnimationData skeleton;
    AnimatedMeshImporter::buildSkeleton(character.scene, skeleton);
    std::vector<std::string> names;
    std::vector<int> parents;
    for (const auto& b : skeleton.bones) {
        names.push_back(b.name);
        parents.push_back(b.parent);
    }
    // "prop" is no bone: it is skipped with its subtree, "hidden" included.
    EXPECT_EQ(names, (std::vector<std::string>{"rig", "spine", "head", "arm", "tail"}));
    EXPECT_EQ(parents, (std::vector<int>{-1, 0, 1, 0, 0}));
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(skeleton.boneIndex.at(names[i]), static_cast<int>(i));
    // The root's scale entries go into rootMatrix; its bind position is its translation divided
    // by them; every other bind position adds the offsets down the chain.
    EXPECT_EQ(skeleton.rootMatrix[0][0], 2.0f);
    EXPECT_EQ(skeleton.rootMatrix[1][1], 2.0f);
    EXPECT_EQ(skeleton.rootMatrix[2][2], 2.0f);
    EXPECT_EQ(skeleton.rootMatrix[3], glm::vec4(0, 0, 0, 1));
    EXPECT_EQ(skeleton.bones[0].offset, glm::vec3(2, 4, 6));
    EXPECT_EQ(skeleton.bones[0].bindPosition, glm::vec3(1, 2, 3));
    EXPECT_EQ(skeleton.bones[2].bindPosition, glm::vec3(1, 4, 3));
    EXPECT_EQ(skeleton.bones[3].bindPosition, glm::vec3(2, 2, 3));
    EXPECT_EQ(skeleton.bones[4].offset, glm::vec3(0, -1, 0));
}

TEST(AnimationImportTest, FifthInfluenceIsDroppedAndUnknownBonesAreIgnored) {
    Character character;
    SkeletonAnimationData skeleton;
    AnimatedMeshImporter::buildSkeleton(character.scene, skeleton);
    std::vector<glm::ivec4> indices;
    std::vector<glm::vec4> weights;
    AnimatedMeshImporter::assignBoneWeights(*character.scene.mMeshes[0], skeleton.boneIndex,
                                            indices, weights);
    ASSERT_EQ(indices.size(), 4u);
    // Vertex 0: head, rig, (ghost is unknown), tail, spine fill the four slots in the mesh's bone
    // order; arm, the fifth known influence, finds no free slot.
    EXPECT_EQ(indices[0], glm::ivec4(2, 0, 4, 1));
    EXPECT_EQ(weights[0], glm::vec4(0.3f, 0.1f, 0.25f, 0.2f));
    // Vertex 1: only the unknown "ghost" and the skipped "hidden": no influence at all.
    EXPECT_EQ(weights[1], glm::vec4(0.0f));
    EXPECT_EQ(indices[1], glm::ivec4(0));
    EXPECT_EQ(indices[2], glm::ivec4(2, 0, 0, 0));
    EXPECT_EQ(weights[2], glm::vec4(1.0f, 0.0f, 0.0f, 0.0f));
    // A zero weight takes no slot; the weight for vertex 7 (there are 4) is ignored.
    EXPECT_EQ(weights[3], glm::vec4(0.0f));
}

TEST(AnimationImportTest, ClipsTakeOneKeyframePerRotationKeyOfTheFirstChannel) {
    Character character;
    SkeletonAnimationData skeleton;
    AnimatedMeshImporter::buildSkeleton(character.scene, skeleton);
    AnimatedMeshImporter::readClips(character.scene, skeleton);
    ASSERT_EQ(skeleton.clips.size(), 2u);
    // The first animation is the one played, with three keyframes ("spine" has three keys).
    const auto& clip = skeleton.firstClip();
    ASSERT_EQ(clip.size(), 3u);
    EXPECT_EQ(skeleton.clips.at("other").size(), 7u);
    for (std::size_t k = 0; k < 3; ++k) {
        ASSERT_EQ(clip[k].rotations.size(), 5u);
        EXPECT_NEAR(zDegreesOf(clip[k].rotations[1]), 10.0f * k, 1e-3f);
        // The root's extra rotation and position keys are ignored; the others fill keyframes.
        EXPECT_NEAR(zDegreesOf(clip[k].rotations[0]), 5.0f + k, 1e-3f);
        EXPECT_EQ(clip[k].rootPosition, glm::vec3(static_cast<float>(k), 0, 0));
    }
    // "head" has one key: later keyframes keep the bone's rest rotation (identity here).
    EXPECT_NEAR(zDegreesOf(clip[0].rotations[2]), 30.0f, 1e-3f);
    EXPECT_NEAR(zDegreesOf(clip[1].rotations[2]), 0.0f, 1e-3f);
    // "arm" has no channel: it keeps its rest rotation, 90 degrees about y.
    const glm::quat arm = clip[2].rotations[3];
    EXPECT_NEAR(glm::angle(arm), 3.14159265f / 2.0f, 1e-4f);
    EXPECT_NEAR(glm::axis(arm).y, 1.0f, 1e-4f);
    // "default" loops the whole first clip at one second per frame.
    const auto* fallback = skeleton.findSegment("default");
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(fallback->startFrame, 0);
    EXPECT_EQ(fallback->endFrame, 3);
    EXPECT_TRUE(fallback->loop);
    EXPECT_FLOAT_EQ(fallback->secondsPerFrame, 1.0f);
}

TEST(AnimationImportTest, MeshBecomesATriangleListWithItsInfluences) {
    Character character;
    const AnimatedMeshImporter::Result result =
        AnimatedMeshImporter::convert(character.scene, "m/");
    ASSERT_TRUE(result.ok);
    ASSERT_EQ(result.meshes.size(), 1u);
    const auto& data = result.meshes[0];
    // The line {0, 2} and the face pointing at vertex 9 are dropped: two triangles remain.
    ASSERT_EQ(data.positions.size(), 6u);
    EXPECT_TRUE(data.skinned);
    EXPECT_FALSE(data.hasTangents);
    EXPECT_TRUE(data.tangents.empty());
    const std::vector<float> xs = {0, 1, 2, 2, 1, 3};
    for (std::size_t i = 0; i < xs.size(); ++i) {
        EXPECT_EQ(data.positions[i].x, xs[i]);
        EXPECT_FLOAT_EQ(data.uvs[i].y, xs[i] / 10.0f);
        EXPECT_EQ(data.normals[i], glm::vec3(0, 0, 1));
    }
    EXPECT_EQ(data.boneIndices[0], glm::ivec4(2, 0, 4, 1));
    EXPECT_EQ(data.boneWeights[2], glm::vec4(1, 0, 0, 0));
    EXPECT_EQ(data.boneWeights[3], glm::vec4(1, 0, 0, 0));
    ASSERT_EQ(data.boneWeights.size(), 6u);
    ASSERT_EQ(data.boneIndices.size(), 6u);
    EXPECT_TRUE(result.hasBounds);
    EXPECT_EQ(result.boundsMin, glm::vec3(0, 0, 0));
    EXPECT_EQ(result.boundsMax, glm::vec3(3, 0, 0));
}

TEST(AnimationImportTest, MaterialsGiveColoursShininessAndTheDiffuseTexture) {
    aiMaterial textured;
    const aiColor3D ambient(0.1f, 0.2f, 0.3f), diffuse(0.4f, 0.5f, 0.6f), emissive(0.7f, 0, 0),
        specular(0, 0.8f, 0);
    textured.AddProperty(&ambient, 1, AI_MATKEY_COLOR_AMBIENT);
    textured.AddProperty(&diffuse, 1, AI_MATKEY_COLOR_DIFFUSE);
    textured.AddProperty(&emissive, 1, AI_MATKEY_COLOR_EMISSIVE);
    textured.AddProperty(&specular, 1, AI_MATKEY_COLOR_SPECULAR);
    const float shininess = 42.0f;
    textured.AddProperty(&shininess, 1, AI_MATKEY_SHININESS);
    const aiString file("skin.png");
    textured.AddProperty(&file, AI_MATKEY_TEXTURE_DIFFUSE(0));

    const auto data = AnimatedMeshImporter::convertMaterial(textured, "assets/models/");
    EXPECT_EQ(data.diffuseTexture, "assets/models/skin.png");
    auto value = [&](const std::string& name) -> const vorn::rendering::UniformValue* {
        for (const auto& [key, v] : data.uniforms)
            if (key == name)
                return &v;
        return nullptr;
    };
    ASSERT_NE(value("mat_ambient"), nullptr);
    EXPECT_EQ(value("mat_ambient")->get<glm::vec3>(), glm::vec3(0.1f, 0.2f, 0.3f));
    EXPECT_EQ(value("mat_diffuse")->get<glm::vec3>(), glm::vec3(0.4f, 0.5f, 0.6f));
    EXPECT_EQ(value("mat_emissive")->get<glm::vec3>(), glm::vec3(0.7f, 0, 0));
    EXPECT_EQ(value("mat_specular")->get<glm::vec3>(), glm::vec3(0, 0.8f, 0));
    ASSERT_NE(value("mat_shininess"), nullptr);
    EXPECT_EQ(value("mat_shininess")->get<float>(), 42.0f);
    ASSERT_NE(value("usingDiffuseTex"), nullptr);
    EXPECT_EQ(value("usingDiffuseTex")->get<int>(), 1);

    // Without colours the diffuse colour is white, so a texture or the lights still show; an
    // embedded texture cannot be loaded by name and leaves the material untextured.
    aiMaterial bare;
    const aiString embedded("*0");
    bare.AddProperty(&embedded, AI_MATKEY_TEXTURE_DIFFUSE(0));
    DiagnosticsCapture errors;
    const auto plain = AnimatedMeshImporter::convertMaterial(bare, "x/");
    EXPECT_TRUE(plain.diffuseTexture.empty());
    EXPECT_NE(errors.errText().find("*0"), std::string::npos);
    bool sawWhite = false, sawUnused = false;
    for (const auto& [key, v] : plain.uniforms) {
        sawWhite |= key == "mat_diffuse" && v.get<glm::vec3>() == glm::vec3(1.0f);
        sawUnused |= key == "usingDiffuseTex" && v.get<int>() == 0;
        EXPECT_NE(key, "mat_ambient");
    }
    EXPECT_TRUE(sawWhite);
    EXPECT_TRUE(sawUnused);
}

TEST(AnimationImportTest, SceneWithoutBonesHasNoSkeletonButStillAnEmptyDefault) {
    aiScene scene;
    scene.mRootNode = node("Scene", aiVector3D(0, 0, 0), {node("thing")});
    scene.mNumMeshes = 1;
    scene.mMeshes = new aiMesh* [1] { mesh(3, {{0, 1, 2}}, {}) };
    const AnimatedMeshImporter::Result result = AnimatedMeshImporter::convert(scene, "");
    ASSERT_TRUE(result.ok);
    EXPECT_TRUE(result.skeleton->bones.empty());
    ASSERT_EQ(result.meshes.size(), 1u);
    EXPECT_FALSE(result.meshes[0].skinned);
    // Unskinned vertices carry no influence (the skinned shader keeps them in the bind pose).
    for (const glm::vec4& w : result.meshes[0].boneWeights)
        EXPECT_EQ(w, glm::vec4(0.0f));
    const auto* fallback = result.skeleton->findSegment("default");
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(fallback->endFrame, 0);
}

TEST(AnimationImportTest, UnreadableFilesReportErrorParsingAndGiveNothing) {
    const std::string dir =
        ::testing::TempDir() + std::to_string(getpid()) + "_mossfang_anim_import/";
    std::filesystem::create_directories(dir);
    const std::string garbage = dir + "broken.gltf";
    {
        std::ofstream out(garbage, std::ios::binary);
        for (int i = 0; i < 4096; ++i)
            out.put(static_cast<char>((i * 7919) % 251));
    }
    const std::string truncated = dir + "truncated.gltf";
    std::ofstream(truncated)
        << "{ \"asset\": { \"version\": \"2.0\" }, \"nodes\": [ { \"mesh\": 0 ";
    for (const std::string& path : {dir + "missing.gltf", garbage, truncated, dir}) {
        DiagnosticsCapture out;
        const AnimatedMeshImporter::Result result = AnimatedMeshImporter::readFile(path);
        EXPECT_FALSE(result.ok) << path;
        EXPECT_TRUE(result.meshes.empty());
        EXPECT_TRUE(result.skeleton->bones.empty());
        EXPECT_EQ(out.outText().rfind("Error parsing " + path + ": ", 0), 0u) << out.outText();
    }
}

TEST(AnimationImportTest, ModelWithoutSkeletonImportsFromAFile) {
    const std::string dir =
        ::testing::TempDir() + std::to_string(getpid()) + "_mossfang_anim_import/";
    std::filesystem::create_directories(dir);
    const std::string path = dir + "quad.obj";
    std::ofstream(path) << "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n";
    const AnimatedMeshImporter::Result result = AnimatedMeshImporter::readFile(path);
    ASSERT_TRUE(result.ok);
    ASSERT_EQ(result.meshes.size(), 1u);
    // The quad was triangulated.
    EXPECT_EQ(result.meshes[0].positions.size(), 6u);
    EXPECT_TRUE(result.skeleton->bones.empty());
    EXPECT_EQ(result.boundsMax, glm::vec3(1, 1, 0));
}
