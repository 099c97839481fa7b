#include "rendering/Texture.hpp"

#include "engine/AssetRoot.hpp"
#include "engine/Diagnostics.hpp"
#include "rendering/PictureDecoder.hpp"
#include "rendering/RenderState.hpp"

#include <SFML/Graphics/Image.hpp>

#include <algorithm>
#include <fstream>

namespace vorn::rendering {

Texture::Texture() {
    glGenTextures(1, &glId);
}

Texture::~Texture() {
    glDeleteTextures(1, &glId);
    if (state)
        state->forgetTexture(this);
}

namespace {

int modelTextureLimit = 0;

std::shared_ptr<Texture> loadReported(const std::string& fullPath, bool mipmaps,
                                      int sideLimit = 0) {
    auto texture = std::make_shared<Texture>();
    bool loaded = false;
    try {
        loaded = texture->loadFromFile(fullPath, mipmaps, sideLimit);
    } catch (const std::exception&) {
        loaded = false; // out of memory while decoding: the texture stays empty
    }
    if (!loaded)
        vorn::engine::Diagnostics::err() << "Failed to load texture " << fullPath << "\n";
    return texture;
}

} // namespace

std::shared_ptr<Texture> Texture::load(const std::string& fullPath) {
    const std::string models = vorn::engine::assetRoot() + "models/";
    const bool model = fullPath.compare(0, models.size(), models) == 0;
    return loadReported(fullPath, true, model ? modelTextureLimit : 0);
}

void Texture::setModelTextureLimit(int side) {
    modelTextureLimit = std::max(side, 0);
}

std::shared_ptr<Texture> Texture::loadPicture(const std::string& fullPath) {
    return loadReported(fullPath, false);
}

bool Texture::loadFromFile(const std::string& path, bool mipmaps, int sideLimit) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    sf::Image image;
    if (!PictureDecoder::decode(file, image, static_cast<unsigned>(std::max(maxSize, 0))))
        return false;
    const auto longer = [&] { return std::max(image.getSize().x, image.getSize().y); };
    while (sideLimit > 0 && longer() > static_cast<unsigned>(sideLimit))
        PictureDecoder::halve(image);
    const sf::Vector2u size = image.getSize();

    // Rows go up as decoded: the file's first row is the first row of texture memory (v = 0).
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    upload(GL_RGBA, static_cast<int>(size.x), static_cast<int>(size.y), GL_RGBA,
           image.getPixelsPtr());
    if (mipmaps) {
        glGenerateMipmap(target);
        setFilters(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
    } else {
        setFilters(GL_LINEAR, GL_LINEAR);
    }
    setWrap(GL_CLAMP_TO_EDGE);
    return true;
}

void Texture::upload(GLenum format, int w, int h, GLenum pixelFormat, const void* pixels) {
    target = GL_TEXTURE_2D;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(target, glId);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), w, h, 0, pixelFormat,
                 GL_UNSIGNED_BYTE, pixels);
    internalFormat = format;
    width = w;
    height = h;
}

void Texture::allocate(GLenum format, int w, int h) {
    GLenum pixelFormat = GL_RGBA;
    GLenum type = GL_UNSIGNED_BYTE;
    switch (format) {
    case GL_DEPTH_COMPONENT16:
    case GL_DEPTH_COMPONENT24:
    case GL_DEPTH_COMPONENT32:
    case GL_DEPTH_COMPONENT32F:
        pixelFormat = GL_DEPTH_COMPONENT;
        break;
    // Depth-stencil storage only accepts the packed pixel types; GL rejects unsigned bytes here
    // and would leave the texture without storage.
    case GL_DEPTH24_STENCIL8:
        pixelFormat = GL_DEPTH_STENCIL;
        type = GL_UNSIGNED_INT_24_8;
        break;
    case GL_DEPTH32F_STENCIL8:
        pixelFormat = GL_DEPTH_STENCIL;
        type = GL_FLOAT_32_UNSIGNED_INT_24_8_REV;
        break;
    default:
        break;
    }
    target = GL_TEXTURE_2D;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(target, glId);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), w, h, 0, pixelFormat, type, nullptr);
    internalFormat = format;
    width = w;
    height = h;
    // Without mipmaps the default minification filter would leave the texture incomplete.
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

void Texture::bindToUnit(RenderState& state, int unit) {
    const std::size_t slot = static_cast<std::size_t>(unit);
    if (slot < state.boundTextures.size() && state.boundTextures[slot] != this) {
        if (unit != 0)
            state.boundTextures[slot] = this;
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
        glBindTexture(target ? target : GL_TEXTURE_2D, glId);
    }
    if (this->state != &state) {
        // A texture is recorded by one render state at a time.
        if (this->state)
            this->state->forgetTexture(this);
        this->state = &state;
        state.registerTexture(this);
    }
}

void Texture::setWrap(GLenum mode) {
    const GLenum bound = target ? target : GL_TEXTURE_2D;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(bound, glId);
    glTexParameteri(bound, GL_TEXTURE_WRAP_S, static_cast<GLint>(mode));
    glTexParameteri(bound, GL_TEXTURE_WRAP_T, static_cast<GLint>(mode));
    if (bound == GL_TEXTURE_3D)
        glTexParameteri(bound, GL_TEXTURE_WRAP_R, static_cast<GLint>(mode));
}

void Texture::setFilters(GLenum minFilter, GLenum magFilter) {
    const GLenum bound = target ? target : GL_TEXTURE_2D;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(bound, glId);
    glTexParameteri(bound, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
    glTexParameteri(bound, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(magFilter));
}

} // namespace vorn::rendering
