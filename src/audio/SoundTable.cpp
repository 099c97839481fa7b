#include "audio/SoundTable.hpp"

#include "audio/SoundManager.hpp"
#include "engine/AssetRoot.hpp"

namespace vorn::audio {

namespace {

struct TableRow {
    const char* name;
    const char* file;
    unsigned mode; // playback mode for sounds; music rows are marked by isMusic
    bool isMusic;
};

// Registration order: the sound effects (the longer journey's creatures and leaves, then the
// checkpoint's and the secret's chimes, after "shatter"), the music, then the two upgrade voices.
constexpr TableRow soundTable[] = {
    {"antDeath", "/sounds/SoundEffects/antDeath.wav", mode::LoopNormal, false},
    {"hit", "/sounds/SoundEffects/hitFast.wav", mode::LoopNormal, false},
    {"swing", "/sounds/SoundEffects/playerSwing.wav", mode::LoopNormal, false},
    {"ninjaDeath", "/sounds/SoundEffects/dyingNinja.wav", mode::LoopNormal, false},
    {"shinyPing", "/sounds/SoundEffects/shinyPing.wav", mode::LoopNormal, false},
    {"webRip", "/sounds/SoundEffects/webRip.wav", mode::LoopNormal, false},
    {"antBite", "/sounds/SoundEffects/antBite.wav", mode::Default, false},
    {"walking", "/sounds/SoundEffects/walkingOnRock.wav", mode::LoopNormal, false},
    {"jump", "/sounds/SoundEffects/ninjaJump0.wav", mode::LoopNormal, false},
    {"doubleJump", "/sounds/SoundEffects/ninjaJump1.wav", mode::LoopNormal, false},
    {"landing", "/sounds/SoundEffects/ninjaLand0.wav", mode::LoopNormal, false},
    {"antChit", "/sounds/SoundEffects/antChittering.wav", mode::LoopNormal, false},
    {"shatter", "/sounds/SoundEffects/shatter.wav", mode::LoopNormal, false},
    {"waspBuzz", "/sounds/SoundEffects/waspBuzz.wav", mode::LoopNormal, false},
    {"waspDeath", "/sounds/SoundEffects/waspDeath.wav", mode::LoopNormal, false},
    {"spiderDrop", "/sounds/SoundEffects/spiderDrop.wav", mode::LoopNormal, false},
    {"threadSnap", "/sounds/SoundEffects/threadSnap.wav", mode::LoopNormal, false},
    {"leafRustle", "/sounds/SoundEffects/leafRustle.wav", mode::LoopNormal, false},
    {"checkpoint", "/sounds/SoundEffects/checkpoint.wav", mode::LoopNormal, false},
    {"secretFound", "/sounds/SoundEffects/secretFound.wav", mode::LoopNormal, false},
    {"monsterSong", "/sounds/Music/Monster.mp3", 0, true},
    {"bitBitLoop", "/sounds/Music/Bit Bit Loop.mp3", 0, true},
    {"ambientB", "/sounds/Music/Ambient B Eastern Thought.mp3", 0, true},
    {"ambientG", "/sounds/Music/Ambient G Glowing.mp3", 0, true},
    {"ambientH", "/sounds/Music/Ambient H Spaced Out.mp3", 0, true},
    {"ambientN", "/sounds/Music/Ambient N Vibe Train.mp3", 0, true},
    {"chillDark", "/sounds/Music/Chill Dark.mp3", 0, true},
    {"electroShuffleDark", "/sounds/Music/ElectroShuffle Dark.mp3", 0, true},
    {"jumpUpgradeVoice", "/sounds/Dialogue/jumpUpgradeVoice.wav", mode::LoopNormal, false},
    {"swordUpgradeVoice", "/sounds/Dialogue/swordUpgradeVoice.wav", mode::LoopNormal, false},
};

} // namespace

void registerSoundTable() {
    registerSoundTable(SoundManager::instance(), engine::assetRoot());
}

void registerSoundTable(SoundManager& manager, const std::string& assetRoot) {
    manager.acquireSlot();
    for (const TableRow& row : soundTable) {
        const std::string path = assetRoot + row.file;
        if (row.isMusic)
            manager.registerMusic(path, row.name);
        else
            manager.registerSound(path, row.mode, row.name);
    }
}

} // namespace vorn::audio
