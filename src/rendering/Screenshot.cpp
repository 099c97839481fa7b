#include "rendering/Screenshot.hpp"

#include <GL/glew.h>
#include <SFML/Graphics/Image.hpp>

#include <vector>

namespace vorn::rendering {

bool saveScreenshot(const std::string& path, unsigned width, unsigned height) {
    if (width == 0 || height == 0)
        return false;
    // Errors left by earlier GL calls (a program that failed to link, say) are not this read's
    // problem: clear them so that only a failure of the read itself refuses the picture. The loop
    // is bounded, as a lost context may keep reporting.
    for (int stale = 0; stale < 64 && glGetError() != GL_NO_ERROR; ++stale) {
    }
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_RGBA,
                 GL_UNSIGNED_BYTE, pixels.data());
    if (glGetError() != GL_NO_ERROR)
        return false;
    // GL rows run bottom-up, image rows top-down; the picture is opaque whatever alpha the
    // framebuffer holds.
    std::vector<unsigned char> flipped(pixels.size());
    const size_t row = static_cast<size_t>(width) * 4;
    for (unsigned y = 0; y < height; ++y)
        std::copy_n(&pixels[(height - 1 - y) * row], row, &flipped[y * row]);
    for (size_t i = 3; i < flipped.size(); i += 4)
        flipped[i] = 255;
    sf::Image image;
    image.create(width, height, flipped.data());
    return image.saveToFile(path);
}

} // namespace vorn::rendering
