#include "rendering/AnimatedMeshLoader.hpp"

#include "engine/Diagnostics.hpp"
#include "parsing/DefinitionReader.hpp"
#include "parsing/ParseError.hpp"
#include "rendering/AnimatedMesh.hpp"
#include "rendering/FilePaths.hpp"
#include "rendering/Material.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/Texture.hpp"
#include "rendering/VertexBuffer.hpp"

#include <fstream>

namespace vorn::rendering {

namespace {

bool hasTxtExtension(const std::string& path) {
    return path.size() >= 4 && path.compare(path.size() - 4, 4, ".txt") == 0;
}

// Warns about segments that reach past the clip: they would show its last keyframe instead.
void checkSegments(const std::string& path, const SkeletonAnimationData& skeleton) {
    const int keyframes = static_cast<int>(skeleton.firstClip().size());
    if (keyframes == 0)
        return;
    for (const auto& [name, segment] : skeleton.segments) {
        const int lastShown = segment.loop && segment.endFrame > segment.startFrame
                                  ? segment.endFrame - 1
                                  : segment.endFrame;
        if (segment.startFrame < 0 || lastShown >= keyframes)
            vorn::engine::Diagnostics::err()
                << path << ": segment \"" << name << "\" (frames " << segment.startFrame << " to "
                << segment.endFrame << ") lies outside the " << keyframes
                << " keyframes of its model\n";
    }
}

} // namespace

const VertexLayout& AnimatedMeshLoader::skinnedLayout(bool withTangents) {
    static const VertexLayout plain = {{3, GL_FLOAT, "pos"},
                                       {2, GL_FLOAT, "UV"},
                                       {3, GL_FLOAT, "normal"},
                                       {4, GL_INT, "index"},
                                       {4, GL_FLOAT, "weight"}};
    static const VertexLayout tangents = {{3, GL_FLOAT, "pos"},       {2, GL_FLOAT, "UV"},
                                          {3, GL_FLOAT, "normal"},    {3, GL_FLOAT, "tangent"},
                                          {3, GL_FLOAT, "bitangent"}, {4, GL_INT, "index"},
                                          {4, GL_FLOAT, "weight"}};
    return withTangents ? tangents : plain;
}

std::shared_ptr<AnimatedMesh> AnimatedMeshLoader::load(const std::string& fullPath) {
    if (!hasTxtExtension(fullPath))
        return importModel(fullPath);
    std::ifstream file(fullPath);
    return readDefinition(file, fullPath, &AnimatedMeshLoader::importModel);
}

std::shared_ptr<AnimatedMesh> AnimatedMeshLoader::importModel(const std::string& fullPath) {
    const AnimatedMeshImporter::Result imported = AnimatedMeshImporter::readFile(fullPath);
    return build(imported);
}

std::shared_ptr<AnimatedMesh>
AnimatedMeshLoader::build(const AnimatedMeshImporter::Result& imported) {
    auto mesh = std::make_shared<AnimatedMesh>();
    if (!imported.ok)
        return mesh;
    mesh->skeleton = imported.skeleton;
    mesh->boundsMin = imported.boundsMin;
    mesh->boundsMax = imported.boundsMax;
    mesh->hasBounds = imported.hasBounds;

    std::vector<std::shared_ptr<Material>> materials;
    materials.reserve(imported.materials.size());
    for (const AnimatedMeshImporter::MaterialData& data : imported.materials) {
        auto material = std::make_shared<Material>();
        material->setShaderProgram(shaderProgramCache().get("shaders/texturedShaderProgram.txt"));
        for (const auto& [name, value] : data.uniforms)
            material->setUniform(name, value);
        if (!data.diffuseTexture.empty())
            material->setTexture("diffuseTex", textureCache().getFullPath(data.diffuseTexture));
        materials.push_back(std::move(material));
    }

    for (const AnimatedMeshImporter::MeshData& data : imported.meshes) {
        const int count = static_cast<int>(data.positions.size());
        auto buffer = std::make_shared<VertexBuffer>(skinnedLayout(data.hasTangents));
        glBindBuffer(GL_ARRAY_BUFFER, buffer->id());
        buffer->allocate(count, GL_STATIC_DRAW, GL_ARRAY_BUFFER);
        buffer->setAttributeData("pos", data.positions, GL_ARRAY_BUFFER);
        buffer->setAttributeData("UV", data.uvs, GL_ARRAY_BUFFER);
        buffer->setAttributeData("normal", data.normals, GL_ARRAY_BUFFER);
        if (data.hasTangents) {
            buffer->setAttributeData("tangent", data.tangents, GL_ARRAY_BUFFER);
            buffer->setAttributeData("bitangent", data.bitangents, GL_ARRAY_BUFFER);
        }
        buffer->setAttributeData("index", data.boneIndices, GL_ARRAY_BUFFER);
        buffer->setAttributeData("weight", data.boneWeights, GL_ARRAY_BUFFER);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        // A mesh whose material index is out of range gets no material; drawing skips it.
        std::shared_ptr<Material> material =
            data.materialIndex < materials.size() ? materials[data.materialIndex] : nullptr;
        mesh->parts.emplace_back(std::move(material), std::move(buffer));
    }
    return mesh;
}

std::shared_ptr<AnimatedMesh> AnimatedMeshLoader::readDefinition(std::istream& in,
                                                                 const std::string& path,
                                                                 const ModelImport& import) {
    auto mesh = std::make_shared<AnimatedMesh>();
    vorn::parsing::DefinitionReader reader(in);
    try {
        reader.expect('{');
        const std::string model = reader.readString();
        if (auto imported = import ? import(directoryOf(path) + model) : nullptr)
            mesh = std::move(imported);
        if (!mesh->skeleton)
            mesh->skeleton = std::make_shared<SkeletonAnimationData>();
        reader.expect('[');
        for (;;) {
            reader.skipWhitespace();
            if (reader.peek() == ']') {
                reader.get();
                break;
            }
            readSegment(reader, *mesh->skeleton);
        }
        reader.expect('}');
    } catch (const vorn::parsing::ParseError& error) {
        vorn::engine::Diagnostics::err() << path << ": " << error.what() << "\n";
    }
    checkSegments(path, *mesh->skeleton);
    return mesh;
}

void AnimatedMeshLoader::readSegment(vorn::parsing::DefinitionReader& reader,
                                     SkeletonAnimationData& skeleton) {
    const std::string name = reader.readString();
    reader.expect('{');
    const int start = reader.readInt();
    const int end = reader.readInt();
    bool loop = true;
    float secondsPerFrame = 1.0f;
    reader.skipWhitespace();
    if (reader.peek() != '}') {
        loop = reader.readInt() != 0;
        reader.skipWhitespace();
        if (reader.peek() != '}')
            secondsPerFrame = reader.readFloat();
    }
    reader.expect('}');
    skeleton.addSegment(name, start, end, loop, secondsPerFrame);
}

} // namespace vorn::rendering
