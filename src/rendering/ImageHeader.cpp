#include "rendering/ImageHeader.hpp"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace vorn::rendering {

namespace {

using Bytes = std::array<unsigned char, 32>;

std::uint32_t bigEndian(const unsigned char* p, int n) {
    std::uint32_t value = 0;
    for (int i = 0; i < n; ++i)
        value = (value << 8) | p[i];
    return value;
}

std::uint32_t littleEndian(const unsigned char* p, int n) {
    std::uint32_t value = 0;
    for (int i = n - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

// Reads `n` bytes at the current position; false when the stream ends first.
bool readBytes(std::istream& in, unsigned char* out, std::streamsize n) {
    in.read(reinterpret_cast<char*>(out), n);
    return in.gcount() == n;
}

// JPEG: the size stands in the first start-of-frame segment (SOF0 to SOF15 but DHT, JPG and DAC),
// found by walking the segments after the SOI marker.
bool jpegSize(std::istream& in, std::uint32_t& width, std::uint32_t& height) {
    in.seekg(2);
    unsigned char marker[4];
    for (int segments = 0; segments < 1000; ++segments) {
        if (!readBytes(in, marker, 2))
            return false;
        if (marker[0] != 0xFF)
            return false;
        const unsigned char type = marker[1];
        if (type == 0xFF) { // fill byte: the marker is the next one
            in.seekg(-1, std::ios::cur);
            continue;
        }
        if (type == 0xD8 || (type >= 0xD0 && type <= 0xD7) || type == 0x01)
            continue; // markers without a length
        if (!readBytes(in, marker + 2, 2))
            return false;
        const std::uint32_t length = bigEndian(marker + 2, 2);
        if (length < 2)
            return false;
        const bool startOfFrame =
            type >= 0xC0 && type <= 0xCF && type != 0xC4 && type != 0xC8 && type != 0xCC;
        if (startOfFrame) {
            unsigned char frame[5];
            if (!readBytes(in, frame, 5))
                return false;
            height = bigEndian(frame + 1, 2);
            width = bigEndian(frame + 3, 2);
            return true;
        }
        in.seekg(static_cast<std::streamoff>(length) - 2, std::ios::cur);
        if (!in)
            return false;
    }
    return false;
}

bool sizeOf(std::istream& in, std::uint32_t& width, std::uint32_t& height) {
    Bytes head{};
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    const std::streamsize got = in.gcount();
    in.clear();
    const auto starts = [&](const char* signature, std::size_t n) {
        return static_cast<std::size_t>(got) >= n && std::memcmp(head.data(), signature, n) == 0;
    };
    if (starts("\x89PNG\r\n\x1a\n", 8)) {
        if (got < 24)
            return false;
        width = bigEndian(&head[16], 4);
        height = bigEndian(&head[20], 4);
        return true;
    }
    if (starts("\xFF\xD8", 2))
        return jpegSize(in, width, height);
    if (starts("GIF8", 4)) {
        if (got < 10)
            return false;
        width = littleEndian(&head[6], 2);
        height = littleEndian(&head[8], 2);
        return true;
    }
    if (starts("BM", 2)) {
        if (got < 26)
            return false;
        width = littleEndian(&head[18], 4);
        const std::uint32_t rawHeight = littleEndian(&head[22], 4);
        // A negative height (top-down rows) counts by its magnitude; INT_MIN has none.
        height = (rawHeight & 0x80000000u)
                     ? (rawHeight == 0x80000000u ? 0xFFFFFFFFu : ~rawHeight + 1u)
                     : rawHeight;
        width = (width & 0x80000000u) ? 0xFFFFFFFFu : width;
        return true;
    }
    if (starts("8BPS", 4) || starts("#?", 2) || starts("\x53\x80\xF6\x34", 4))
        return false; // PSD, Radiance HDR, Softimage PIC: not game formats
    // TGA has no signature: an 18-byte header with the size at bytes 12 to 15.
    if (got < 18)
        return false;
    width = littleEndian(&head[12], 2);
    height = littleEndian(&head[14], 2);
    return true;
}

// The bytes of filtered image data a PNG header announces: each row of each pass (one pass, or
// Adam7's seven) is one filter byte and its pixels' bits rounded up to a byte. 0 for a header no
// PNG may carry.
std::uint64_t pngImageDataSize(std::uint32_t width, std::uint32_t height, int depth, int colour,
                               int compression, int filter, int interlace) {
    int channels = 0;
    bool depthValid = false;
    switch (colour) {
    case 0: // grey
        channels = 1;
        depthValid = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        break;
    case 3: // palette
        channels = 1;
        depthValid = depth == 1 || depth == 2 || depth == 4 || depth == 8;
        break;
    case 2: // RGB
    case 4: // grey and alpha
    case 6: // RGBA
        channels = colour == 2 ? 3 : colour == 4 ? 2 : 4;
        depthValid = depth == 8 || depth == 16;
        break;
    default:
        break;
    }
    if (!depthValid || compression != 0 || filter != 0 || interlace > 1 || width == 0 ||
        height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu)
        return 0;
    const auto passBytes = [&](std::uint64_t w, std::uint64_t h) -> std::uint64_t {
        if (w == 0 || h == 0)
            return 0;
        return h * (1 + (w * static_cast<std::uint64_t>(channels * depth) + 7) / 8);
    };
    if (interlace == 0)
        return passBytes(width, height);
    // Adam7: each pass takes every stepX-th column from startX and every stepY-th row from startY.
    static constexpr int startX[7] = {0, 4, 0, 2, 0, 1, 0};
    static constexpr int startY[7] = {0, 0, 4, 0, 2, 0, 1};
    static constexpr int stepX[7] = {8, 8, 4, 4, 2, 2, 1};
    static constexpr int stepY[7] = {8, 8, 8, 4, 4, 2, 2};
    std::uint64_t total = 0;
    for (int pass = 0; pass < 7; ++pass) {
        const std::uint64_t w = (width + stepX[pass] - 1 - startX[pass]) / stepX[pass];
        const std::uint64_t h = (height + stepY[pass] - 1 - startY[pass]) / stepY[pass];
        total += passBytes(w, h);
    }
    return total;
}

// PNG: the chunks are walked to the end. Critical chunks must carry a correct CRC (a damaged
// file is refused, as other PNG readers refuse it), and the zlib stream made of every IDAT chunk
// must end properly and inflate to exactly the bytes the header announces. The image decoder does
// not check either: it reads zero bits past the end of a cut stream, and a stream that keeps
// repeating on zero bits then grows its output until the size doubling overflows and loops for
// ever. Inflating here costs at most the announced size.
bool pngDataIntact(std::istream& in) {
    unsigned char head[8 + 8 + 13 + 4];
    if (!readBytes(in, head, sizeof head))
        return false;
    if (bigEndian(head + 8, 4) != 13 || std::memcmp(head + 12, "IHDR", 4) != 0)
        return false;
    if (crc32(0L, head + 12, 17) != bigEndian(head + 29, 4))
        return false;
    const std::uint32_t width = bigEndian(head + 16, 4);
    const std::uint32_t height = bigEndian(head + 20, 4);
    const std::uint64_t expected =
        pngImageDataSize(width, height, head[24], head[25], head[26], head[27], head[28]);
    if (expected == 0)
        return false;

    z_stream zlib{};
    if (inflateInit(&zlib) != Z_OK)
        return false;
    // Chunks are read a piece at a time, so a length of gigabytes in a small file costs nothing.
    std::array<unsigned char, 16384> piece{};
    std::array<unsigned char, 16384> scratch{};
    std::uint64_t inflated = 0;
    bool streamEnded = false;
    bool damaged = false;
    bool intact = false;
    while (!damaged) {
        unsigned char chunk[8];
        if (!readBytes(in, chunk, 8) || bigEndian(chunk, 4) > 0x7FFFFFFFu)
            break; // cut short before IEND, or an impossible length
        const unsigned char* const type = chunk + 4;
        const bool imageData = std::memcmp(type, "IDAT", 4) == 0;
        uLong sum = crc32(0L, type, 4);
        for (std::uint32_t left = bigEndian(chunk, 4); left > 0 && !damaged;) {
            const std::uint32_t n = std::min<std::uint32_t>(left, piece.size());
            if (!readBytes(in, piece.data(), n)) {
                damaged = true;
                break;
            }
            left -= n;
            sum = crc32(sum, piece.data(), n);
            if (!imageData || streamEnded)
                continue; // bytes after the stream's end are read by no one
            zlib.next_in = piece.data();
            zlib.avail_in = n;
            int status = Z_OK;
            do {
                zlib.next_out = scratch.data();
                zlib.avail_out = static_cast<uInt>(scratch.size());
                status = inflate(&zlib, Z_NO_FLUSH);
                inflated += scratch.size() - zlib.avail_out;
                if (inflated > expected)
                    status = Z_DATA_ERROR; // more rows than the header announces
            } while (status == Z_OK && (zlib.avail_in > 0 || zlib.avail_out == 0));
            streamEnded = status == Z_STREAM_END;
            damaged = status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR;
        }
        unsigned char crc[4];
        if (damaged || !readBytes(in, crc, 4))
            break;
        // Ancillary chunks (lower-case first letter) may be skipped by readers, damaged or not.
        const bool critical = (type[0] & 0x20) == 0;
        if (critical && sum != bigEndian(crc, 4))
            break;
        if (std::memcmp(type, "IEND", 4) == 0) {
            intact = streamEnded && inflated == expected;
            break;
        }
    }
    inflateEnd(&zlib);
    return intact;
}

} // namespace

bool ImageHeader::announcedSize(std::istream& in, std::uint32_t& width, std::uint32_t& height) {
    width = 0;
    height = 0;
    in.clear();
    in.seekg(0);
    const bool known = sizeOf(in, width, height);
    in.clear();
    in.seekg(0);
    return known;
}

bool ImageHeader::acceptable(std::istream& in, std::uint32_t maxSide) {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (!announcedSize(in, width, height))
        return false;
    return width > 0 && height > 0 && width <= maxSide && height <= maxSide &&
           std::uint64_t{width} * height <= maxPixels;
}

bool ImageHeader::dataIntact(std::istream& in) {
    in.clear();
    in.seekg(0);
    unsigned char signature[8];
    const bool isPng =
        readBytes(in, signature, 8) && std::memcmp(signature, "\x89PNG\r\n\x1a\n", 8) == 0;
    in.clear();
    in.seekg(0);
    const bool intact = !isPng || pngDataIntact(in);
    in.clear();
    in.seekg(0);
    return intact;
}

} // namespace vorn::rendering
