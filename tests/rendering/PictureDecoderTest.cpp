// The picture decoder (libpng and libjpeg-turbo): the size limits it checks before allocating,
// damaged files refused through the libraries' own error handling, the damaged JPEG that made the
// old bundled decoder abort (found by fuzzing), and the game's own pictures.
#include "rendering/PictureDecoder.hpp"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>
#include <zlib.h>

// libjpeg's header needs size_t and FILE declared before it.
#include <cstdio>
#include <jpeglib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

using vorn::rendering::PictureDecoder;

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

// One chunk with its length and checksum (`crcDelta` added to the checksum damages it).
std::string chunk(const std::string& type, const std::string& data, std::uint32_t crcDelta = 0) {
    const std::string body = type + data;
    const auto crc = static_cast<std::uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
    return bigEndian(static_cast<std::uint32_t>(data.size())) + body + bigEndian(crc + crcDelta);
}

// A whole PNG of the given bit depth and colour type whose image data is `raw` (filter bytes
// included), compressed; `keepCompressed` cuts the compressed data, `crcDelta` damages its chunk.
std::string wholePng(std::uint32_t w, std::uint32_t h, int depth, int colour,
                     const std::string& raw, std::size_t keepCompressed = std::string::npos,
                     std::uint32_t crcDelta = 0) {
    std::string packed(compressBound(static_cast<uLong>(raw.size())), '\0');
    uLongf packedSize = static_cast<uLongf>(packed.size());
    compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
              reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()), 9);
    packed.resize(std::min<std::size_t>(packedSize, keepCompressed));
    return "\x89PNG\r\n\x1a\n" +
           chunk("IHDR", bigEndian(w) + bigEndian(h) + bytes({depth, colour, 0, 0, 0})) +
           chunk("IDAT", packed, crcDelta) + chunk("IEND", "");
}

// A black one-bit grey PNG: a large picture costs little to build.
std::string blackPng(std::uint32_t w, std::uint32_t h) {
    return wholePng(w, h, 1, 0, std::string(h * (1 + (w + 7) / 8), '\0'));
}

// A JPEG of w x h pixels, all of one grey, encoded by libjpeg.
std::string greyJpeg(unsigned w, unsigned h) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* memory = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &memory, &size);
    info.image_width = w;
    info.image_height = h;
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(w, 90);
    while (info.next_scanline < h) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::string file(reinterpret_cast<const char*>(memory), size);
    jpeg_destroy_compress(&info);
    free(memory);
    return file;
}

// The same file announcing another size in its frame header (its data then runs out early).
std::string announcing(std::string jpeg, unsigned w, unsigned h) {
    const std::size_t frame = jpeg.find("\xFF\xC0");
    jpeg.replace(frame + 5, 4, bytes({int(h >> 8), int(h & 255), int(w >> 8), int(w & 255)}));
    return jpeg;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool decodes(const std::string& data, unsigned maxSide, sf::Image& image) {
    std::istringstream in(data);
    return PictureDecoder::decode(in, image, maxSide);
}

} // namespace

TEST(PictureDecoderTest, SizesOutsideTheLimitsAreRefusedBeforeDecoding) {
    // Each refused file would decode were it not for its size.
    struct Case {
        const char* name;
        std::string data;
        unsigned maxSide;
        bool decoded;
    };
    const std::string jpeg = greyJpeg(64, 16);
    const Case cases[] = {
        {"png over the pixel budget", blackPng(8192, 4096), 16384, false},
        {"png over the side limit", blackPng(2048, 16), 1024, false},
        {"png at both limits", blackPng(4096, 4096), 4096, true},
        {"jpeg over the side limit", jpeg, 32, false},
        {"jpeg at the side limit", jpeg, 64, true},
        {"jpeg announcing more than the pixel budget", announcing(jpeg, 8192, 4096), 16384, false},
    };
    for (const Case& c : cases) {
        sf::Image image;
        EXPECT_EQ(decodes(c.data, c.maxSide, image), c.decoded) << c.name;
        EXPECT_EQ(image.getSize().x > 0, c.decoded) << c.name;
    }
}

TEST(PictureDecoderTest, DamagedOrForeignFilesAreRefused) {
    // 64 x 64 RGBA: 64 rows of a filter byte and 256 bytes of pixels.
    const std::string rows(64 * 257, '\0');
    const std::string png = wholePng(64, 64, 8, 6, rows);
    const std::string jpeg = greyJpeg(64, 16);
    struct Case {
        const char* name;
        std::string data;
    };
    const Case cases[] = {
        // A PNG whose compressed data was cut short kept the old decoder busy for ever.
        {"png data cut in half", wholePng(64, 64, 8, 6, rows, 20)},
        {"png data checksum wrong", wholePng(64, 64, 8, 6, rows, std::string::npos, 1)},
        {"png one row short", wholePng(64, 64, 8, 6, rows.substr(257))},
        {"png header only", png.substr(0, 33)},
        // Found by fuzzing: a Huffman table whose code sizes cannot be; the old decoder aborted.
        {"the fuzzer's jpeg",
         fileBytes(MOSSFANG_SOURCE_DIR "/fuzz/corpus/picture/found_bad_huffman_size.jpg")},
        {"jpeg cut before its image data", jpeg.substr(0, jpeg.find("\xFF\xDA"))},
        {"jpeg with a frame of no width", announcing(jpeg, 0, 16)},
        {"gif",
         "GIF89a" + bytes({1, 0, 1, 0, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 0, 0x3B})},
        {"bmp", "BM" + std::string(60, '\0')},
        {"empty", ""},
    };
    for (const Case& c : cases) {
        sf::Image image;
        EXPECT_FALSE(decodes(c.data, 16384, image)) << c.name;
        EXPECT_EQ(image.getSize().x, 0u) << c.name;
    }
    sf::Image image;
    ASSERT_TRUE(decodes(png, 16384, image)) << "the whole png";
    ASSERT_TRUE(decodes(jpeg, 16384, image)) << "the whole jpeg";
}

TEST(PictureDecoderTest, TheGamesPicturesDecode) {
    namespace fs = std::filesystem;
    int pictures = 0;
    for (const auto& entry :
         fs::recursive_directory_iterator(fs::path(MOSSFANG_SOURCE_DIR) / "assets")) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".png" && extension != ".jpg")
            continue;
        sf::Image image;
        EXPECT_TRUE(decodes(fileBytes(entry.path().string()), 16384, image)) << entry.path();
        ++pictures;
    }
    EXPECT_GT(pictures, 10);
}

TEST(PictureDecoderTest, HalvingAveragesEachTwoByTwoBlockAndKeepsASideOfOne) {
    struct Case {
        const char* name;
        unsigned w, h;
        std::vector<std::uint8_t> grey; // one value a pixel, row by row
        unsigned halfW, halfH;
        std::vector<std::uint8_t> half;
    };
    const Case cases[] = {
        {"4 x 2, means rounded", 4, 2, {0, 1, 10, 20, 2, 2, 30, 41}, 2, 1, {1, 25}},
        {"3 x 3, the odd row and column left out", 3, 3, {8, 8, 99, 8, 8, 99, 99, 99, 99}, 1, 1,
         {8}},
        {"1 x 4, the side of one kept", 1, 4, {0, 100, 200, 201}, 1, 2, {50, 201}},
        {"1 x 1, unchanged", 1, 1, {77}, 1, 1, {77}},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> rgba;
        for (const std::uint8_t v : c.grey)
            rgba.insert(rgba.end(), {v, v, v, 255});
        sf::Image image;
        image.create(c.w, c.h, rgba.data());
        PictureDecoder::halve(image);
        ASSERT_EQ(image.getSize(), sf::Vector2u(c.halfW, c.halfH)) << c.name;
        for (std::size_t i = 0; i < c.half.size(); ++i) {
            const sf::Color pixel = image.getPixel(static_cast<unsigned>(i) % c.halfW,
                                                   static_cast<unsigned>(i) / c.halfW);
            EXPECT_EQ(pixel, sf::Color(c.half[i], c.half[i], c.half[i], 255)) << c.name << " " << i;
        }
    }
}
