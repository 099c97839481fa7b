// Level files through the whole loader into a world, on a hidden GL context (the models, programs
// and textures the templates name are real). Needs an X display: scripts/fuzz.sh runs it under
// Xvfb. The templates' resources are loaded once at start-up and held, so each input costs only
// its own entities.
#include "FuzzInput.hpp"
#include "audio/SoundManager.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/World.hpp"
#include "game/LevelLoader.hpp"
#include "support/GlTestContext.hpp"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

// The context and the world that holds every template's shared resources live until the process
// ends and are never destroyed: at exit SFML's own globals are gone before ours would be, and
// releasing GL objects then crashes inside SFML. Both stay reachable, so no leak is reported.
testsupport::GlTestContext* context = nullptr;
vorn::engine::World* keepAlive = nullptr;

// Each load takes a scene slot that an area's sound clean-up would give back; so do we.
void releaseSceneSlot() {
    vorn::audio::SoundManager& sound = vorn::audio::SoundManager::instance();
    const int slot = sound.currentSlot();
    sound.releaseSlot(slot);
    sound.freeSlot(slot);
}

bool loadLevel(std::istream& in, vorn::engine::World& world) {
    game::LevelLoader::CarriedPlayer nobody;
    const bool ok = game::LevelLoader::load(in, world, nobody, "gameSpace", "");
    releaseSceneSlot();
    return ok;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("ALSOFT_CONF", MOSSFANG_SOURCE_DIR "/scripts/openal-null.conf", 0);
    vorn::engine::setAssetRoot(MOSSFANG_SOURCE_DIR "/assets/");
    context = new testsupport::GlTestContext(8, 8);
    if (!context->ok()) {
        std::fprintf(stderr, "fuzz_level: no GL context: %s\n", context->error().c_str());
        std::exit(1);
    }
    fuzzing::QuietDiagnostics quiet;
    keepAlive = new vorn::engine::World();
    std::ifstream all(MOSSFANG_SOURCE_DIR "/tests/game/levels/everyTemplate.txt");
    loadLevel(all, *keepAlive);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::QuietDiagnostics quiet;
    auto world = std::make_shared<vorn::engine::World>();
    std::istringstream in(fuzzing::asText(data, size));
    loadLevel(in, *world);
    return 0;
}
