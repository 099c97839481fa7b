#include "rendering/Mesh.hpp"

#include "rendering/ResourceCaches.hpp"

namespace vorn::rendering {

std::vector<MeshPart> makeParts(const std::string& objName) {
    const std::shared_ptr<Mesh> mesh = meshCache().get(objName);
    std::vector<MeshPart> parts;
    if (!mesh)
        return parts;
    parts.reserve(mesh->parts.size());
    for (const MeshPart& source : mesh->parts) {
        MeshPart part(source);
        if (source.vertexBuffer)
            part.vertexBuffer = std::shared_ptr<VertexBuffer>(mesh, source.vertexBuffer.get());
        part.attributesDirty = true;
        parts.push_back(std::move(part));
    }
    return parts;
}

} // namespace vorn::rendering
