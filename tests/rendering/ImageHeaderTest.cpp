// The picture checks that run before decoding: the sizes each format announces, the refusal of
// files that announce more than a texture may hold (found by fuzzing: a 79-byte GIF announcing
// 12622 x 24368 pixels made the decoder allocate over a gigabyte), and the PNG data check (found
// by fuzzing: a PNG whose compressed data was cut short kept the decoder busy for ever).
#include "rendering/ImageHeader.hpp"
#include "rendering/Texture.hpp"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
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

std::string bigEndian(std::uint32_t v) {
    return bytes({int(v >> 24), int((v >> 16) & 255), int((v >> 8) & 255), int(v & 255)});
}

std::string png(std::uint32_t w, std::uint32_t h) {
    return "\x89PNG\r\n\x1a\n" + bytes({0, 0, 0, 13}) + "IHDR" + bigEndian(w) + bigEndian(h) +
           bytes({8, 6, 0, 0, 0});
}

// One chunk with its length and checksum (`crcDelta` added to the checksum damages it).
std::string chunk(const std::string& type, const std::string& data, std::uint32_t crcDelta = 0) {
    const std::string body = type + data;
    const auto crc = static_cast<std::uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
    return bigEndian(static_cast<std::uint32_t>(data.size())) + body + bigEndian(crc + crcDelta);
}

// A whole RGBA PNG whose image data is `raw` (filter bytes included) compressed.
std::string wholePng(std::uint32_t w, std::uint32_t h, int interlace, const std::string& raw,
                     std::size_t keepCompressed = std::string::npos, std::uint32_t crcDelta = 0) {
    std::string packed(compressBound(static_cast<uLong>(raw.size())), '\0');
    uLongf packedSize = static_cast<uLongf>(packed.size());
    compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
              reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()), 9);
    packed.resize(std::min<std::size_t>(packedSize, keepCompressed));
    return "\x89PNG\r\n\x1a\n" +
           chunk("IHDR", bigEndian(w) + bigEndian(h) + bytes({8, 6, 0, 0, interlace})) +
           chunk("IDAT", packed, crcDelta) + chunk("IEND", "");
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

TEST(ImageHeaderTest, PngsWithDamagedDataAreRefusedBeforeDecoding) {
    // 64 x 64 RGBA: 64 rows of a filter byte and 256 bytes of pixels; interlaced, Adam7's seven
    // passes of 8x8, 8x8, 16x8, 16x16, 32x16, 32x32 and 64x32 pixels take 16504 bytes.
    const std::string rows(64 * 257, '\0');
    const std::string passes(16504, '\0');
    struct Case {
        const char* name;
        std::string data;
        bool intact;
    };
    const Case cases[] = {
        {"whole", wholePng(64, 64, 0, rows), true},
        {"whole, interlaced", wholePng(64, 64, 1, passes), true},
        // The fuzzer's finding in its plain form: with the stream cut, the decoder read zero bits
        // past its end, repeated the last run for ever and spun once its output passed 1 GiB.
        {"compressed data cut in half", wholePng(64, 64, 0, rows, 20), false},
        {"image data checksum wrong", wholePng(64, 64, 0, rows, std::string::npos, 1), false},
        {"one row short", wholePng(64, 64, 0, rows.substr(257)), false},
        {"one row too many", wholePng(64, 64, 0, rows + rows.substr(0, 257)), false},
        {"interlaced data for a plain picture", wholePng(64, 64, 0, passes), false},
        {"no end chunk", wholePng(64, 64, 0, rows).substr(0, wholePng(64, 64, 0, rows).size() - 12),
         false},
        {"header only", png(64, 64), false},
        {"not a png", "GIF89a" + bytes({0x10, 0, 0x20, 0, 0, 0, 0}), true},
    };
    for (const Case& c : cases) {
        std::istringstream in(c.data);
        EXPECT_EQ(ImageHeader::dataIntact(in), c.intact) << c.name;
        EXPECT_EQ(in.tellg(), 0) << c.name << ": the stream is back at its start";
        if (c.data.compare(0, 4, "\x89PNG") != 0)
            continue;
        sf::Image image;
        std::istringstream again(c.data);
        EXPECT_EQ(vorn::rendering::Texture::decode(again, image, 16384), c.intact) << c.name;
    }
}

TEST(ImageHeaderTest, TheGamesPicturesStillDecode) {
    namespace fs = std::filesystem;
    int pngs = 0;
    for (const auto& entry :
         fs::recursive_directory_iterator(fs::path(MOSSFANG_SOURCE_DIR) / "assets")) {
        if (entry.path().extension() != ".png")
            continue;
        std::ifstream file(entry.path(), std::ios::binary);
        EXPECT_TRUE(ImageHeader::dataIntact(file)) << entry.path();
        ++pngs;
    }
    EXPECT_GT(pngs, 0);
    for (const char* name : {"sugarParticle.png", "images/noise_norm.jpg"}) {
        std::ifstream file(std::string(MOSSFANG_SOURCE_DIR) + "/assets/" + name, std::ios::binary);
        ASSERT_TRUE(file) << name;
        sf::Image image;
        ASSERT_TRUE(vorn::rendering::Texture::decode(file, image, 16384)) << name;
        EXPECT_GT(image.getSize().x, 0u) << name;
    }
}
