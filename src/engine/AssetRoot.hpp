#pragma once

#include <string>

namespace vorn::engine {

// The folder every loader prefixes to its asset-relative paths ("assets/" in the game).
// Set once by the Application; read by every loader.
std::string assetRoot();

// Replaces the process-wide asset root.
void setAssetRoot(const std::string& root);

// Whether `name`, relative to `folder` under the asset root (the root itself by default), names
// something inside the asset folder: it is not absolute and no ".." in it climbs above the root
// ("models/../images/a.png" stays inside, "../a.png" and "models/../../a.png" do not; "../a.txt"
// relative to "levels/" does). Only the text is looked at, never the disk.
bool staysInsideAssetRoot(const std::string& name, const std::string& folder = "");

// The check every name read from a file goes through before a loader joins it to the asset root:
// true when it stays inside; otherwise one line on the error stream names it and `namedBy` (the
// entry or file that named it; may be empty) and the result is false, so that nothing outside the
// asset folder is ever opened through a game file. A name relative to a folder of the asset root
// (a door's level file, under "levels/") is checked with that folder in front.
bool acceptAssetName(const std::string& name, const std::string& namedBy,
                     const std::string& folder = "");

} // namespace vorn::engine
