#include "engine/AssetRoot.hpp"

#include "engine/Diagnostics.hpp"

namespace vorn::engine {

namespace {
std::string& rootStorage() {
    static std::string root = "assets/";
    return root;
}
} // namespace

std::string assetRoot() {
    return rootStorage();
}

void setAssetRoot(const std::string& root) {
    rootStorage() = root;
}

bool staysInsideAssetRoot(const std::string& name, const std::string& folder) {
    if (!name.empty() && name.front() == '/')
        return false;
    // Depth below the root, folder by folder: "." and empty parts ("a//b") stay, ".." goes up.
    const std::string path = folder + name;
    int depth = 0;
    std::string::size_type start = 0;
    while (start <= path.size()) {
        std::string::size_type end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (--depth < 0)
                return false;
        } else if (!part.empty() && part != ".") {
            ++depth;
        }
        start = end + 1;
    }
    return true;
}

bool acceptAssetName(const std::string& name, const std::string& namedBy,
                     const std::string& folder) {
    if (staysInsideAssetRoot(name, folder))
        return true;
    std::ostream& err = Diagnostics::err();
    err << "Refused the file name \"" << name << "\"";
    if (!namedBy.empty())
        err << " of " << namedBy;
    err << ": it leads outside the asset folder\n";
    return false;
}

} // namespace vorn::engine
