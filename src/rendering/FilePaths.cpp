#include "rendering/FilePaths.hpp"

#include <fstream>

namespace vorn::rendering {

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool readTextLines(const std::string& path, std::string& text) {
    text.clear();
    std::ifstream file(path);
    if (!file)
        return false;
    std::string line;
    while (std::getline(file, line)) {
        text += line;
        text += '\n';
    }
    return true;
}

} // namespace vorn::rendering
