#pragma once

// Helpers shared by the fuzz targets: turning libFuzzer's bytes into the streams and file sets the
// loaders read, and keeping the loaders' messages out of the fuzzer's output.

#include "engine/DiagnosticsCapture.hpp"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace fuzzing {

// The input as a string of bytes.
inline std::string asText(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// Splits a multi-file input into a file set. The first part is the main file, stored under
// `mainName`; the input continues with any number of further files, each introduced by a line
// "@@ NAME" (the separator's line end belongs to the separator, the file runs to the next one).
inline std::map<std::string, std::string> splitFileSet(const std::string& input,
                                                       const std::string& mainName) {
    static const std::string marker = "\n@@ ";
    std::map<std::string, std::string> files;
    std::size_t end = input.find(marker);
    files[mainName] = input.substr(0, end);
    while (end != std::string::npos) {
        const std::size_t nameStart = end + marker.size();
        std::size_t nameEnd = input.find('\n', nameStart);
        if (nameEnd == std::string::npos)
            nameEnd = input.size();
        const std::string name = input.substr(nameStart, nameEnd - nameStart);
        end = nameEnd < input.size() ? input.find(marker, nameEnd) : std::string::npos;
        const std::size_t bodyStart = std::min(nameEnd + 1, input.size());
        files[name] =
            input.substr(bodyStart, end == std::string::npos ? std::string::npos : end - bodyStart);
    }
    return files;
}

// Swallows the loaders' messages for one input: the fuzzer runs millions of inputs.
using QuietDiagnostics = vorn::engine::DiagnosticsCapture;

} // namespace fuzzing
