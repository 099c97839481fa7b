// Textures: image loading, failure messages, storage formats, unit tables and the texture cache.
#include "GlFixture.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/DiagnosticsCapture.hpp"

#include "rendering/ResourceCaches.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/Texture.hpp"

#include <filesystem>

using vorn::rendering::RenderState;
using vorn::rendering::Texture;

namespace {

class TextureGlTest : public GlFixture {
protected:
    std::shared_ptr<Texture> loadQuietly(const std::string& path, std::string& errors) {
        vorn::engine::DiagnosticsCapture capture;
        auto texture = Texture::load(path);
        errors = capture.errText();
        return texture;
    }

    static GLint parameter(const Texture& t, GLenum name) {
        glBindTexture(GL_TEXTURE_2D, t.id());
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        return value;
    }
    static GLint levelParameter(const Texture& t, GLint level, GLenum name) {
        glBindTexture(GL_TEXTURE_2D, t.id());
        GLint value = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
        return value;
    }
};

const sf::Color red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255), white(255, 255, 255);

} // namespace

TEST_F(TextureGlTest, PngLoadsAsMipmappedRgbaWithTheFilesFirstRowFirst) {
    // 4 x 2: a red/green top row over a blue/white bottom row.
    const std::string path =
        writeImage("rows.png", 4, 2, {red, red, green, green, blue, blue, white, white});
    std::string errors;
    const auto texture = loadQuietly(path, errors);
    EXPECT_EQ(errors, "");
    EXPECT_EQ(texture->target, static_cast<GLenum>(GL_TEXTURE_2D));
    EXPECT_EQ(texture->internalFormat, static_cast<GLenum>(GL_RGBA));
    EXPECT_EQ(texture->width, 4);
    EXPECT_EQ(texture->height, 2);
    EXPECT_EQ(levelParameter(*texture, 1, GL_TEXTURE_WIDTH), 2); // mipmaps exist
    EXPECT_EQ(parameter(*texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(parameter(*texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter(*texture, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(parameter(*texture, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);

    std::vector<glm::u8vec4> texels(8);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, texture->id());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels[0], glm::u8vec4(255, 0, 0, 255)); // texture memory row 0 = the file's top row
    EXPECT_EQ(texels[3], glm::u8vec4(0, 255, 0, 255));
    EXPECT_EQ(texels[4], glm::u8vec4(0, 0, 255, 255));
    EXPECT_EQ(texels[7], glm::u8vec4(255, 255, 255, 255));
}

TEST_F(TextureGlTest, JpegLoadsToo) {
    const std::string path =
        writeImage("grey.jpg", 8, 8, std::vector<sf::Color>(64, sf::Color(128, 64, 32)));
    std::string errors;
    const auto texture = loadQuietly(path, errors);
    EXPECT_EQ(errors, "");
    EXPECT_EQ(texture->width, 8);
    std::vector<glm::u8vec4> texels(64);
    glBindTexture(GL_TEXTURE_2D, texture->id());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_TRUE(near(texels[27], glm::u8vec4(128, 64, 32, 255), 6)) << describe(texels[27]);
}

TEST_F(TextureGlTest, OnlyTheModelsTexturesAreHalvedDownToTheLimit) {
    // The scratch directory as the asset root, with a picture in its models folder and one beside.
    vorn::engine::setAssetRoot(dir);
    std::filesystem::create_directories(dir + "models");
    const std::vector<sf::Color> pixels(16 * 8, green);
    const std::string model = writeImage("models/skin.png", 16, 8, pixels);
    const std::string other = writeImage("skin.png", 16, 8, pixels);
    struct Case {
        int limit;
        std::string path;
        int width, height;
    };
    const Case cases[] = {
        {0, model, 16, 8}, {4, model, 4, 2}, {8, model, 8, 4}, {16, model, 16, 8}, {4, other, 16, 8},
    };
    for (const Case& c : cases) {
        Texture::setModelTextureLimit(c.limit);
        std::string errors;
        const auto texture = loadQuietly(c.path, errors);
        Texture::setModelTextureLimit(0);
        EXPECT_EQ(errors, "");
        EXPECT_EQ(texture->width, c.width) << c.limit << " " << c.path;
        EXPECT_EQ(texture->height, c.height) << c.limit << " " << c.path;
        EXPECT_EQ(levelParameter(*texture, 0, GL_TEXTURE_WIDTH), c.width);
    }
}

TEST_F(TextureGlTest, MissingEmptyTruncatedOrForeignFilesAreReportedOnceAndStayWithoutStorage) {
    const std::string png = writeImage("whole.png", 16, 16, std::vector<sf::Color>(256, red));
    std::ifstream whole(png, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(whole)), {});
    std::string binary(4096, '\0');
    for (size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>((i * 131) ^ (i >> 3));
    const std::vector<std::string> broken = {
        dir + "missing.png", write("empty.png", ""),
        write("half.png", bytes.substr(0, bytes.size() / 2)),
        write("header.png", bytes.substr(0, 20)), write("binary.jpg", binary),
        write("text.png", "this is not an image\n"),
        // Found by fuzzing: the old decoder aborted on it.
        std::string(MOSSFANG_SOURCE_DIR) + "/fuzz/corpus/picture/found_bad_huffman_size.jpg"};
    for (const std::string& path : broken) {
        // As a texture of the models and as a picture of the screens.
        for (const auto load : {&Texture::load, &Texture::loadPicture}) {
            vorn::engine::DiagnosticsCapture capture;
            const auto texture = load(path);
            ASSERT_NE(texture, nullptr);
            EXPECT_EQ(capture.errText(), "Failed to load texture " + path + "\n");
            EXPECT_EQ(texture->target, 0u) << path;
            EXPECT_EQ(texture->width, 0) << path;
        }
    }
}

TEST_F(TextureGlTest, AllocateGivesDepthAndDepthStencilStorageTheirPixelFormats) {
    Texture depth;
    depth.allocate(GL_DEPTH_COMPONENT24, 32, 16);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(depth.internalFormat, static_cast<GLenum>(GL_DEPTH_COMPONENT24));
    EXPECT_GE(levelParameter(depth, 0, GL_TEXTURE_DEPTH_SIZE), 24);
    EXPECT_EQ(levelParameter(depth, 0, GL_TEXTURE_WIDTH), 32);

    Texture depthStencil;
    depthStencil.allocate(GL_DEPTH24_STENCIL8, 8, 8);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(levelParameter(depthStencil, 0, GL_TEXTURE_STENCIL_SIZE), 8);

    Texture floatDepthStencil;
    floatDepthStencil.allocate(GL_DEPTH32F_STENCIL8, 8, 8);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(levelParameter(floatDepthStencil, 0, GL_TEXTURE_STENCIL_SIZE), 8);

    Texture hdr;
    hdr.allocate(GL_RGBA16F, 8, 4);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(levelParameter(hdr, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA16F);
    EXPECT_EQ(levelParameter(hdr, 0, GL_TEXTURE_RED_TYPE), GL_FLOAT);
}

TEST_F(TextureGlTest, CacheGivesOneGlTextureWhileHeldAndLoadsAgainAfterRelease) {
    vorn::engine::setAssetRoot(dir);
    writeImage("shared.png", 2, 2, {red, green, blue, white});
    auto a = vorn::rendering::textureCache().get("shared.png");
    auto b = vorn::rendering::textureCache().get("shared.png");
    auto c = vorn::rendering::textureCache().getFullPath(dir + "shared.png");
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, c);
    // A new file under the same name is only seen after every holder let go.
    writeImage("shared.png", 4, 4, std::vector<sf::Color>(16, white));
    EXPECT_EQ(vorn::rendering::textureCache().get("shared.png")->width, 2);
    a.reset();
    b.reset();
    c.reset();
    EXPECT_EQ(vorn::rendering::textureCache().get("shared.png")->width, 4);
}

TEST_F(TextureGlTest, DeletingATextureFreesItsUnitForTheNextBind) {
    auto texture = std::make_unique<Texture>();
    texture->bindToUnit(*state, 3);
    EXPECT_EQ(state->boundTextures[3], texture.get());
    ASSERT_EQ(state->registeredTextures.size(), 1u);
    texture.reset();
    EXPECT_EQ(state->boundTextures[3], nullptr);
    EXPECT_TRUE(state->registeredTextures.empty());
    EXPECT_EQ(state->boundTextures[0], RenderState::unitZeroMarker()); // unit 0 stays taken
}

TEST_F(TextureGlTest, BindToUnitSkipsTheGlCallWhenTheTableShowsTheTextureThere) {
    Texture texture;
    texture.bindToUnit(*state, 2);
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, 0); // behind the table's back
    texture.bindToUnit(*state, 2);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0); // no GL call was made: the table is trusted
    EXPECT_EQ(state->registeredTextures.size(), 1u);
}

TEST_F(TextureGlTest, ARenderStateDestroyedFirstLeavesLaterTextureDestructionHarmless) {
    auto texture = std::make_unique<Texture>();
    {
        RenderState shortLived(nullptr);
        texture->bindToUnit(shortLived, 1);
        EXPECT_EQ(texture->state, &shortLived);
    }
    EXPECT_EQ(texture->state, nullptr);
    texture.reset(); // must not touch the dead state
}

TEST_F(TextureGlTest, ATextureBoundThroughASecondStateLeavesTheFirstOne) {
    Texture texture;
    texture.bindToUnit(*state, 1);
    RenderState other(nullptr);
    texture.bindToUnit(other, 4);
    EXPECT_EQ(state->boundTextures[1], nullptr);
    EXPECT_TRUE(state->registeredTextures.empty());
    EXPECT_EQ(other.boundTextures[4], &texture);
    EXPECT_EQ(texture.state, &other);
}
