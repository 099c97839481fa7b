#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>

namespace sf {
class Image;
}

namespace vorn::rendering {

// Decodes the game's picture files, PNG with libpng and JPEG with libjpeg-turbo, into 8-bit RGBA
// pixels in an sf::Image, the first row of the file first. Both libraries check what they read
// (checksums, compressed streams, markers) and report a damaged file instead of reading past it;
// their errors end the decoding here and never reach the caller.
//
// Limits, checked from the header before any pixel is allocated: a side of 1 to maxSide pixels
// and at most maxPixels in all, since a file of a few dozen bytes can announce gigabytes of
// pixels; a file of at most maxFileBytes; a progressive JPEG of at most maxScans scans (each scan
// passes over the whole picture again).
class PictureDecoder {
public:
    // The most pixels a picture may have (64 MiB of RGBA); the game's largest are 1024 x 1024.
    static constexpr std::uint64_t maxPixels = 4096ull * 4096ull;
    // The largest file read: more than any picture within maxPixels needs.
    static constexpr std::size_t maxFileBytes = 64u << 20;
    // The most scans a progressive JPEG may have; encoders write about ten.
    static constexpr int maxScans = 100;

    // Decodes the PNG or JPEG in `in` into `image`. False, with `image` untouched, for a file that
    // is neither, that its library refuses, or whose size is outside the limits. A JPEG cut short
    // keeps the rows it has (its library fills the rest with grey), as image viewers show it.
    static bool decode(std::istream& in, sf::Image& image, unsigned maxSide);
    // Halves the picture's width and height (a side of 1 stays 1): each pixel becomes the rounded
    // mean of the 2 x 2 block it stands for, as a mipmap level is made; an odd last row or column
    // is left out.
    static void halve(sf::Image& image);
};

} // namespace vorn::rendering
