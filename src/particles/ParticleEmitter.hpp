#pragma once

#include "particles/ParticleVertices.hpp"
#include "rendering/ParticlePassRenderable.hpp"

#include <GL/glew.h>

#include <memory>
#include <string>

namespace vorn::rendering {
class Material;
class ShaderProgram;
class Texture;
class VertexBuffer;
} // namespace vorn::rendering

namespace vorn::particles {
class ParticleSystem;
}

namespace vorn::components {

// Owns one particle system: updates it as a behaviour and draws it, in the normal blended pass as
// round points, and in the post-processing renderer's two particle passes as textured quads
// (solid pass) or additive points (point pass). Answers "particleEmitter", "behavior",
// "renderable" and "additive".
//
// The system is created with the emitter and entered in the particle registry; the emitter's
// destructor takes it out and deletes it. Its owner configures the system before the emitter
// joins a world; initialize() starts it.
class ParticleEmitter : public ParticlePassRenderable {
public:
    inline static const std::string componentName = "particleEmitter";

    // An emitter drawing its particles with `texture` (on "diffuseTex").
    explicit ParticleEmitter(std::shared_ptr<vorn::rendering::Texture> texture);
    ~ParticleEmitter() override;

    // Tags the entity for blending and starts the system.
    void initialize() override;
    // Updates the system with dt and the continuous flag.
    void update(float dt) override;
    // Normal pass: the living particles as points (blend: source alpha, one) with
    // "shaders/particleRender/particlePointShader.txt".
    void draw(vorn::rendering::RenderState& state, const glm::mat4& model,
              vorn::rendering::UniformSet& perDraw) override;
    // Particle pass: textured quads facing the camera (blend: source alpha, one) with
    // "shaders/flatShader.txt".
    void drawSolidPass(vorn::rendering::RenderState& state, const glm::mat4& model,
                       vorn::rendering::UniformSet& perDraw) override;
    // Particle pass: additive points (blend: one, one) with
    // "shaders/particleRender/particlePointShaderPass.txt".
    void drawPointPass(vorn::rendering::RenderState& state, const glm::mat4& model,
                       vorn::rendering::UniformSet& perDraw) override;

    // The particle system, for configuration.
    vorn::particles::ParticleSystem& particleSystem() { return *system; }
    const vorn::particles::ParticleSystem& particleSystem() const { return *system; }
    // The texture drawn on every particle.
    const std::shared_ptr<vorn::rendering::Texture>& texture() const { return particleTexture; }

    // Whether dead particles are re-spawned (see ParticleSystem::update).
    bool continuous = true;

protected:
    // `passName`: the particle-pass collection the emitter belongs to ("additive" or "solid").
    ParticleEmitter(std::shared_ptr<vorn::rendering::Texture> texture, const std::string& passName);
    // Writes the points of the next draw; emitters that move their points add that here.
    virtual void preparePoints(vorn::particles::ParticleVertices& vertices);

    vorn::particles::ParticleVertices vertices;

private:
    // Blend function, point size and material of a point draw, then the draw itself.
    void drawPoints(vorn::rendering::RenderState& state, vorn::rendering::Material& material,
                    GLenum blendSource, const glm::mat4& model,
                    vorn::rendering::UniformSet& perDraw);

    std::unique_ptr<vorn::particles::ParticleSystem> system;
    std::shared_ptr<vorn::rendering::Texture> particleTexture;
    std::shared_ptr<vorn::rendering::ShaderProgram> pointShader;
    std::shared_ptr<vorn::rendering::Material> pointMaterial;
    std::shared_ptr<vorn::rendering::Material> passMaterial;
    std::shared_ptr<vorn::rendering::Material> solidMaterial;
    std::unique_ptr<vorn::rendering::VertexBuffer> pointBuffer;
    std::unique_ptr<vorn::rendering::VertexBuffer> quadBuffer;
    GLuint pointVertexArray = 0;
    GLuint quadVertexArray = 0;
};

} // namespace vorn::components
