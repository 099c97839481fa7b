#include "rendering/ObjLoader.hpp"

#include "rendering/FilePaths.hpp"
#include "rendering/Material.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/TextScanner.hpp"
#include "rendering/VertexAttribute.hpp"
#include "rendering/VertexBuffer.hpp"

#include <cmath>
#include <fstream>
#include <iostream>

namespace vorn::rendering {

namespace {

// One face vertex "p", "p/t", "p//n" or "p/t/n".
ObjIndex parseFaceVertex(const std::string& token) {
    ObjIndex index;
    std::uint32_t* const fields[3] = {&index.position, &index.uv, &index.normal};
    const char* p = token.data();
    const char* const end = p + token.size();
    for (int field = 0; field < 3 && p <= end; ++field) {
        const char* slash = p;
        while (slash < end && *slash != '/')
            ++slash;
        *fields[field] = parseIndex(p, slash, 65535, 0);
        p = slash + 1;
    }
    return index;
}

glm::vec3 readVec3(TextScanner& scanner) {
    const float x = scanner.number();
    const float y = scanner.number();
    const float z = scanner.number();
    return {x, y, z};
}

template <class T> const T& pick(const std::vector<T>& values, std::uint32_t index) {
    return index < values.size() ? values[index] : values[0];
}

} // namespace

ObjData ObjLoader::parse(std::istream& in, const std::string& directory) {
    ObjData data;
    std::vector<ObjIndex>* current = &data.groups[""];
    std::string line;
    while (std::getline(in, line)) {
        TextScanner scanner(line);
        const std::string keyword = scanner.word();
        if (keyword == "v") {
            data.positions.push_back(readVec3(scanner));
        } else if (keyword == "vn") {
            data.normals.push_back(readVec3(scanner));
        } else if (keyword == "vt") {
            const float u = scanner.number();
            const float v = scanner.number();
            data.uvs.emplace_back(u, v);
        } else if (keyword == "usemtl") {
            current = &data.groups[scanner.word()];
        } else if (keyword == "mtllib") {
            const std::string name = scanner.word();
            if (!name.empty())
                data.materialLibraries.push_back(directory + name);
        } else if (keyword == "f") {
            const std::string a = scanner.word();
            const std::string b = scanner.word();
            const std::string c = scanner.word();
            // A face needs three vertices; a shorter one is dropped whole so that the following
            // faces stay whole triangles.
            if (c.empty())
                continue;
            current->push_back(parseFaceVertex(a));
            current->push_back(parseFaceVertex(b));
            current->push_back(parseFaceVertex(c));
        }
    }
    return data;
}

ObjVertices ObjLoader::expand(const ObjData& data, const std::vector<ObjIndex>& indices) {
    ObjVertices out;
    out.positions.reserve(indices.size());
    out.normals.reserve(indices.size());
    out.uvs.reserve(indices.size());
    for (const ObjIndex& index : indices) {
        out.positions.push_back(pick(data.positions, index.position));
        out.normals.push_back(pick(data.normals, index.normal));
        const glm::vec2 uv = pick(data.uvs, index.uv);
        out.uvs.emplace_back(uv.x, 1.0f - uv.y);
    }
    return out;
}

std::shared_ptr<Mesh> ObjLoader::load(const std::string& fullPath) {
    auto mesh = std::make_shared<Mesh>();
    try {
        std::ifstream file(fullPath);
        if (!file)
            return mesh;
        const ObjData data = parse(file, directoryOf(fullPath));
        // The libraries are held for the whole load; a later "mtllib" takes precedence.
        std::vector<std::shared_ptr<MaterialLibrary>> libraries;
        for (const std::string& path : data.materialLibraries)
            libraries.push_back(materialLibraryCache().getFullPath(path));

        for (const auto& [name, indices] : data.groups) {
            if (indices.empty())
                continue;
            const ObjVertices vertices = expand(data, indices);
            const int count = static_cast<int>(vertices.positions.size());
            const std::vector<glm::vec3> zero(vertices.positions.size(), glm::vec3(0.0f));
            auto buffer = std::make_shared<VertexBuffer>(VertexLayouts::tangentSpace());
            glBindBuffer(GL_ARRAY_BUFFER, buffer->id);
            buffer->allocate(count, GL_STATIC_DRAW, GL_ARRAY_BUFFER);
            buffer->setAttributeData("pos", vertices.positions, GL_ARRAY_BUFFER);
            buffer->setAttributeData("normal", vertices.normals, GL_ARRAY_BUFFER);
            buffer->setAttributeData("UV", vertices.uvs, GL_ARRAY_BUFFER);
            buffer->setAttributeData("tangent", zero, GL_ARRAY_BUFFER);
            buffer->setAttributeData("bitangent", zero, GL_ARRAY_BUFFER);

            std::shared_ptr<Material> material;
            for (auto library = libraries.rbegin(); library != libraries.rend() && !material;
                 ++library) {
                const auto found = (*library)->find(name);
                if (found != (*library)->end())
                    material = found->second;
            }
            mesh->parts.emplace_back(material, buffer);

            for (const glm::vec3& p : vertices.positions) {
                if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
                    continue;
                mesh->boundsMin = mesh->hasBounds ? glm::min(mesh->boundsMin, p) : p;
                mesh->boundsMax = mesh->hasBounds ? glm::max(mesh->boundsMax, p) : p;
                mesh->hasBounds = true;
            }
        }
    } catch (const std::exception& e) {
        // Out of memory on an absurd file: keep the parts built so far.
        std::cerr << "Failed to load mesh " << fullPath << ": " << e.what() << "\n";
    }
    return mesh;
}

} // namespace vorn::rendering
