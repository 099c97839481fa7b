#include "rendering/AnimatedMesh.hpp"

#include "rendering/Material.hpp"
#include "rendering/SkeletonAnimationData.hpp"

namespace vorn::rendering {

AnimatedMesh::AnimatedMesh() : skeleton(std::make_shared<SkeletonAnimationData>()) {}

AnimatedMesh AnimatedMesh::instanceOf(const std::shared_ptr<const AnimatedMesh>& cached) {
    AnimatedMesh copy;
    if (!cached)
        return copy;
    copy.skeleton = cached->skeleton ? cached->skeleton : copy.skeleton;
    copy.rootOffset = cached->rootOffset;
    copy.boundsMin = cached->boundsMin;
    copy.boundsMax = cached->boundsMax;
    copy.hasBounds = cached->hasBounds;
    copy.parts.reserve(cached->parts.size());
    for (const MeshPart& source : cached->parts) {
        MeshPart part(source);
        if (source.vertexBuffer)
            part.vertexBuffer = std::shared_ptr<VertexBuffer>(cached, source.vertexBuffer.get());
        part.attributesDirty = true;
        copy.parts.push_back(std::move(part));
    }
    return copy;
}

void AnimatedMesh::setShaderProgram(const std::shared_ptr<ShaderProgram>& program) {
    MeshPart::setShaderProgram(parts, program);
}

void AnimatedMesh::setTexture(const std::string& samplerName,
                              const std::shared_ptr<Texture>& texture) {
    MeshPart::setTexture(parts, samplerName, texture);
}

} // namespace vorn::rendering
