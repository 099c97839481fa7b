// Every file the game loads by name is present under assets/ and decodes: models parse with the
// game's own OBJ and MTL readers, pictures decode with the sizes the screens rely on, sounds and
// music decode with libsndfile and are audible. No GL is needed.
#include "rendering/MtlLoader.hpp"
#include "rendering/ObjLoader.hpp"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using vorn::rendering::Material;
using vorn::rendering::MtlLoader;
using vorn::rendering::ObjLoader;

namespace {

const std::string root = std::string(MOSSFANG_SOURCE_DIR) + "/assets/";

// The models the levels, the credits pages and the pickups build, by file name.
const std::vector<std::string> models = {"flatPlatformLen3", "SmallPlatform",
                                         "Platform3x3",      "rock_platform",
                                         "spider_web",       "mushroom_single",
                                         "mushroom_cluster", "boulder",
                                         "breakable",        "spikes",
                                         "SugarPile",        "antEgg",
                                         "candy_corn",       "shinyThing",
                                         "Quarrow",          "worker_ant",
                                         "soldier_ant",      "spider",
                                         "grasshopper",      "jumpUpgrade",
                                         "CrossedSwords",    "wasp",
                                         "waspBody",         "waspWings",
                                         "spiderThread",     "movingLeaf",
                                         "burrowDoor",       "checkpointMushroom"};

// Object-space normal maps of the normal-mapped level pieces.
const std::vector<std::string> normalMaps = {
    "PlatformLen3Normals.png", "smallPlatformNormals.png", "platform3x3Normals.png",
    "rockNormals.png",         "boulderObjectNormals.png", "breakableNormals.png",
    "spikeNormals.png",        "movingLeafNormals.png",    "burrowDoorNormals.png",
    "checkpointMushroomNormals.png"};

struct Picture {
    std::string path;
    unsigned width;  // 0: any
    unsigned height; // 0: any
};

// Pictures by their asset-relative names; full-screen pictures are drawn over the whole 800 x 600
// window, the noise texture is sampled as a 256 x 256 tile.
const std::vector<Picture> pictures = {{"menu.png", 800, 600},
                                       {"controls_screen.png", 800, 600},
                                       {"summary.png", 800, 600},
                                       {"menu/start.png", 240, 64},
                                       {"menu/continue.png", 240, 64},
                                       {"menu/newGame.png", 240, 64},
                                       {"menu/settings.png", 240, 64},
                                       {"menu/controls.png", 240, 64},
                                       {"menu/credits.png", 240, 64},
                                       {"menu/quit.png", 240, 64},
                                       {"menu/resume.png", 240, 64},
                                       {"menu/leave.png", 240, 64},
                                       {"menu/stay.png", 240, 64},
                                       {"menu/marker.png", 0, 0},
                                       {"menu/quitPrompt.png", 0, 0},
                                       {"pause/shade.png", 0, 0},
                                       {"pause/panel.png", 360, 400},
                                       {"pause/leavePanel.png", 360, 400},
                                       {"settings_screen.png", 800, 600},
                                       {"settings_focus.png", 640, 38},
                                       {"to continue.png", 0, 0},
                                       {"credits_label1.png", 800, 600},
                                       {"credits_label2.png", 800, 600},
                                       {"credits_label3.png", 800, 600},
                                       {"credits_label4.png", 800, 600},
                                       {"credits_label5.png", 800, 600},
                                       {"credits_label6.png", 800, 600},
                                       {"images/HealthBar.png", 0, 0},
                                       {"images/EnergyBar.png", 0, 0},
                                       {"images/Game HUD.png", 0, 0},
                                       {"images/punchSprite.png", 0, 0},
                                       {"images/PromptPlate.png", 0, 0},
                                       {"images/Fade.png", 0, 0},
                                       {"images/noise_norm.jpg", 256, 256},
                                       {"images/StartAreaBackground.png", 0, 0},
                                       {"DirtParticle.png", 0, 0},
                                       {"sugarParticle.png", 0, 0},
                                       {"textFonts/HarringtonFont.png", 0, 0}};

const std::vector<std::string> sounds = {
    "sounds/SoundEffects/antDeath.wav",      "sounds/SoundEffects/hitFast.wav",
    "sounds/SoundEffects/playerSwing.wav",   "sounds/SoundEffects/dyingNinja.wav",
    "sounds/SoundEffects/shinyPing.wav",     "sounds/SoundEffects/webRip.wav",
    "sounds/SoundEffects/antBite.wav",       "sounds/SoundEffects/walkingOnRock.wav",
    "sounds/SoundEffects/ninjaJump0.wav",    "sounds/SoundEffects/ninjaJump1.wav",
    "sounds/SoundEffects/ninjaLand0.wav",    "sounds/SoundEffects/antChittering.wav",
    "sounds/SoundEffects/shatter.wav",       "sounds/Dialogue/jumpUpgradeVoice.wav",
    "sounds/Dialogue/swordUpgradeVoice.wav", "sounds/SoundEffects/waspBuzz.wav",
    "sounds/SoundEffects/waspDeath.wav",     "sounds/SoundEffects/spiderDrop.wav",
    "sounds/SoundEffects/threadSnap.wav",    "sounds/SoundEffects/leafRustle.wav",
    "sounds/SoundEffects/checkpoint.wav",    "sounds/SoundEffects/secretFound.wav"};

const std::vector<std::string> music = {"sounds/Music/Monster.mp3",
                                        "sounds/Music/Bit Bit Loop.mp3",
                                        "sounds/Music/Ambient B Eastern Thought.mp3",
                                        "sounds/Music/Ambient G Glowing.mp3",
                                        "sounds/Music/Ambient H Spaced Out.mp3",
                                        "sounds/Music/Ambient N Vibe Train.mp3",
                                        "sounds/Music/Chill Dark.mp3",
                                        "sounds/Music/ElectroShuffle Dark.mp3"};

struct Decoded {
    bool opened = false;
    double seconds = 0.0;
    double rms = 0.0;
};

Decoded decodeAudio(const std::string& path) {
    Decoded result;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return result;
    result.opened = true;
    std::vector<float> block(4096 * static_cast<size_t>(std::max(info.channels, 1)));
    double sum = 0.0;
    sf_count_t total = 0;
    sf_count_t got;
    while ((got = sf_readf_float(file, block.data(), 4096)) > 0) {
        for (sf_count_t i = 0; i < got * info.channels; ++i)
            sum +=
                static_cast<double>(block[static_cast<size_t>(i)]) * block[static_cast<size_t>(i)];
        total += got;
    }
    sf_close(file);
    if (total > 0 && info.samplerate > 0) {
        result.seconds = static_cast<double>(total) / info.samplerate;
        result.rms = std::sqrt(sum / static_cast<double>(total * info.channels));
    }
    return result;
}

} // namespace

TEST(AssetModels, EveryModelParsesWithItsIndicesInRangeAndAMaterialForEveryGroup) {
    for (const std::string& name : models) {
        SCOPED_TRACE(name);
        std::ifstream in(root + "models/" + name + ".obj");
        ASSERT_TRUE(in) << "missing models/" << name << ".obj";
        const auto data = ObjLoader::parse(in, root + "models/");
        ASSERT_FALSE(data.groups.empty());
        ASSERT_FALSE(data.materialLibraries.empty()) << "no mtllib";
        size_t faces = 0;
        for (const auto& group : data.groups) {
            EXPECT_EQ(group.second.size() % 3, 0u);
            for (const auto& index : group.second) {
                EXPECT_GE(index.position, 1u);
                EXPECT_LT(index.position, data.positions.size());
                EXPECT_GE(index.normal, 1u);
                EXPECT_LT(index.normal, data.normals.size());
                EXPECT_GE(index.uv, 1u);
                EXPECT_LT(index.uv, data.uvs.size());
            }
            faces += group.second.size() / 3;
        }
        EXPECT_GT(faces, 10u);

        // Every group finds its material, and every texture a material names decodes.
        std::vector<std::string> texturePaths;
        for (const std::string& library : data.materialLibraries) {
            std::ifstream mtl(library);
            ASSERT_TRUE(mtl) << "missing " << library;
            const std::string directory = library.substr(0, library.find_last_of('/') + 1);
            const auto materials = MtlLoader::parse(
                mtl, directory, [](const std::string&) { return nullptr; },
                [&](const std::string& path) {
                    texturePaths.push_back(path);
                    return nullptr;
                });
            for (const auto& group : data.groups) {
                if (!group.second.empty()) {
                    EXPECT_TRUE(materials->count(group.first)) << "no material " << group.first;
                }
            }
        }
        EXPECT_FALSE(texturePaths.empty()) << "the model has no diffuse texture";
        for (const std::string& path : texturePaths) {
            sf::Image image;
            EXPECT_TRUE(image.loadFromFile(path)) << path;
        }
    }
}

TEST(AssetModels, NormalMapsDecodeToUnitNormals) {
    for (const std::string& name : normalMaps) {
        SCOPED_TRACE(name);
        sf::Image image;
        ASSERT_TRUE(image.loadFromFile(root + "models/" + name));
        const sf::Vector2u size = image.getSize();
        ASSERT_GE(size.x, 64u);
        // Sample a grid: stored normals are n * 0.5 + 0.5 and must be close to unit length.
        int unit = 0, samples = 0;
        for (unsigned y = 0; y < size.y; y += size.y / 16)
            for (unsigned x = 0; x < size.x; x += size.x / 16) {
                const sf::Color c = image.getPixel(x, y);
                const float nx = c.r / 127.5f - 1.0f, ny = c.g / 127.5f - 1.0f,
                            nz = c.b / 127.5f - 1.0f;
                const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
                unit += std::fabs(length - 1.0f) < 0.08f;
                ++samples;
            }
        EXPECT_GT(unit, samples * 9 / 10);
    }
}

TEST(AssetPictures, EveryPictureDecodesWithItsSize) {
    for (const Picture& picture : pictures) {
        SCOPED_TRACE(picture.path);
        sf::Image image;
        ASSERT_TRUE(image.loadFromFile(root + picture.path));
        if (picture.width) {
            EXPECT_EQ(image.getSize().x, picture.width);
            EXPECT_EQ(image.getSize().y, picture.height);
        }
    }
}

TEST(AssetPictures, AtLeastFourAreaBackgroundsExist) {
    int backgrounds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root + "images")) {
        const std::string name = entry.path().filename().string();
        if (name.find("Background") != std::string::npos) {
            sf::Image image;
            EXPECT_TRUE(image.loadFromFile(entry.path().string())) << name;
            ++backgrounds;
        }
    }
    EXPECT_GE(backgrounds, 4);
}

TEST(AssetPictures, FontAtlasIsASixteenBySixteenGridOfWhiteGlyphsOnTransparency) {
    sf::Image atlas;
    ASSERT_TRUE(atlas.loadFromFile(root + "textFonts/HarringtonFont.png"));
    const unsigned w = atlas.getSize().x, h = atlas.getSize().y;
    ASSERT_EQ(w, h);
    ASSERT_EQ(w % 16, 0u);
    const unsigned cell = w / 16;
    auto inkOf = [&](int code) {
        const unsigned x0 = (code % 16) * cell, y0 = (code / 16) * cell;
        int ink = 0;
        for (unsigned y = y0; y < y0 + cell; ++y)
            for (unsigned x = x0; x < x0 + cell; ++x) {
                const sf::Color c = atlas.getPixel(x, y);
                if (c.a > 128) {
                    ++ink;
                    EXPECT_GT(c.r, 200);
                }
            }
        return ink;
    };
    EXPECT_EQ(inkOf(' '), 0);
    for (const char c : std::string("0123456789+AZaz")) {
        EXPECT_GT(inkOf(c), static_cast<int>(cell * cell / 40)) << c;
    }
    // Different characters are different pictures.
    EXPECT_NE(inkOf('1'), inkOf('8'));
}

TEST(AssetSounds, EveryEffectDecodesAndIsAudible) {
    for (const std::string& path : sounds) {
        SCOPED_TRACE(path);
        const Decoded decoded = decodeAudio(root + path);
        ASSERT_TRUE(decoded.opened);
        EXPECT_GT(decoded.seconds, 0.05);
        EXPECT_LT(decoded.seconds, 10.0);
        EXPECT_GT(decoded.rms, 0.01);
    }
}

TEST(AssetSounds, EveryMusicTrackDecodesLoopsForHalfAMinuteToNinetySecondsAndIsAudible) {
    for (const std::string& path : music) {
        SCOPED_TRACE(path);
        const Decoded decoded = decodeAudio(root + path);
        ASSERT_TRUE(decoded.opened);
        EXPECT_GE(decoded.seconds, 29.5);
        EXPECT_LE(decoded.seconds, 91.0);
        EXPECT_GT(decoded.rms, 0.02);
    }
}
