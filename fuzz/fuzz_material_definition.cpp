// Material definition files, with programs and textures left out (no GL here).
#include "FuzzInput.hpp"
#include "rendering/Material.hpp"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::QuietDiagnostics quiet;
    std::istringstream in(fuzzing::asText(data, size));
    const auto material = vorn::rendering::Material::readDefinition(
        in, "materials/fuzz.txt", [](const std::string&) { return nullptr; },
        [](const std::string&) { return nullptr; });
    if (!material)
        __builtin_trap();
    return 0;
}
