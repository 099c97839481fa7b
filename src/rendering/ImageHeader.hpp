#pragma once

#include <cstdint>
#include <istream>

namespace vorn::rendering {

// Reads the size a picture file announces in its header, before anything is decoded. The image
// decoder allocates the announced size in full, so a file of a few dozen bytes announcing 20000 x
// 20000 pixels would cost gigabytes and seconds; the texture loader refuses such a file first.
// Knows the formats the decoder reads: PNG, JPEG, GIF and BMP by their signatures, and TGA, which
// has none, for the rest (PSD, HDR and PIC files are refused as unknown).
class ImageHeader {
public:
    // The most pixels a picture may have (64 MiB of RGBA); the game's largest are 1024 x 1024.
    static constexpr std::uint64_t maxPixels = 4096ull * 4096ull;

    // The announced width and height; false when the header is cut short or of an unknown
    // format. The stream's position is back at the start afterwards (its error state cleared).
    static bool announcedSize(std::istream& in, std::uint32_t& width, std::uint32_t& height);

    // Whether the announced size is known, neither side is 0 or above maxSide, and the area is
    // at most maxPixels.
    static bool acceptable(std::istream& in, std::uint32_t maxSide);

    // Whether the file's data is whole where the decoder would not find out safely: a PNG's
    // critical chunks must pass their checksums and its compressed image data must end properly
    // and hold exactly the announced rows (a cut stream can keep the decoder busy for ever). Other
    // formats pass. The stream's position is back at the start afterwards.
    static bool dataIntact(std::istream& in);
};

} // namespace vorn::rendering
