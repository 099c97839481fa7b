#pragma once

#include <string>

namespace vorn::engine {

// The folder every loader prefixes to its asset-relative paths ("assets/" in the game).
// Set once by the Application; read by every loader.
std::string assetRoot();

// Replaces the process-wide asset root.
void setAssetRoot(const std::string& root);

} // namespace vorn::engine
