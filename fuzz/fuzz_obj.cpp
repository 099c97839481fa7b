// Wavefront OBJ text through the parser and the expansion of every group into vertex arrays.
#include "FuzzInput.hpp"
#include "rendering/ObjLoader.hpp"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::QuietDiagnostics quiet;
    std::istringstream in(fuzzing::asText(data, size));
    const vorn::rendering::ObjData obj = vorn::rendering::ObjLoader::parse(in, "models/");
    for (const auto& [name, indices] : obj.groups) {
        const vorn::rendering::ObjVertices vertices =
            vorn::rendering::ObjLoader::expand(obj, indices);
        if (vertices.positions.size() != indices.size() ||
            vertices.normals.size() != indices.size() || vertices.uvs.size() != indices.size())
            __builtin_trap();
    }
    obj.dropped.describe("models/fuzz.obj");
    return 0;
}
