// Picture files through the decoder the texture loader calls: SFML's image reader over our stream
// wrapper. The upload needs GL and is not part of this target.
#include "FuzzInput.hpp"
#include "rendering/StreamWrapperForSFML.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/System/Err.hpp>

#include <sstream>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    sf::err().rdbuf(nullptr); // the decoder's complaints about every bad input
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(fuzzing::asText(data, size));
    vorn::rendering::StreamWrapperForSFML stream(in);
    sf::Image image;
    if (image.loadFromStream(stream)) {
        const sf::Vector2u extent = image.getSize();
        if (extent.x > 0 && extent.y > 0 && !image.getPixelsPtr())
            __builtin_trap();
    }
    return 0;
}
