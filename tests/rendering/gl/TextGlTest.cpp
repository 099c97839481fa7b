// Text from a font atlas: cell mapping, layout, tint, depth-ignoring and billboard modes.
#include "SceneFixture.hpp"

#include "rendering/ShaderProgram.hpp"
#include "rendering/Text.hpp"

#include <glm/vec2.hpp>

#include <utility>

using vorn::components::Text;

namespace {

class TextGlTest : public SceneFixture {
protected:
    void SetUp() override {
        SceneFixture::SetUp();
        // A 256 x 256 atlas whose 16 x 16 cells each name themselves: red = column * 16 + 8,
        // green = row * 16 + 8, fully opaque. Blue is 200, except in the 4 x 4 corners of each
        // cell, which tell the glyph's sides apart (blue 40 top left, 80 top right, 120 bottom
        // left and 160 bottom right, as the image is seen), so a glyph drawn upside down or
        // mirrored shows.
        std::vector<sf::Color> texels(256 * 256);
        for (unsigned y = 0; y < 256; ++y)
            for (unsigned x = 0; x < 256; ++x)
                texels[y * 256 + x] = sf::Color(static_cast<sf::Uint8>((x / 16) * 16 + 8),
                                                static_cast<sf::Uint8>((y / 16) * 16 + 8),
                                                cornerBlue(x % 16, y % 16));
        atlas =
            vorn::rendering::textureCache().getFullPath(writeImage("atlas.png", 256, 256, texels));
        program = vorn::rendering::shaderProgramCache().get("shaders/colorizedTextShader.txt");
        world->addComponent(new vorn::systems::Renderer(
            std::set<std::string>{}, 0, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, {}));
        clearColour(0, 0, 0, 0);
    }

    Text* text(const glm::mat4& placement, const std::string& s, float size, float x = 0,
               float y = 0, glm::vec3 colour = glm::vec3(1.0f)) {
        const auto e = entity(placement);
        auto* t = new Text(program, atlas, x, y, 0, s, size, colour.r, colour.g, colour.b);
        world->addComponent(e, t);
        return t;
    }

    // Checks the corners of the glyph "A" at the given screen pixels: top left, top right, bottom
    // left and bottom right as seen on screen.
    void expectUprightGlyph(glm::ivec2 topLeft, glm::ivec2 topRight, glm::ivec2 bottomLeft,
                            glm::ivec2 bottomRight) const {
        const std::pair<glm::ivec2, int> corners[] = {
            {topLeft, 40}, {topRight, 80}, {bottomLeft, 120}, {bottomRight, 160}};
        for (const auto& [at, blue] : corners) {
            const glm::u8vec4 seen = context->pixel(at.x, at.y);
            EXPECT_TRUE(near(seen, {24, 72, static_cast<std::uint8_t>(blue), 255}, 1))
                << "at (" << at.x << ", " << at.y << ") " << describe(seen);
        }
    }

    // The blue of texel (x, y) of a cell, y counted from the cell's top.
    static sf::Uint8 cornerBlue(unsigned x, unsigned y) {
        const bool left = x < 4, right = x >= 12, top = y < 4, bottom = y >= 12;
        if (top && (left || right))
            return left ? 40 : 80;
        if (bottom && (left || right))
            return left ? 120 : 160;
        return 200;
    }

    std::shared_ptr<vorn::rendering::Texture> atlas;
    std::shared_ptr<vorn::rendering::ShaderProgram> program;
};

glm::mat4 at(float x, float y, float z = 0) {
    return glm::translate(glm::mat4(1.0f), glm::vec3(x, y, z));
}

} // namespace

TEST_F(TextGlTest, LetterAUsesColumnOneRowFourTintedByTheColour) {
    screenCamera();
    text(at(16, 16), "A", 32, 0, 0, glm::vec3(1.0f, 0.5f, 1.0f));
    render();
    // Cell (1, 4): red 24, green 72 (halved by the tint), blue 200.
    EXPECT_TRUE(near(context->pixel(32, 32), {24, 36, 200, 255}, 1))
        << describe(context->pixel(32, 32));
    EXPECT_TRUE(near(context->pixel(26, 30), {24, 36, 200, 255}, 1));
}

TEST_F(TextGlTest, GlyphsAreDrawnUprightAndUnmirrored) {
    screenCamera();
    text(at(16, 16), "A", 32);
    render();
    // The glyph covers (16, 16) to (48, 48); its corners are 8 pixels wide.
    expectUprightGlyph({19, 44}, {44, 44}, {19, 19}, {44, 19});
}

TEST_F(TextGlTest, CellsAdvanceBySizeFromTheLowerLeftCornerAndEachShowsItsOwnGlyph) {
    screenCamera();
    text(at(0, 10), "ABC", 10, 2, 0);
    render();
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            const bool inside = x >= 2 && x < 32 && y >= 10 && y < 20;
            ASSERT_EQ(context->pixel(x, y).a, inside ? 255 : 0) << x << ", " << y;
        }
    }
    // Middles of the three cells: columns 1, 2 and 3 of row 4.
    EXPECT_EQ(context->pixel(7, 15).r, 24);
    EXPECT_EQ(context->pixel(17, 15).r, 40);
    EXPECT_EQ(context->pixel(27, 15).r, 56);
    EXPECT_EQ(context->pixel(27, 15).g, 72);
}

TEST_F(TextGlTest, CodesWithoutACellLeaveAGapAndEmptyTextDrawsNothing) {
    screenCamera();
    text(at(0, 0),
         std::string("A\xF5"
                     "B"),
         16);
    text(at(0, 40), "", 16);
    render();
    EXPECT_EQ(context->pixel(8, 8).a, 255);
    EXPECT_EQ(context->pixel(24, 8).a, 0); // code 245 has no cell
    EXPECT_EQ(context->pixel(40, 8).r, 40);
    EXPECT_EQ(context->pixel(8, 48).a, 0);
}

TEST_F(TextGlTest, OpacityFadesTheLettersAndAPicturesTransparencyStaysWithThePicture) {
    screenCamera();
    // A picture made fully transparent by its material, drawn first with the flat program...
    const auto picture = sprite(solid(sf::Color::Green), 0, 32, 0, 64, 32, true, 0.0f);
    world->getComponentAs<vorn::components::Sprite>(picture, "model")
        ->parts.front()
        .material->setUniform("transparency", 1.0f);
    // ...then letters with the same program (as the pick-up labels are drawn), and half-faded
    // letters with the text program.
    Text* flat = text(at(0, 0), "A", 32);
    flat->font.program = vorn::rendering::shaderProgramCache().get("shaders/flatShader.txt");
    flat->renderPriority = 1.0f;
    Text* faded = text(at(32, 0), "A", 32);
    faded->opacity = 0.5f;
    faded->renderPriority = 1.0f;
    render();
    EXPECT_EQ(context->pixel(16, 48), glm::u8vec4(0, 0, 0, 0)) << "the picture is not seen";
    EXPECT_TRUE(near(context->pixel(16, 16), {24, 72, 200, 255}, 1))
        << "the flat letters keep their alpha: " << describe(context->pixel(16, 16));
    EXPECT_TRUE(near(context->pixel(48, 16), {12, 36, 100, 64}, 2))
        << describe(context->pixel(48, 16));
}

TEST_F(TextGlTest, IgnoreDepthShowsTextBehindGeometryAndRestoresTheDepthTest) {
    screenCamera();
    // An opaque green wall at z = 50 in front of everything else.
    sprite(solid(sf::Color::Green), 0, 0, 50, 64, 64);
    Text* hidden = text(at(0, 0), "A", 32);
    Text* shown = text(at(32, 0), "A", 32);
    shown->ignoreDepth = true;
    // Drawn after the text (higher priority), behind the wall: must stay hidden.
    sprite(solid(sf::Color::Red), 0, 32, 0, 64, 32, true, 10.0f);
    (void)hidden;
    render();
    EXPECT_EQ(context->pixel(16, 16), glm::u8vec4(0, 255, 0, 255));
    EXPECT_TRUE(near(context->pixel(48, 16), {24, 72, 200, 255}, 1))
        << describe(context->pixel(48, 16));
    EXPECT_EQ(context->pixel(16, 48), glm::u8vec4(0, 255, 0, 255));
    EXPECT_TRUE(state->capabilities.count(GL_DEPTH_TEST));
}

TEST_F(TextGlTest, FaceCameraTurnsTheTextTowardsTheCameraWithWorldUp) {
    // A perspective camera on the +x axis looking back at the origin.
    const auto camera = entity(glm::mat4(1.0f));
    auto* transform = world->getComponentAs<vorn::components::Transform>(
        camera, vorn::components::Transform::componentName);
    transform->setPosition(glm::vec3(60, 0, 0));
    transform->lookAt(glm::vec3(0.0f), glm::vec3(0, 1, 0), true);
    world->addComponent(camera, new vorn::components::Camera(
                                    glm::perspective(glm::radians(45.0f), 1.0f, 1.0f, 200.0f)));
    Text* facing = text(at(0, 0), "A", 16, -8, -8);
    facing->faceCamera = true;
    render();
    EXPECT_TRUE(near(context->pixel(32, 32), {24, 72, 200, 255}, 1))
        << describe(context->pixel(32, 32));
    // Up stays up and left stays left: the glyph, about 20 pixels wide around the middle of the
    // screen, shows its corners where they belong.
    EXPECT_EQ(context->pixel(32, 40).a, 255);
    expectUprightGlyph({24, 40}, {40, 40}, {24, 24}, {40, 24});

    // Without it, the text lies in its own x-y plane, seen edge-on from +x: nothing shows.
    facing->faceCamera = false;
    context->bind();
    world->render(0.0f);
    EXPECT_EQ(context->pixel(32, 32).a, 0) << describe(context->pixel(32, 32));
}
