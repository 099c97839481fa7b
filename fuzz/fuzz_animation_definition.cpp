// Animation definition files: the model name and the segment list, without importing the model.
#include "FuzzInput.hpp"
#include "rendering/AnimatedMesh.hpp"
#include "rendering/AnimatedMeshLoader.hpp"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::QuietDiagnostics quiet;
    std::istringstream in(fuzzing::asText(data, size));
    const auto mesh = vorn::rendering::AnimatedMeshLoader::readDefinition(
        in, "models/fuzzAnimations.txt", [](const std::string&) { return nullptr; });
    if (!mesh)
        __builtin_trap();
    return 0;
}
