// A shader program definition and the stage sources it names, with their includes expanded from
// an in-memory file set: the definition is the input's first part, further files follow as
// "@@ NAME" parts (names as the definition's "key" and the #include lines give them).
#include "FuzzInput.hpp"
#include "rendering/FilePaths.hpp"
#include "rendering/ShaderIncludes.hpp"
#include "rendering/ShaderProgram.hpp"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::QuietDiagnostics quiet;
    const auto files = fuzzing::splitFileSet(fuzzing::asText(data, size), "program.txt");
    const vorn::rendering::IncludeReader read = [&files](const std::string& path,
                                                         std::string& lines) {
        const auto found = files.find(path);
        if (found == files.end())
            return false;
        lines = found->second;
        if (!lines.empty() && lines.back() != '\n')
            lines += '\n'; // as readTextLines ends every line
        return true;
    };
    std::istringstream in(files.at("program.txt"));
    std::string error;
    for (const auto& entry : vorn::rendering::ShaderProgram::readDefinition(in, error)) {
        vorn::rendering::ShaderProgram::stageType(entry.type);
        std::string text;
        if (!entry.key.empty())
            read(entry.key, text);
        text = entry.data + "\n#line 1\n" + text;
        vorn::rendering::expandIncludes(text, vorn::rendering::directoryOf(entry.key), 0, read);
    }
    return 0;
}
