#include "rendering/Texture.hpp"

#include "rendering/RenderState.hpp"

namespace vorn::rendering {

Texture::Texture() { glGenTextures(1, &id); }

Texture::~Texture() {
    glDeleteTextures(1, &id);
    if (state)
        state->forgetTexture(this);
}

} // namespace vorn::rendering
