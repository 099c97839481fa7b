#pragma once

#include "audio/SoundManager.hpp"
#include "audio/SoundTable.hpp"
#include "engine/AssetRoot.hpp"
#include "support/GlTestContext.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace testsupport {

// A test that loads the game's own assets as the game does: silent sound output, a small OpenGL
// context, the source tree's asset folder as the asset root (given back afterwards) and the
// game's sound table known. A fixture that overrides SetUp calls this one first and returns when
// it failed (HasFatalFailure).
class GameAssetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ALSOFT_CONF", MOSSFANG_SOURCE_DIR "/scripts/openal-null.conf", 1);
        context = std::make_unique<GlTestContext>(8, 8);
        ASSERT_TRUE(context->ok()) << context->error();
        previousRoot = vorn::engine::assetRoot();
        vorn::engine::setAssetRoot(std::string(MOSSFANG_SOURCE_DIR) + "/assets/");
        // Once a process: the areas' sounds and music are known, as they are in the game.
        static const bool registered = [] {
            vorn::audio::registerSoundTable();
            return true;
        }();
        (void)registered;
    }
    void TearDown() override { vorn::engine::setAssetRoot(previousRoot); }

    // Each level load takes a scene slot that an area's sound clean-up would give back; a test
    // that loads without that clean-up gives it back with this.
    static void releaseSceneSlot() {
        vorn::audio::SoundManager& sound = vorn::audio::SoundManager::instance();
        const int slot = sound.currentSlot();
        sound.releaseSlot(slot);
        sound.freeSlot(slot);
    }

    std::unique_ptr<GlTestContext> context;
    std::string previousRoot;
};

} // namespace testsupport
