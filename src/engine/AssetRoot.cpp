#include "engine/AssetRoot.hpp"

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

} // namespace vorn::engine
