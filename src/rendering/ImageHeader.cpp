#include "rendering/ImageHeader.hpp"

#include <array>
#include <cstring>

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

} // namespace vorn::rendering
