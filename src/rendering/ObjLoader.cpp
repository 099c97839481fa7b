#include "rendering/ObjLoader.hpp"

#include "engine/Diagnostics.hpp"
#include "rendering/FilePaths.hpp"
#include "rendering/Material.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/TextScanner.hpp"
#include "rendering/VertexAttribute.hpp"
#include "rendering/VertexBuffer.hpp"

#include <cmath>
#include <fstream>

namespace vorn::rendering {

namespace {

// One index field of a face corner, [begin, end). Empty or unreadable fields are absent (0);
// negative and too large ones are absent too, and counted.
std::uint32_t readIndexField(const char* begin, const char* end, ObjDropped& dropped) {
    if (begin < end && *begin == '-' && begin + 1 < end && begin[1] >= '0' && begin[1] <= '9') {
        ++dropped.negativeIndices;
        return 0;
    }
    constexpr std::uint32_t tooLarge = 0xFFFFFFFFu;
    const std::uint32_t value = parseIndex(begin, end, 65535, tooLarge);
    if (value == tooLarge) {
        ++dropped.largeIndices;
        return 0;
    }
    return value;
}

// One face corner "p", "p/t", "p//n" or "p/t/n".
ObjIndex parseFaceVertex(const std::string& token, ObjDropped& dropped) {
    ObjIndex index;
    std::uint32_t* const fields[3] = {&index.position, &index.uv, &index.normal};
    const char* p = token.data();
    const char* const end = p + token.size();
    for (int field = 0; field < 3 && p <= end; ++field) {
        const char* slash = p;
        while (slash < end && *slash != '/')
            ++slash;
        *fields[field] = readIndexField(p, slash, dropped);
        p = slash + 1;
    }
    return index;
}

// The next number of the line; NaN reads as 0 and is counted.
float readCoordinate(TextScanner& scanner, ObjDropped& dropped) {
    const float value = scanner.number();
    if (std::isnan(value)) {
        ++dropped.nanCoordinates;
        return 0.0f;
    }
    return value;
}

glm::vec3 readVec3(TextScanner& scanner, ObjDropped& dropped) {
    const float x = readCoordinate(scanner, dropped);
    const float y = readCoordinate(scanner, dropped);
    const float z = readCoordinate(scanner, dropped);
    return {x, y, z};
}

template <class T> const T& pick(const std::vector<T>& values, std::uint32_t index) {
    return index < values.size() ? values[index] : values[0];
}

// Counts the corner's indices that point past the end of their arrays.
void countOutOfRange(const ObjData& data, const ObjIndex& corner, ObjDropped& dropped) {
    dropped.outOfRangeIndices += (corner.position >= data.positions.size()) +
                                 (corner.uv >= data.uvs.size()) +
                                 (corner.normal >= data.normals.size());
}

// "1 negative index" or "2 negative indices": the count with the right form of the noun.
void appendCount(std::string& text, int count, const char* one, const char* many) {
    if (count == 0)
        return;
    text += text.empty() ? "" : ", ";
    text += std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

bool ObjDropped::any() const {
    return outOfRangeIndices || negativeIndices || largeIndices || nanCoordinates || shortFaces ||
           missingLibraries;
}

std::string ObjDropped::describe(const std::string& path) const {
    std::string counts;
    appendCount(counts, outOfRangeIndices, "out-of-range index", "out-of-range indices");
    appendCount(counts, negativeIndices, "negative index", "negative indices");
    appendCount(counts, largeIndices, "index over 65535", "indices over 65535");
    appendCount(counts, nanCoordinates, "NaN coordinate", "NaN coordinates");
    appendCount(counts, shortFaces, "face with fewer than three corners",
                "faces with fewer than three corners");
    appendCount(counts, missingLibraries, "material library that does not open",
                "material libraries that do not open");
    return counts.empty() ? std::string() : path + ": ignored " + counts + "\n";
}

ObjData ObjLoader::parse(std::istream& in, const std::string& directory) {
    ObjData data;
    ObjDropped& dropped = data.dropped;
    std::vector<ObjIndex>* current = &data.groups[""];
    // Every corner as written, checked against the final array sizes at the end (a face may name
    // vertices that follow it).
    std::vector<ObjIndex> corners;
    std::vector<ObjIndex> face;
    std::string line;
    LineReader lines(in);
    while (lines.next(line)) {
        TextScanner scanner(line);
        const std::string keyword = scanner.word();
        if (keyword == "v") {
            data.positions.push_back(readVec3(scanner, dropped));
        } else if (keyword == "vn") {
            data.normals.push_back(readVec3(scanner, dropped));
        } else if (keyword == "vt") {
            const float u = readCoordinate(scanner, dropped);
            const float v = readCoordinate(scanner, dropped);
            data.uvs.emplace_back(u, v);
        } else if (keyword == "usemtl") {
            current = &data.groups[scanner.rest()];
        } else if (keyword == "mtllib") {
            const std::string name = scanner.word();
            if (!name.empty())
                data.materialLibraries.push_back(directory + name);
        } else if (keyword == "f") {
            face.clear();
            for (std::string corner = scanner.word(); !corner.empty(); corner = scanner.word())
                face.push_back(parseFaceVertex(corner, dropped));
            // A face needs three corners; a shorter one is dropped whole so that the following
            // faces stay whole triangles.
            if (face.size() < 3) {
                ++dropped.shortFaces;
                continue;
            }
            corners.insert(corners.end(), face.begin(), face.end());
            // A fan around the first corner: exact for the convex faces exporters write, and
            // the same single triangle as before for a three-corner face.
            for (std::size_t i = 1; i + 1 < face.size(); ++i)
                current->insert(current->end(), {face[0], face[i], face[i + 1]});
        }
    }
    for (const ObjIndex& corner : corners)
        countOutOfRange(data, corner, dropped);
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
        ObjDropped dropped = data.dropped;
        std::vector<std::shared_ptr<MaterialLibrary>> libraries;
        for (const std::string& path : data.materialLibraries) {
            if (!std::ifstream(path))
                ++dropped.missingLibraries;
            libraries.push_back(materialLibraryCache().getFullPath(path));
        }
        if (dropped.any())
            vorn::engine::Diagnostics::err() << dropped.describe(fullPath);

        for (const auto& [name, indices] : data.groups) {
            if (indices.empty())
                continue;
            const ObjVertices vertices = expand(data, indices);
            const int count = static_cast<int>(vertices.positions.size());
            const std::vector<glm::vec3> zero(vertices.positions.size(), glm::vec3(0.0f));
            auto buffer = std::make_shared<VertexBuffer>(VertexLayouts::tangentSpace());
            glBindBuffer(GL_ARRAY_BUFFER, buffer->id());
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
        vorn::engine::Diagnostics::err()
            << "Failed to load mesh " << fullPath << ": " << e.what() << "\n";
    }
    return mesh;
}

} // namespace vorn::rendering
