// The renderer system with sprites and models: exact sprite pixels, lighting, the two passes,
// face culling, spaces, cameras and the state left for later systems.
#include "GlCallCounter.hpp"
#include "SceneFixture.hpp"
#include "engine/DiagnosticsCapture.hpp"

#include "rendering/Mesh.hpp"
#include "rendering/Model.hpp"
#include "rendering/ShaderProgram.hpp"

#include <cmath>
#include <sstream>

using vorn::systems::Renderer;

namespace {

constexpr GLbitfield colourAndDepth = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;

class RendererGlTest : public SceneFixture {
protected:
    void addRenderer(std::set<std::string> spaces, float priority, GLbitfield mask,
                     vorn::rendering::UniformSet perDraw = {}) {
        world->addComponent(new Renderer(std::move(spaces), priority, mask, std::move(perDraw)));
    }
};

} // namespace

TEST_F(RendererGlTest, SpriteCoversExactlyItsPixelsWithTheImageUpright) {
    // Top row red | green, bottom row blue | white.
    const auto texture = vorn::rendering::textureCache().getFullPath(writeImage(
        "quad.png", 2, 2, {sf::Color::Red, sf::Color::Green, sf::Color::Blue, sf::Color::White}));
    screenCamera();
    sprite(texture, 10, 20, 0, 40, 40);
    addRenderer({}, 0, colourAndDepth);
    clearColour(0, 0, 0, 0);
    render();

    const auto pixels = context->pixels();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool inside = x >= 10 && x < 50 && y >= 20 && y < 60;
            const glm::u8vec4 p = pixels[static_cast<size_t>(y * width + x)];
            ASSERT_EQ(p.a, inside ? 255 : 0) << "pixel " << x << ", " << y;
        }
    }
    // Each corner quarter samples one texel alone (clamped edges); y grows upwards here.
    EXPECT_EQ(context->pixel(10, 59), glm::u8vec4(255, 0, 0, 255)); // top left: first image row
    EXPECT_EQ(context->pixel(19, 50), glm::u8vec4(255, 0, 0, 255));
    EXPECT_EQ(context->pixel(49, 59), glm::u8vec4(0, 255, 0, 255));
    EXPECT_EQ(context->pixel(10, 20), glm::u8vec4(0, 0, 255, 255));
    EXPECT_EQ(context->pixel(49, 20), glm::u8vec4(255, 255, 255, 255));
}

TEST_F(RendererGlTest, CentredSpriteWithoutCameraIsDrawnWithIdentityMatrices) {
    const auto e = entity(glm::mat4(1.0f));
    world->addComponent(
        e, new vorn::components::Sprite(false, solid(sf::Color::Yellow), 0, true, true));
    addRenderer({}, 0, colourAndDepth);
    clearColour(0, 0, 0, 0);
    render();
    // -0.5 to 0.5 in clip space is the middle half of the framebuffer.
    EXPECT_EQ(context->pixel(16, 16), glm::u8vec4(255, 255, 0, 255));
    EXPECT_EQ(context->pixel(47, 47), glm::u8vec4(255, 255, 0, 255));
    EXPECT_EQ(context->pixel(15, 32).a, 0);
    EXPECT_EQ(context->pixel(48, 32).a, 0);
}

TEST_F(RendererGlTest, BlendedPassDrawsInRenderPriorityOrderThenEntityOrder) {
    const auto green = solid(sf::Color(0, 255, 0, 128));
    const auto red = solid(sf::Color(255, 0, 0, 128));
    screenCamera();
    // Left half: green (entity created first) has priority 2, red priority 1: red goes first.
    sprite(green, 0, 0, 0, 32, 64, true, 2.0f);
    sprite(red, 0, 0, 0, 32, 64, true, 1.0f);
    // Right half: equal priorities: entity order, so green first and red over it.
    sprite(green, 32, 0, 0, 32, 64, true, 5.0f);
    sprite(red, 32, 0, 0, 32, 64, true, 5.0f);
    addRenderer({}, 0, colourAndDepth);
    clearColour(0, 0, 0, 1);
    render();
    const glm::u8vec4 left = context->pixel(16, 32);
    const glm::u8vec4 right = context->pixel(48, 32);
    // The colour drawn last keeps about half of its value; the first one about a quarter.
    EXPECT_TRUE(near(left, {64, 128, 0, left.a}, 3)) << describe(left);
    EXPECT_TRUE(near(right, {128, 64, 0, right.a}, 3)) << describe(right);
}

TEST_F(RendererGlTest, OpaquePassWritesDepthWithoutBlendingAndBlendedPassNeitherWritesDepth) {
    screenCamera();
    // Opaque: a half-transparent red square in front, then a blue one behind it.
    sprite(solid(sf::Color(255, 0, 0, 128)), 0, 0, 50, 32, 64);
    sprite(solid(sf::Color::Blue), 0, 0, 10, 32, 64);
    // Blended: white in front first, then green behind it, which still shows through blending.
    sprite(solid(sf::Color(255, 255, 255, 128)), 32, 0, 50, 32, 64, true, 1.0f);
    sprite(solid(sf::Color(0, 255, 0, 255)), 32, 0, 10, 32, 64, true, 2.0f);
    addRenderer({}, 0, colourAndDepth);
    clearColour(0, 0, 0, 0);
    render();
    // Unblended: the texel as it is, alpha included; the blue square failed the depth test.
    EXPECT_EQ(context->pixel(16, 32), glm::u8vec4(255, 0, 0, 128));
    // The green square was not stopped by the white one's depth, since that was never written.
    EXPECT_EQ(context->pixel(48, 32).g, 255) << describe(context->pixel(48, 32));
    EXPECT_EQ(context->pixel(48, 32).r, 0) << describe(context->pixel(48, 32));
}

TEST_F(RendererGlTest, NoCullFaceTurnsCullingOffForThatRenderableOnly) {
    screenCamera();
    const auto flipped = [](float x) {
        // Turned half round about y: the quad's back faces the camera; it covers x to x + 16.
        return glm::translate(glm::mat4(1.0f), glm::vec3(x + 16, 0, 0)) *
               glm::rotate(glm::mat4(1.0f), glm::pi<float>(), glm::vec3(0, 1, 0)) *
               glm::scale(glm::mat4(1.0f), glm::vec3(16, 64, 1));
    };
    const auto twoSided = entity(flipped(0));
    world->addComponent(
        twoSided, new vorn::components::Sprite(false, solid(sf::Color::Red), 0, false, false));
    const auto oneSided = entity(flipped(16));
    world->addComponent(
        oneSided, new vorn::components::Sprite(false, solid(sf::Color::Green), 0, false, true));
    const auto blendedTwoSided = entity(flipped(32));
    world->addComponent(blendedTwoSided, new vorn::components::Sprite(true, solid(sf::Color::Blue),
                                                                      1, false, false));
    const auto blendedOneSided = entity(flipped(48));
    world->addComponent(blendedOneSided, new vorn::components::Sprite(true, solid(sf::Color::White),
                                                                      2, false, true));
    addRenderer({}, 0, colourAndDepth);
    clearColour(0, 0, 0, 0);
    render();
    EXPECT_NE(world->getComponent(twoSided, "noCullFace"), nullptr);
    EXPECT_EQ(world->getComponent(oneSided, "noCullFace"), nullptr);
    EXPECT_EQ(context->pixel(8, 32), glm::u8vec4(255, 0, 0, 255));
    EXPECT_EQ(context->pixel(24, 32).a, 0) << "culling must be on again for the next renderable";
    EXPECT_EQ(context->pixel(40, 32), glm::u8vec4(0, 0, 255, 255));
    EXPECT_EQ(context->pixel(56, 32).a, 0);
}

TEST_F(RendererGlTest, EachRendererDrawsOnlyEntitiesCarryingAllOfItsSpaces) {
    // The HUD camera is shifted down 32 pixels, so the HUD's picture lands 32 pixels higher.
    screenCamera({"gameSpace"});
    screenCamera({"hudSpace"}, 0.0f, -32.0f);
    sprite(solid(sf::Color::Red), 0, 0, 0, 16, 16, false, 0, true, {"gameSpace"});
    sprite(solid(sf::Color::Green), 16, 0, 0, 16, 16, false, 0, true, {"hudSpace"});
    sprite(solid(sf::Color::Blue), 32, 0, 0, 16, 16, true, 0, true, {"gameSpace", "hudSpace"});
    sprite(solid(sf::Color::White), 48, 0, 0, 16, 16, false, 0, true); // in no space
    addRenderer({"gameSpace"}, 0, colourAndDepth);
    addRenderer({"hudSpace"}, 2, GL_DEPTH_BUFFER_BIT);
    clearColour(0, 0, 0, 0);
    render();
    EXPECT_EQ(context->pixel(8, 8), glm::u8vec4(255, 0, 0, 255)); // game only
    EXPECT_EQ(context->pixel(8, 40).a, 0);
    EXPECT_EQ(context->pixel(24, 8).a, 0); // HUD only
    EXPECT_EQ(context->pixel(24, 40), glm::u8vec4(0, 255, 0, 255));
    EXPECT_EQ(context->pixel(40, 8), glm::u8vec4(0, 0, 255, 255)); // both
    EXPECT_EQ(context->pixel(40, 40), glm::u8vec4(0, 0, 255, 255));
    EXPECT_EQ(context->pixel(56, 8).a, 0); // neither
    EXPECT_EQ(context->pixel(56, 40).a, 0);
}

TEST_F(RendererGlTest, LeavesBlendingOnDepthTestOffCullingOnAndDepthWritesOn) {
    screenCamera();
    sprite(solid(sf::Color::Red), 0, 0, 0, 8, 8, true, 0, false);
    addRenderer({}, 0, colourAndDepth);
    render();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthWrites, GL_TRUE);
    EXPECT_EQ(state->capabilities.at(GL_BLEND), true);
    EXPECT_EQ(state->capabilities.at(GL_DEPTH_TEST), false);
    GLint src = 0;
    glGetIntegerv(GL_BLEND_SRC_RGB, &src);
    EXPECT_EQ(src, GL_SRC_ALPHA);
}

TEST_F(RendererGlTest, CameraGivesViewProjectionAndEyePosition) {
    const auto camera = screenCamera({}, 5.0f, 7.0f);
    sprite(solid(sf::Color::Red), 5, 7, 0, 1, 1);
    addRenderer({}, 0, colourAndDepth);
    clearColour(0, 0, 0, 0);
    render();
    auto* renderer =
        dynamic_cast<Renderer*>(world->getComponent({0, world.get()}, Renderer::componentName));
    ASSERT_NE(renderer, nullptr);
    EXPECT_EQ(renderer->perDraw.find("eyePos")->get<glm::vec3>(), glm::vec3(5, 7, 100));
    EXPECT_EQ(state->view, glm::inverse(world
                                            ->getComponentAs<vorn::components::Transform>(
                                                camera, vorn::components::Transform::componentName)
                                            ->matrix));
    EXPECT_EQ(context->pixel(0, 0), glm::u8vec4(255, 0, 0, 255)); // (5, 7) is the lower left
    EXPECT_EQ(context->pixel(1, 1).a, 0);
}

TEST_F(RendererGlTest, ModelsSharingAMaterialCostOnlyTheirMatricesAndDrawAfterTheFirst) {
    writeImage("wood.png", 2, 2, std::vector<sf::Color>(4, sf::Color(200, 150, 100)));
    write("wood.mtl", "newmtl wood\nKd 1 1 1\nmap_Kd wood.png\n");
    write("tri.obj", "mtllib wood.mtl\nusemtl wood\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    const auto mesh = vorn::rendering::meshCache().getFullPath(dir + "tri.obj");
    ASSERT_EQ(mesh->parts.size(), 1u);
    screenCamera();
    const int models = 25;
    for (int i = 0; i < models; ++i) {
        const auto e = entity(glm::translate(glm::mat4(1.0f), glm::vec3(i * 2, i, 0)) *
                              glm::scale(glm::mat4(1.0f), glm::vec3(8.0f)));
        world->addComponent(e, new vorn::components::Model(mesh->parts));
    }
    vorn::rendering::UniformSet lights;
    lights.set("ambientLight", glm::vec3(0.2f));
    lights.set("lights[0].color", glm::vec3(1.0f));
    addRenderer({}, 0, colourAndDepth, lights);

    testsupport::GlCallCounter counter;
    render();
    // First frame: one program switch, one texture bind, one upload of each set.
    const size_t materialValues = mesh->parts[0].material->uniforms.size();
    EXPECT_EQ(counter.count("glUseProgram"), 1);
    EXPECT_EQ(counter.count("glBindTexture"), 1);
    EXPECT_EQ(counter.count("glDrawArrays") + counter.count("glDrawElements"), models);
    const int perModelMatrices = counter.count("glUniformMatrix4fv");
    EXPECT_EQ(perModelMatrices % models, 0);
    EXPECT_EQ(counter.uniformCalls() - perModelMatrices,
              int(materialValues) + 3 /* per-draw incl. eyePos */ + 1 /* sampler */);

    counter.reset();
    render();
    // Later frames: the per-draw values (the camera's eyePos is set every frame), then only
    // matrices and draws.
    EXPECT_EQ(counter.count("glUseProgram"), 0);
    EXPECT_EQ(counter.count("glBindTexture"), 0);
    EXPECT_EQ(counter.count("glActiveTexture"), 0);
    EXPECT_EQ(counter.uniformCalls() - counter.count("glUniformMatrix4fv"), 3);
    EXPECT_EQ(counter.count("glUniformMatrix4fv"), perModelMatrices);
    EXPECT_EQ(counter.count("glEnable") + counter.count("glDisable"), 4); // once per pass change
}

namespace {

// A UV sphere of radius 1 with outward normals, as OBJ text.
std::string sphereObj(const std::string& library, const std::string& material) {
    std::ostringstream obj;
    obj << "mtllib " << library << "\nusemtl " << material << "\n";
    const int rings = 24;
    const int segments = 48;
    for (int r = 0; r <= rings; ++r) {
        const float theta = glm::pi<float>() * float(r) / rings;
        for (int s = 0; s <= segments; ++s) {
            const float phi = 2.0f * glm::pi<float>() * float(s) / segments;
            const glm::vec3 p(std::sin(theta) * std::cos(phi), std::cos(theta),
                              std::sin(theta) * std::sin(phi));
            obj << "v " << p.x << ' ' << p.y << ' ' << p.z << "\nvn " << p.x << ' ' << p.y << ' '
                << p.z << "\n";
        }
    }
    const auto index = [&](int r, int s) { return r * (segments + 1) + s + 1; };
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const int a = index(r, s), b = index(r + 1, s), c = index(r + 1, s + 1),
                      d = index(r, s + 1);
            // Counter-clockwise seen from outside.
            obj << "f " << a << "//" << a << ' ' << d << "//" << d << ' ' << c << "//" << c << "\n";
            obj << "f " << a << "//" << a << ' ' << c << "//" << c << ' ' << b << "//" << b << "\n";
        }
    return obj.str();
}

} // namespace

namespace {

class LitModelTest : public RendererGlTest {
protected:
    // An orthographic camera on +z showing x and y from -1.25 to 1.25, and a white light
    // travelling along +x (so it comes from the left).
    void SetUp() override {
        RendererGlTest::SetUp();
        const auto camera = entity(glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, 10)));
        world->addComponent(camera, new vorn::components::Camera(
                                        glm::ortho(-1.25f, 1.25f, -1.25f, 1.25f, 0.1f, 100.0f)));
        vorn::rendering::UniformSet lights;
        lights.set("ambientLight", glm::vec3(0.05f));
        lights.set("lights[0].direction", glm::vec3(1, 0, 0));
        lights.set("lights[0].color", glm::vec3(1.0f));
        addRenderer({}, 0, colourAndDepth, lights);
        write("grey.mtl", "newmtl grey\nKd 0.8 0.8 0.8\nKs 0 0 0\nNs 10\n");
    }

    // The mesh from a file in the scratch directory (outside the asset root).
    std::shared_ptr<vorn::rendering::Mesh> mesh(const std::string& name) {
        vorn::engine::DiagnosticsCapture capture;
        auto loaded = vorn::rendering::meshCache().getFullPath(dir + name);
        EXPECT_EQ(capture.errText(), "");
        return loaded;
    }
};

} // namespace

TEST_F(LitModelTest, SphereLitFromTheLeftIsBrightOnTheLeftAndDarkOnTheRight) {
    write("sphere.obj", sphereObj("grey.mtl", "grey"));
    const auto sphere = mesh("sphere.obj");
    ASSERT_EQ(sphere->parts.size(), 1u);
    const auto e = entity(glm::mat4(1.0f));
    world->addComponent(e, new vorn::components::Model(sphere->parts));
    clearColour(0, 0, 0, 0);
    render();
    const glm::u8vec4 left = context->pixel(16, 32);
    const glm::u8vec4 middle = context->pixel(28, 32); // just left of the centre
    const glm::u8vec4 right = context->pixel(48, 32);
    // Left: 0.8 x cos(53 degrees) of white light, about 0.52; right: ambient only, 0.04.
    EXPECT_NEAR(left.r, 133, 12) << describe(left);
    EXPECT_GT(middle.r, right.r + 20) << describe(middle);
    EXPECT_LT(middle.r, left.r) << describe(middle);
    EXPECT_NEAR(right.r, 10, 4) << describe(right);
    EXPECT_EQ(left.r, left.g);            // white light on a grey surface stays grey
    EXPECT_EQ(context->pixel(1, 1).a, 0); // outside the sphere
}

// Scenery is drawn through a tint: it scales the diffuse colour of that model alone.
TEST_F(LitModelTest, ATintScalesOnlyItsOwnModelsDiffuseColour) {
    write("sphere.obj", sphereObj("grey.mtl", "grey"));
    const auto sphere = mesh("sphere.obj");
    for (const float x : {-0.625f, 0.625f}) {
        const auto e = entity(
            glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(x, 0, 0)), glm::vec3(0.5f)));
        auto* model = new vorn::components::Model(sphere->parts);
        if (x > 0.0f)
            model->tint({0.5f, 0.5f, 1.0f});
        world->addComponent(e, model);
    }
    EXPECT_EQ(*sphere->parts[0].material->uniforms.find("mat_diffuse")->getIf<glm::vec3>(),
              glm::vec3(0.8f));
    clearColour(0, 0, 0, 0);
    render();
    // The same lit point of each sphere, a little left of its centre.
    const glm::u8vec4 plain = context->pixel(11, 32);
    const glm::u8vec4 tinted = context->pixel(43, 32);
    ASSERT_GT(plain.r, 60) << describe(plain);
    EXPECT_NEAR(tinted.r, plain.r / 2, 3) << describe(tinted);
    EXPECT_NEAR(tinted.g, plain.g / 2, 3) << describe(tinted);
    EXPECT_NEAR(tinted.b, plain.b, 3) << describe(tinted);
}

TEST_F(LitModelTest, ObjectSpaceNormalMapDecidesTheLightingNotTheMeshNormals) {
    write("quad.obj", "mtllib grey.mtl\nusemtl grey\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
                      "vn 0 0 1\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                      "f 1/1/1 2/2/1 3/3/1\nf 1/1/1 3/3/1 4/4/1\n");
    const auto quad = mesh("quad.obj");
    const auto program =
        vorn::rendering::shaderProgramCache().get("shaders/objSpaceNormalMapping.txt");
    // Object-space normals stored as n * 0.5 + 0.5: facing the light (-x), and facing away (+x).
    const auto towards = vorn::rendering::textureCache().getFullPath(
        writeImage("towards.png", 1, 1, {sf::Color(0, 128, 128)}));
    const auto away = vorn::rendering::textureCache().getFullPath(
        writeImage("away.png", 1, 1, {sf::Color(255, 128, 128)}));
    for (const auto& [x, map] : {std::pair{-1.1f, towards}, std::pair{0.1f, away}}) {
        const auto e = entity(glm::translate(glm::mat4(1.0f), glm::vec3(x, -0.5f, 0.0f)));
        auto* model = new vorn::components::Model(quad->parts);
        model->setShaderProgram(program);
        model->setTexture("normalMap", map);
        world->addComponent(e, model);
    }
    // The mesh's own material is untouched by the two models' changes.
    EXPECT_EQ(quad->parts[0].material->textures.count("normalMap"), 0u);
    clearColour(0, 0, 0, 0);
    render();
    const glm::u8vec4 lit = context->pixel(18, 32);
    const glm::u8vec4 unlit = context->pixel(45, 32);
    EXPECT_NEAR(lit.r, 214, 6) << describe(lit);    // 0.8 of the full light, plus ambient
    EXPECT_NEAR(unlit.r, 10, 4) << describe(unlit); // ambient only
}
