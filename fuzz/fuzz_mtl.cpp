// Wavefront MTL material libraries, with programs and textures left out (no GL here).
#include "FuzzInput.hpp"
#include "rendering/Material.hpp"
#include "rendering/MtlLoader.hpp"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::QuietDiagnostics quiet;
    std::istringstream in(fuzzing::asText(data, size));
    const auto library = vorn::rendering::MtlLoader::parse(
        in, "models/", [](const std::string&) { return nullptr; },
        [](const std::string&) { return nullptr; });
    if (!library)
        __builtin_trap();
    return 0;
}
