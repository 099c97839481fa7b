#pragma once

#include <GL/glew.h>

#include <memory>
#include <string>

namespace vorn::rendering {

class RenderState;

// One OpenGL texture object. Textures loaded from image files are shared through the texture cache;
// render targets are created empty with allocate(). A texture remembers the render state whose unit
// table records it, so destroying it clears that table.
//
// Storage is always created and uploaded on texture unit 0, so creating or filling a texture never
// disturbs the units 1 and up that ShaderProgram::bindTexture hands out.
class Texture {
public:
    // Creates the GL texture object (no storage yet).
    Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;
    ~Texture();

    // The texture cache's loader: a PNG or JPEG file as a mip-mapped RGBA texture. Always returns
    // a texture; one that failed to load has no storage and the failure has been reported.
    static std::shared_ptr<Texture> load(const std::string& fullPath);
    // The picture cache's loader: the same without mip levels, for pictures never drawn smaller
    // than their own size (the menu's screens). Making mip levels costs the software rasteriser a
    // shader compile the first time, which the menu's first frame need not wait for.
    static std::shared_ptr<Texture> loadPicture(const std::string& fullPath);
    // From now on load() gives the textures of the models folder (asset root + "models/") at
    // half size, as often as needed, until no side is longer than `side`; 0 loads them as they
    // are. Set once at start-up: the lighter picture levels draw models at a reduced render scale
    // or small enough that they sample those smaller mip levels anyway. Fonts, backgrounds and
    // the HUD's pictures are never reduced.
    static void setModelTextureLimit(int side);

    // Decodes a PNG or JPEG file (PictureDecoder), halves it until no side is longer than
    // `sideLimit` (0: never), and uploads it with mipmaps (unless `mipmaps` is false), linear
    // filtering and clamped edges; false when the file does not open, does not decode or is larger
    // than GL allows.
    bool loadFromFile(const std::string& path, bool mipmaps = true, int sideLimit = 0);
    // Creates 2D storage filled from `pixels` (rows in memory order; null leaves it undefined).
    void upload(GLenum internalFormat, int width, int height, GLenum format, const void* pixels);
    // Creates empty 2D storage for a render target; depth and depth-stencil formats get the
    // matching pixel format.
    void allocate(GLenum internalFormat, int width, int height);
    // Makes the texture current on `unit` unless the render state shows it there already, and
    // registers it with that state.
    void bindToUnit(RenderState& state, int unit);
    // Sets the wrap mode of both directions (and of the third for 3D textures).
    void setWrap(GLenum mode);
    // Sets the minification and magnification filters.
    void setFilters(GLenum minFilter, GLenum magFilter);

    // Whether the texture has storage: false for one whose file failed to load.
    bool loaded() const { return target != 0; }

    // Called by a render state that is destroyed first: the texture no longer refers to it.
    void detachRenderState() { state = nullptr; }

    // The GL name of the texture object, owned by this texture for its whole life.
    GLuint id() const { return glId; }

    RenderState* state = nullptr;
    GLenum internalFormat = 0;
    GLenum target = 0;
    int width = 0;
    int height = 0;

private:
    GLuint glId = 0;
};

} // namespace vorn::rendering
