#pragma once

#include <string>

namespace vorn::audio {

class SoundManager;

// Registers every named sound effect and music track of the game, in the game's order, with the
// process-wide sound manager (acquiring it first), the files taken from the asset root.
void registerSoundTable();

// The same with a given manager and asset root (the root is put in front of each table path).
void registerSoundTable(SoundManager& manager, const std::string& assetRoot);

} // namespace vorn::audio
