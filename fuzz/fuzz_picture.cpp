// Picture files through the decoding the texture loader does (Texture::decode: the header check,
// then SFML's image reader over our stream wrapper), with the limit of a 16384-texel GL. The upload
// needs GL and is not part of this target.
#include "FuzzInput.hpp"
#include "rendering/Texture.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/System/Err.hpp>

#include <sstream>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    sf::err().rdbuf(nullptr); // the decoder's complaints about every bad input
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(fuzzing::asText(data, size));
    sf::Image image;
    if (vorn::rendering::Texture::decode(in, image, 16384)) {
        const sf::Vector2u extent = image.getSize();
        if (extent.x == 0 || extent.y == 0 || !image.getPixelsPtr())
            __builtin_trap();
    }
    return 0;
}
