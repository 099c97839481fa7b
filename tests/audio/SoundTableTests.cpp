// Start-up registration of the game's sound table: every name, file and mode, from the asset root.

#include "AudioTestSupport.hpp"

#include "audio/SoundManager.hpp"
#include "audio/SoundTable.hpp"
#include "engine/DiagnosticsCapture.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

using namespace vorn::audio;
using vorn::engine::DiagnosticsCapture;

namespace {

std::unique_ptr<SoundManager> unacquiredLoopbackManager() {
    auto system = std::make_unique<SoundSystem>();
    EXPECT_EQ(system->setOutput(OutputType::Loopback), Result::Ok);
    return std::make_unique<SoundManager>(std::move(system));
}

} // namespace

TEST(SoundTableTest, RegistersEveryNameFromTheAssetRoot) {
    audiotest::TempDir dir;
    audiotest::writeTableFiles(dir.path());
    auto manager = unacquiredLoopbackManager();
    const DiagnosticsCapture capture;
    registerSoundTable(*manager, dir.path() + "/");
    EXPECT_EQ(capture.outText(), "") << "every file found and loaded";
    EXPECT_TRUE(manager->isInitialized());
    EXPECT_EQ(manager->slotMask(), 1u) << "the registration acquires the manager";
    EXPECT_EQ(manager->soundCount(), 22u);
    EXPECT_EQ(manager->musicCount(), 8u);

    for (const audiotest::TableFile& row : audiotest::tableFiles()) {
        if (row.musicFrequency > 0) {
            manager->playMusic(row.name, 1.0f, 0.0f);
            ASSERT_NE(manager->currentMusic().sound, nullptr) << row.name;
            EXPECT_EQ(manager->currentMusic().name, row.name);
            EXPECT_TRUE(manager->currentMusic().sound->isStream()) << row.name;
            const unsigned mode = manager->currentMusic().sound->getMode();
            EXPECT_EQ(mode & (mode::LoopNormal | mode::TwoD), mode::LoopNormal | mode::TwoD);
            // The right file plays: its own tone is in the mix.
            const auto capture = audiotest::runFrames(*manager, 60.0, 0.2).tail(0.1);
            EXPECT_GT(capture.toneLevel(0, row.musicFrequency), 0.1) << row.name;
            continue;
        }
        SoundInstance* instance =
            manager->createSoundInstance(row.name, glm::vec3(0.0f), glm::vec3(0.0f));
        ASSERT_NE(instance, nullptr) << row.name;
        ASSERT_NE(instance->sound, nullptr) << row.name;
        EXPECT_FALSE(instance->sound->isStream());
        EXPECT_EQ(instance->sound->channels(), 1) << "positioned sounds are mono";
        const bool loops = (instance->sound->getMode() & mode::LoopNormal) != 0;
        EXPECT_EQ(loops, std::string(row.name) != "antBite") << row.name;
        float minimum = 0.0f;
        float maximum = 0.0f;
        instance->sound->get3DMinMaxDistance(minimum, maximum);
        EXPECT_FLOAT_EQ(minimum, 0.5f);
        EXPECT_FLOAT_EQ(maximum, 5000.0f);
    }
}

TEST(SoundTableTest, AMissingFileIsReportedAndTheGameGoesOnSilentForIt) {
    audiotest::TempDir dir;
    audiotest::writeTableFiles(dir.path());
    std::filesystem::remove(dir.path() + "/sounds/SoundEffects/hitFast.wav");
    std::filesystem::remove(dir.path() + "/sounds/Music/Chill Dark.mp3");
    auto manager = unacquiredLoopbackManager();
    std::optional<DiagnosticsCapture> messages;
    messages.emplace();
    registerSoundTable(*manager, dir.path() + "/");
    const std::string missing = std::string("FMOD error! (5) ") + resultString(5) + "\n";
    EXPECT_EQ(messages->outText(), missing + missing);
    EXPECT_EQ(manager->soundCount(), 22u);
    EXPECT_EQ(manager->musicCount(), 8u);

    messages.emplace();
    SoundInstance* hit = manager->createSoundInstance("hit", glm::vec3(0.0f), glm::vec3(0.0f));
    ASSERT_NE(hit, nullptr);
    manager->playInstance(hit, glm::vec3(0.0f, 0.0f, 1.0f), 1.0f, 1.0f, 10000.0f);
    manager->playMusic("chillDark", 0.3f, 5.0f);
    SoundInstance* swing = manager->createSoundInstance("swing", glm::vec3(0.0f), glm::vec3(0.0f));
    manager->playInstance(swing, glm::vec3(0.0f, 0.0f, 1.0f), 1.0f, 1.0f, 10000.0f);
    const auto capture = audiotest::runFrames(*manager, 60.0, 0.1);
    EXPECT_GT(capture.toneLevel(0, 1000), 0.05) << "the rest of the table plays";
    EXPECT_EQ(messages->outText(), "");
}

TEST(SoundTableTest, TheGamesOwnSoundFilesLoad) {
    const std::string root = std::string(MOSSFANG_SOURCE_DIR) + "/assets/";
    std::string expected;
    int present = 0;
    for (const audiotest::TableFile& row : audiotest::tableFiles()) {
        if (std::filesystem::is_regular_file(root + row.file)) {
            ++present;
        } else {
            expected += std::string("FMOD error! (5) ") + resultString(5) + "\n";
        }
    }
    ASSERT_GT(present, 0) << "no sound files under " << root;
    auto manager = unacquiredLoopbackManager();
    const DiagnosticsCapture capture;
    registerSoundTable(*manager, root);
    EXPECT_EQ(capture.outText(), expected) << "a file that is there must load";
}
