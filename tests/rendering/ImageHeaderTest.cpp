// The picture header check that runs before decoding: the sizes each format announces, and the
// refusal of files that announce more than a texture may hold (found by fuzzing: a 79-byte GIF
// announcing 12622 x 24368 pixels made the decoder allocate over a gigabyte).
#include "rendering/ImageHeader.hpp"
#include "rendering/Texture.hpp"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

using vorn::rendering::ImageHeader;

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

std::string png(std::uint32_t w, std::uint32_t h) {
    std::string s = "\x89PNG\r\n\x1a\n" + bytes({0, 0, 0, 13}) + "IHDR";
    for (std::uint32_t v : {w, h})
        s += bytes({int(v >> 24), int((v >> 16) & 255), int((v >> 8) & 255), int(v & 255)});
    return s + bytes({8, 6, 0, 0, 0});
}

} // namespace

TEST(ImageHeaderTest, ReadsTheAnnouncedSizeOfEachFormat) {
    struct Case {
        const char* name;
        std::string data;
        bool known;
        std::uint32_t width, height;
    };
    const std::string tga = bytes({0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x40, 1, 0x20, 0, 32, 0});
    const Case cases[] = {
        {"png", png(640, 480), true, 640, 480},
        {"gif", "GIF89a" + bytes({0x10, 0, 0x20, 0, 0, 0, 0}), true, 16, 32},
        {"bmp, rows top-down",
         "BM" + std::string(16, '\0') + bytes({3, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0}), true, 3,
         2},
        {"jpeg, frame after an APP0 segment",
         bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 1, 2, 0xFF, 0xC0, 0, 11, 8, 0, 50, 1, 44}), true, 300,
         50},
        {"tga", tga, true, 320, 32},
        {"png cut short", png(640, 480).substr(0, 20), false, 0, 0},
        {"jpeg without a frame", bytes({0xFF, 0xD8, 0xFF, 0xD9}), false, 0, 0},
        {"psd", "8BPS" + std::string(30, '\0'), false, 0, 0},
        {"empty", "", false, 0, 0},
    };
    for (const Case& c : cases) {
        std::istringstream in(c.data);
        std::uint32_t w = 7;
        std::uint32_t h = 7;
        EXPECT_EQ(ImageHeader::announcedSize(in, w, h), c.known) << c.name;
        if (c.known) {
            EXPECT_EQ(w, c.width) << c.name;
            EXPECT_EQ(h, c.height) << c.name;
        }
        EXPECT_EQ(in.tellg(), 0) << c.name << ": the stream is back at its start";
    }
}

TEST(ImageHeaderTest, HugeAnnouncedPicturesAreRefusedBeforeDecoding) {
    // The fuzzer's finding, byte for byte.
    const std::string gif =
        "GIF87aN10__cxxabiv120__si_class_type_infoE" +
        bytes({0x81, 0, 0, 0xC8, 0x28, 0x0A, 0, 0, 0, 0, 0, 0,    0,    0,    0,    0x2C, 0, 0,   0,
               0,    5, 0, 3,    0,    0,    8, 8, 0, 1, 8, 0x1C, 0x48, 0xB0, 0x60, 0x40, 0, 0x3B});
    struct Case {
        const char* name;
        std::string data;
        unsigned maxSide;
        bool acceptable;
    };
    const Case cases[] = {
        {"fuzzed gif", gif, 16384, false},
        {"png over the pixel budget", png(8192, 4096), 16384, false},
        {"png over the side limit", png(2048, 16), 1024, false},
        {"png of zero width", png(0, 16), 1024, false},
        {"png within both", png(4096, 4096), 16384, true},
    };
    for (const Case& c : cases) {
        std::istringstream in(c.data);
        EXPECT_EQ(ImageHeader::acceptable(in, c.maxSide), c.acceptable) << c.name;
        sf::Image image;
        std::istringstream again(c.data);
        if (!c.acceptable) {
            EXPECT_FALSE(vorn::rendering::Texture::decode(again, image, c.maxSide)) << c.name;
        }
    }
}

TEST(ImageHeaderTest, TheGamesPicturesStillDecode) {
    for (const char* name : {"sugarParticle.png", "images/noise_norm.jpg"}) {
        std::ifstream file(std::string(MOSSFANG_SOURCE_DIR) + "/assets/" + name, std::ios::binary);
        ASSERT_TRUE(file) << name;
        sf::Image image;
        ASSERT_TRUE(vorn::rendering::Texture::decode(file, image, 16384)) << name;
        EXPECT_GT(image.getSize().x, 0u) << name;
    }
}
