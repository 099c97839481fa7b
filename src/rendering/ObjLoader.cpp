#include "rendering/ObjLoader.hpp"

#include "engine/Diagnostics.hpp"
#include "rendering/FaceTriangulator.hpp"
#include "rendering/FilePaths.hpp"
#include "rendering/Material.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/TextScanner.hpp"
#include "rendering/VertexAttribute.hpp"
#include "rendering/VertexBuffer.hpp"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <unordered_map>

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

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

// Why a loaded file gives no part with a material, checked in the order a modder would fix it.
std::string whyNothingDraws(const ObjData& data, bool noLibraryOpened,
                            const std::vector<std::string>& missingLibraries,
                            const ObjDropped& dropped) {
    if (data.groupFaces.empty())
        return data.pointsAndLines > 0 ? "it holds only points and lines" : "it holds no faces";
    if (data.materialLibraries.empty())
        return "it names no material library";
    if (noLibraryOpened)
        return "its material library does not open: " + joined(missingLibraries);
    if (data.groupFaces.size() == 1 && data.groupFaces.count("") == 1)
        return "its faces name no material (no usemtl)";
    return "its faces name materials the library lacks: " + joined(dropped.lackingMaterials);
}

} // namespace

bool ObjDropped::any() const {
    return outOfRangeIndices || negativeIndices || largeIndices || nanCoordinates || shortFaces ||
           nonSimpleFaces || missingLibraries || lackingMaterialFaces;
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
    std::string text = counts.empty() ? std::string() : "ignored " + counts;
    // Faces that are still drawn, but not as written.
    if (nonSimpleFaces > 0)
        text += (text.empty() ? "" : "; ") + std::to_string(nonSimpleFaces) +
                (nonSimpleFaces == 1 ? " face is not a simple polygon, drawn as a fan"
                                     : " faces are not simple polygons, drawn as fans");
    // Faces that load but are not drawn.
    if (lackingMaterialFaces > 0)
        text += (text.empty() ? "" : "; ") + std::to_string(lackingMaterialFaces) +
                (lackingMaterialFaces == 1 ? " face names" : " faces name") +
                " a material the library lacks: " + joined(lackingMaterials);
    return text.empty() ? std::string() : path + ": " + text + "\n";
}

ObjData ObjLoader::parse(std::istream& in, const std::string& directory) {
    ObjData data;
    ObjDropped& dropped = data.dropped;
    // Where each face's corners start in `corners`, and its group. Faces are cut into triangles
    // only once the whole file is read, as a face may name positions that follow it.
    using Group = std::map<std::string, std::vector<ObjIndex>>::iterator;
    struct Face {
        Group group;
        std::size_t first;
        std::size_t count;
    };
    std::vector<Face> faces;
    Group current = data.groups.try_emplace("").first;
    int* currentFaces = &data.groupFaces[""];
    // Every corner as written.
    std::vector<ObjIndex> corners;
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
            current = data.groups.try_emplace(scanner.rest()).first;
            currentFaces = &data.groupFaces[current->first];
        } else if (keyword == "mtllib") {
            const std::string name = scanner.rest();
            if (!name.empty())
                data.materialLibraries.push_back(directory + name);
        } else if (keyword == "p" || keyword == "l") {
            ++data.pointsAndLines;
        } else if (keyword == "f") {
            const std::size_t first = corners.size();
            for (std::string corner = scanner.word(); !corner.empty(); corner = scanner.word())
                corners.push_back(parseFaceVertex(corner, dropped));
            // A face needs three corners; a shorter one is dropped whole so that the following
            // faces stay whole triangles.
            if (corners.size() - first < 3) {
                corners.resize(first);
                ++dropped.shortFaces;
                continue;
            }
            faces.push_back({current, first, corners.size() - first});
            ++*currentFaces;
        }
    }
    for (const ObjIndex& corner : corners)
        countOutOfRange(data, corner, dropped);

    std::vector<glm::vec3> positions;
    std::vector<std::size_t> triangles;
    // Only groups that have faces are counted.
    for (auto group = data.groupFaces.begin(); group != data.groupFaces.end();)
        group = group->second == 0 ? data.groupFaces.erase(group) : std::next(group);
    for (const Face& face : faces) {
        // Triangles, most faces of most files, go as they are.
        if (face.count == 3) {
            face.group->second.insert(face.group->second.end(), corners.begin() + face.first,
                                      corners.begin() + face.first + 3);
            continue;
        }
        positions.clear();
        for (std::size_t i = 0; i < face.count; ++i)
            positions.push_back(pick(data.positions, corners[face.first + i].position));
        triangles.clear();
        if (!FaceTriangulator::triangulate(positions, triangles))
            ++dropped.nonSimpleFaces;
        for (const std::size_t corner : triangles)
            face.group->second.push_back(corners[face.first + corner]);
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

ObjIndexedVertices ObjLoader::expandIndexed(const ObjData& data,
                                            const std::vector<ObjIndex>& indices) {
    ObjIndexedVertices out;
    out.corners.reserve(indices.size());
    struct Same {
        bool operator()(const ObjIndex& a, const ObjIndex& b) const {
            return a.position == b.position && a.uv == b.uv && a.normal == b.normal;
        }
    };
    struct Hash {
        std::size_t operator()(const ObjIndex& i) const {
            return std::hash<std::uint64_t>()((std::uint64_t(i.position) << 32 | i.uv) ^
                                              std::uint64_t(i.normal) * 0x9E3779B97F4A7C15ull);
        }
    };
    std::unordered_map<ObjIndex, std::uint32_t, Hash, Same> seen;
    seen.reserve(indices.size());
    std::vector<ObjIndex> distinct;
    for (const ObjIndex& index : indices) {
        const auto [found, added] =
            seen.try_emplace(index, static_cast<std::uint32_t>(distinct.size()));
        if (added)
            distinct.push_back(index);
        out.corners.push_back(found->second);
    }
    out.vertices = expand(data, distinct);
    return out;
}

std::shared_ptr<Mesh> ObjLoader::load(const std::string& fullPath) {
    auto mesh = std::make_shared<Mesh>();
    try {
        std::ifstream file(fullPath, std::ios::binary);
        if (!file) {
            mesh->whyNothingDraws = "the file does not open";
            return mesh;
        }
        // Read as text, UTF-16 or binary data would give lines of garbage.
        const std::string notText = notTextReason(file);
        if (!notText.empty()) {
            vorn::engine::Diagnostics::err() << fullPath << ": not read: it " << notText << "\n";
            mesh->whyNothingDraws = "the file " + notText;
            return mesh;
        }
        const std::string directory = directoryOf(fullPath);
        const ObjData data = parse(file, directory);
        ObjDropped dropped = data.dropped;
        // Each library is opened once, by the library cache; a null library is one that does not
        // open. They are held for the whole load; a later "mtllib" takes precedence.
        std::vector<std::shared_ptr<MaterialLibrary>> libraries;
        std::vector<std::string> missing;
        for (const std::string& path : data.materialLibraries) {
            if (auto library = materialLibraryCache().getFullPath(path)) {
                libraries.push_back(std::move(library));
                continue;
            }
            // Not one file by that name: the OBJ way of naming several libraries on one line.
            const std::string written = path.substr(directory.size());
            std::vector<std::string> words;
            TextScanner scanner(written);
            for (std::string word = scanner.word(); !word.empty(); word = scanner.word())
                words.push_back(word);
            std::vector<std::string> notOpened;
            for (std::size_t i = 0; i < words.size() && words.size() > 1; ++i) {
                if (auto library = materialLibraryCache().getFullPath(directory + words[i]))
                    libraries.push_back(std::move(library));
                else
                    notOpened.push_back(words[i]);
            }
            if (words.size() <= 1 || notOpened.size() == words.size())
                notOpened.assign(1, written);
            dropped.missingLibraries += static_cast<int>(notOpened.size());
            missing.insert(missing.end(), notOpened.begin(), notOpened.end());
        }

        // Each group's material; named ones the libraries lack are reported.
        std::vector<std::shared_ptr<Material>> materials;
        for (const auto& [name, indices] : data.groups) {
            std::shared_ptr<Material> material;
            for (auto library = libraries.rbegin(); library != libraries.rend() && !material;
                 ++library) {
                const auto found = (*library)->find(name);
                if (found != (*library)->end())
                    material = found->second;
            }
            if (!material && !indices.empty() && !name.empty() && !libraries.empty()) {
                dropped.lackingMaterialFaces += data.groupFaces.at(name);
                dropped.lackingMaterials.push_back(name);
            }
            materials.push_back(std::move(material));
        }
        if (dropped.any())
            vorn::engine::Diagnostics::err() << dropped.describe(fullPath);

        auto material = materials.begin();
        for (const auto& [name, indices] : data.groups) {
            if (indices.empty()) {
                ++material;
                continue;
            }
            // A vertex shared by several triangles is stored and shaded once.
            const ObjIndexedVertices indexed = expandIndexed(data, indices);
            const ObjVertices& vertices = indexed.vertices;
            const int count = static_cast<int>(vertices.positions.size());
            // No tangent frame is stored: OBJ materials map normals in object space, and a
            // program that does read "tangent" or "bitangent" gets GL's constant zero for them.
            auto buffer = std::make_shared<VertexBuffer>(VertexLayouts::lit());
            glBindBuffer(GL_ARRAY_BUFFER, buffer->id());
            buffer->allocate(count, GL_STATIC_DRAW, GL_ARRAY_BUFFER);
            buffer->setAttributeData("pos", vertices.positions, GL_ARRAY_BUFFER);
            buffer->setAttributeData("normal", vertices.normals, GL_ARRAY_BUFFER);
            buffer->setAttributeData("UV", vertices.uvs, GL_ARRAY_BUFFER);
            buffer->setIndices(indexed.corners);
            mesh->parts.emplace_back(*material++, buffer);

            for (const glm::vec3& p : vertices.positions) {
                if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
                    continue;
                mesh->boundsMin = mesh->hasBounds ? glm::min(mesh->boundsMin, p) : p;
                mesh->boundsMax = mesh->hasBounds ? glm::max(mesh->boundsMax, p) : p;
                mesh->hasBounds = true;
            }
        }
        if (std::none_of(mesh->parts.begin(), mesh->parts.end(),
                         [](const MeshPart& part) { return part.material != nullptr; }))
            mesh->whyNothingDraws = whyNothingDraws(data, libraries.empty(), missing, dropped);
    } catch (const std::exception& e) {
        // Out of memory on an absurd file: keep the parts built so far.
        vorn::engine::Diagnostics::err()
            << "Failed to load mesh " << fullPath << ": " << e.what() << "\n";
    }
    return mesh;
}

} // namespace vorn::rendering
