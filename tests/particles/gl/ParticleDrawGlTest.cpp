// Particle emitters on screen: the point draw lights exactly the particles' pixels, the depth
// test hides particles behind opaque geometry, and the two particle-pass draws.
#include "rendering/gl/SceneFixture.hpp"

#include "particles/DustEmitter.hpp"
#include "particles/ParticleChaos.hpp"
#include "particles/ParticleEmitter.hpp"
#include "particles/ParticleRegistry.hpp"
#include "particles/ParticleSystem.hpp"
#include "rendering/UniformSet.hpp"

using vorn::components::ParticleEmitter;
using vorn::particles::Particle;

namespace {

constexpr GLbitfield colourAndDepth = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;

class ParticleDrawGlTest : public SceneFixture {
protected:
    void addRenderer(std::set<std::string> spaces, float priority, GLbitfield mask) {
        world->addComponent(new vorn::systems::Renderer(std::move(spaces), priority, mask, {}));
    }

    // An emitter at the origin whose living particles sit at `points` (pixel units with the
    // screen camera), each `size` pixels across, in `colour`; nothing spawns.
    ParticleEmitter* emitter(const std::vector<glm::vec3>& points, float size,
                             const glm::vec4& colour) {
        auto* e = new ParticleEmitter(solid(sf::Color::White));
        e->continuous = false;
        vorn::particles::ParticleSystem& system = e->particleSystem();
        EXPECT_TRUE(system.setParticleCount(static_cast<int>(points.size()) + 1));
        for (std::size_t i = 0; i < points.size(); ++i) {
            Particle& p = system.particles()[i];
            p.position = points[i];
            p.size = size;
            p.colour = colour;
            p.life = 1.0f;
        }
        // One dead particle that would light (0, 0) if dead particles were drawn.
        system.particles().back().size = size;
        system.particles().back().colour = colour;
        world->addComponent(entity(glm::mat4(1.0f)), e);
        return e;
    }

    // The lit pixels (red above 40) of the framebuffer.
    int litPixels() const {
        int lit = 0;
        for (const glm::u8vec4& p : context->pixels())
            lit += p.r > 40 ? 1 : 0;
        return lit;
    }
};

} // namespace

TEST_F(ParticleDrawGlTest, PointDrawLightsRoundSpotsAtTheParticlesAndNothingElse) {
    screenCamera();
    emitter({{16.5f, 16.5f, 0.0f}, {44.5f, 40.5f, 0.0f}}, 8.0f, {1.0f, 0.0f, 0.0f, 1.0f});
    addRenderer({}, 0, colourAndDepth);
    clearColour(0, 0, 0, 1);
    render();
    // Centres at full strength (blend: source alpha, one over black).
    EXPECT_GE(context->pixel(16, 16).r, 250) << describe(context->pixel(16, 16));
    EXPECT_EQ(context->pixel(16, 16).g, 0);
    EXPECT_GE(context->pixel(44, 40).r, 250);
    // Inside the 8-pixel point but softer towards the rim; nothing beyond its radius.
    EXPECT_GT(context->pixel(18, 16).r, 40);
    EXPECT_LT(context->pixel(19, 19).r, context->pixel(16, 16).r);
    EXPECT_EQ(context->pixel(22, 16).r, 0);
    EXPECT_EQ(context->pixel(16, 22).r, 0);
    EXPECT_EQ(context->pixel(0, 0).r, 0); // the dead particle
    EXPECT_EQ(context->pixel(32, 60).r, 0);
    // Two round spots of radius 4: well under two 8 x 8 squares.
    const int lit = litPixels();
    EXPECT_GT(lit, 2 * 20);
    EXPECT_LT(lit, 2 * 64);
}

TEST_F(ParticleDrawGlTest, ParticlesBehindAnOpaqueQuadAreHiddenByTheDepthTest) {
    screenCamera();
    // Opaque quad over the left half, in front (z = 50) of particles at z = 10; a particle on
    // each side, and one in front of the quad.
    sprite(solid(sf::Color::Blue), 0, 0, 50, 32, 64);
    emitter({{16.5f, 16.5f, 10.0f}, {48.5f, 16.5f, 10.0f}, {16.5f, 48.5f, 80.0f}}, 6.0f,
            {1.0f, 0.0f, 0.0f, 1.0f});
    addRenderer({}, 0, colourAndDepth);
    clearColour(0, 0, 0, 1);
    render();
    EXPECT_EQ(context->pixel(16, 16), glm::u8vec4(0, 0, 255, 255)) << "hidden behind the quad";
    EXPECT_GE(context->pixel(48, 16).r, 250) << "beside the quad";
    const glm::u8vec4 front = context->pixel(16, 48);
    EXPECT_GE(front.r, 250) << "in front of the quad: " << describe(front);
    EXPECT_EQ(front.b, 255) << "added over the quad";
}

TEST_F(ParticleDrawGlTest, ParticlePassDrawsQuadsAndAdditivePoints) {
    screenCamera();
    ParticleEmitter* e = emitter({{20.5f, 20.5f, 0.0f}}, 4.0f, {0.0f, 1.0f, 0.0f, 1.0f});
    e->particleSystem().rendererScale[0] = 2.0f; // an 8-pixel square or point
    addRenderer({}, 0, colourAndDepth);
    clearColour(0, 0, 0, 1);
    render(); // starts the world and sets the camera on the render state
    const glm::mat4 model(1.0f);
    vorn::rendering::UniformSet perDraw;

    // Solid pass: a textured square (the white texture, not the particle colour), 8 x 8.
    context->bind();
    glClear(colourAndDepth);
    state->enableCap(GL_BLEND);
    state->disableCap(GL_DEPTH_TEST);
    state->disableCap(GL_CULL_FACE);
    e->drawSolidPass(*state, model, perDraw);
    int square = 0;
    for (const glm::u8vec4& p : context->pixels())
        square += p.r == 255 && p.g == 255 && p.b == 255 ? 1 : 0;
    EXPECT_EQ(square, 64);
    EXPECT_EQ(context->pixel(16, 16), glm::u8vec4(255, 255, 255, 255));
    EXPECT_EQ(context->pixel(23, 23), glm::u8vec4(255, 255, 255, 255));
    EXPECT_EQ(context->pixel(24, 20).r, 0);
    EXPECT_EQ(context->pixel(20, 15).r, 0);
    EXPECT_EQ(state->blendSrc, static_cast<GLenum>(GL_SRC_ALPHA));

    // Point pass: additive (one, one): drawing twice doubles a half-strength colour.
    glClear(colourAndDepth);
    e->particleSystem().particles()[0].colour = glm::vec4(0.0f, 0.4f, 0.0f, 1.0f);
    e->drawPointPass(*state, model, perDraw);
    const int once = context->pixel(20, 20).g;
    e->drawPointPass(*state, model, perDraw);
    const int twice = context->pixel(20, 20).g;
    EXPECT_NEAR(once, 102, 3);
    EXPECT_NEAR(twice, 2 * once, 3);
    EXPECT_EQ(context->pixel(26, 20).g, 0);
    EXPECT_EQ(state->blendSrc, static_cast<GLenum>(GL_ONE));
    EXPECT_EQ(state->blendDst, static_cast<GLenum>(GL_ONE));
}

TEST_F(ParticleDrawGlTest, EmittersAnswerTheirNamesAndKeepTheRegistryCurrent) {
    const std::size_t before = vorn::particles::ParticleRegistry::instance().systems().size();
    {
        vorn::components::DustEmitter dust(solid(sf::Color::White));
        vorn::components::ParticleChaos chaos(solid(sf::Color::White));
        ParticleEmitter plain(solid(sf::Color::White));
        EXPECT_EQ(vorn::particles::ParticleRegistry::instance().systems().size(), before + 3);
        EXPECT_TRUE(vorn::particles::ParticleRegistry::instance().contains(&dust.particleSystem()));
        for (const char* name :
             {"dustEmitter", "particleEmitter", "behavior", "renderable", "solid"})
            EXPECT_TRUE(dust.hasName(name)) << name;
        EXPECT_FALSE(dust.hasName("additive"));
        for (const char* name : {"particleEmitter", "behavior", "renderable", "additive"}) {
            EXPECT_TRUE(chaos.hasName(name)) << name;
            EXPECT_TRUE(plain.hasName(name)) << name;
        }
        EXPECT_TRUE(plain.blending);
        EXPECT_TRUE(plain.continuous);
    }
    EXPECT_EQ(vorn::particles::ParticleRegistry::instance().systems().size(), before);
}
