#include "rendering/AnimatedMesh.hpp"

#include "rendering/Material.hpp"
#include "rendering/SkeletonAnimationData.hpp"

namespace vorn::rendering {

namespace {

// Replaces a material that anything else holds with a private copy (copy-on-write), so that
// changing it leaves the cached mesh and other instances as they were.
void makeMaterialPrivate(MeshPart& part) {
    if (part.material && part.material.use_count() != 1)
        part.material = std::make_shared<Material>(*part.material);
}

} // namespace

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
    for (MeshPart& part : parts) {
        if (!part.material)
            continue;
        makeMaterialPrivate(part);
        part.material->setShaderProgram(program);
        part.attributesDirty = true;
    }
}

void AnimatedMesh::setTexture(const std::string& samplerName,
                              const std::shared_ptr<Texture>& texture) {
    for (MeshPart& part : parts) {
        if (!part.material)
            continue;
        makeMaterialPrivate(part);
        part.material->setTexture(samplerName, texture);
    }
}

} // namespace vorn::rendering
