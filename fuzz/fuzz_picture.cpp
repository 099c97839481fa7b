// Picture files through the decoding the texture loader does (PictureDecoder: libpng or
// libjpeg-turbo by the file's signature, with the size limits), with the limit of a 16384-texel GL.
// The upload needs GL and is not part of this target.
#include "FuzzInput.hpp"
#include "rendering/PictureDecoder.hpp"

#include <SFML/Graphics/Image.hpp>

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(fuzzing::asText(data, size));
    sf::Image image;
    if (vorn::rendering::PictureDecoder::decode(in, image, 16384)) {
        const sf::Vector2u extent = image.getSize();
        if (extent.x == 0 || extent.y == 0 || !image.getPixelsPtr())
            __builtin_trap();
    }
    return 0;
}
