#include "particles/ParticleEmitter.hpp"

#include "particles/ParticleRegistry.hpp"
#include "particles/ParticleSystem.hpp"
#include "rendering/Material.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/Texture.hpp"
#include "rendering/UniformSet.hpp"
#include "rendering/VertexBuffer.hpp"

#include <glm/mat3x3.hpp>
#include <glm/matrix.hpp>

namespace vorn::components {

using vorn::rendering::Material;
using vorn::rendering::VertexBuffer;
using vorn::rendering::VertexLayouts;

namespace {

std::shared_ptr<Material> makeMaterial(const std::string& program,
                                       const std::shared_ptr<vorn::rendering::Texture>& texture) {
    auto material = std::make_shared<Material>();
    material->setShaderProgram(vorn::rendering::shaderProgramCache().get(program));
    material->setTexture("diffuseTex", texture);
    return material;
}

// Pixels per world unit at clip w = 1 along the viewport's height: P[1][1] maps view-space y to
// clip y, and clip y of 1 is half the viewport's height.
float pixelsPerUnit(const glm::mat4& projection) {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    return projection[1][1] * 0.5f * static_cast<float>(viewport[3]);
}

// Makes `buffer` (bound to GL_ARRAY_BUFFER) hold at least `count` vertices.
void reserveVertices(VertexBuffer& buffer, int count) {
    if (buffer.vertexCount < count)
        buffer.allocate(count, GL_STREAM_DRAW, GL_ARRAY_BUFFER);
}

// Copies `n` values of `data` into the start of the buffer's block `index` (bound buffer).
template <class T>
void uploadBlock(const VertexBuffer& buffer, std::size_t index, const std::vector<T>& data,
                 std::size_t n) {
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(buffer.blockOffset(index)),
                    static_cast<GLsizeiptr>(n * sizeof(T)), data.data());
}

} // namespace

ParticleEmitter::ParticleEmitter(std::shared_ptr<vorn::rendering::Texture> texture)
    : ParticleEmitter(std::move(texture), "additive") {}

ParticleEmitter::ParticleEmitter(std::shared_ptr<vorn::rendering::Texture> texture,
                                 const std::string& passName)
    : ParticlePassRenderable(true), system(std::make_unique<vorn::particles::ParticleSystem>()),
      particleTexture(std::move(texture)), pointShader(vorn::rendering::shaderProgramCache().get(
                                               "shaders/particleRender/particlePointShader.txt")),
      pointBuffer(std::make_unique<VertexBuffer>(VertexLayouts::particlePoint())),
      quadBuffer(std::make_unique<VertexBuffer>(VertexLayouts::quad())) {
    addName(componentName);
    addName("behavior");
    addName(passName);
    vorn::particles::ParticleRegistry::instance().add(system.get());
    pointMaterial = std::make_shared<Material>();
    pointMaterial->setShaderProgram(pointShader);
    pointMaterial->setTexture("diffuseTex", particleTexture);
    passMaterial =
        makeMaterial("shaders/particleRender/particlePointShaderPass.txt", particleTexture);
    solidMaterial = makeMaterial("shaders/flatShader.txt", particleTexture);
    glGenVertexArrays(1, &pointVertexArray);
    glGenVertexArrays(1, &quadVertexArray);
}

ParticleEmitter::~ParticleEmitter() {
    vorn::particles::ParticleRegistry::instance().remove(system.get());
    glDeleteVertexArrays(1, &pointVertexArray);
    glDeleteVertexArrays(1, &quadVertexArray);
}

void ParticleEmitter::initialize() {
    Renderable::initialize();
    system->start();
}

void ParticleEmitter::update(float dt) {
    system->update(dt, continuous);
}

void ParticleEmitter::preparePoints(vorn::particles::ParticleVertices& out) {
    out.fillPoints(*system);
}

void ParticleEmitter::drawPoints(vorn::rendering::RenderState& state, Material& material,
                                 GLenum blendSource, const glm::mat4& model,
                                 vorn::rendering::UniformSet& perDraw) {
    preparePoints(vertices);
    const std::size_t n = vertices.pointCount;
    if (n == 0 || !material.program)
        return;
    state.setBlendFunc(blendSource, GL_ONE);
    // Lets the vertex stage size the points.
    state.enableCap(GL_PROGRAM_POINT_SIZE);
    material.apply(state, &perDraw);
    vorn::rendering::ShaderProgram& program = *material.program;
    const glm::mat4 modelView = state.view * model;
    program.setUniform("MV", modelView);
    program.setUniform("P", state.projection);
    program.setUniform("MVP", state.projection * modelView);
    program.setUniform("pointScale", system->rendererScale[0] * pixelsPerUnit(state.projection));

    glBindVertexArray(pointVertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, pointBuffer->id());
    reserveVertices(*pointBuffer, system->count());
    // The layout is "pos", "size", "color", one planar block each.
    uploadBlock(*pointBuffer, 0, vertices.positions, n);
    uploadBlock(*pointBuffer, 1, vertices.sizes, n);
    uploadBlock(*pointBuffer, 2, vertices.colours, n);
    pointBuffer->bindAttributes(program);
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(n));
    glBindVertexArray(0);
}

void ParticleEmitter::draw(vorn::rendering::RenderState& state, const glm::mat4& model,
                           vorn::rendering::UniformSet& perDraw) {
    drawPoints(state, *pointMaterial, GL_SRC_ALPHA, model, perDraw);
}

void ParticleEmitter::drawPointPass(vorn::rendering::RenderState& state, const glm::mat4& model,
                                    vorn::rendering::UniformSet& perDraw) {
    drawPoints(state, *passMaterial, GL_ONE, model, perDraw);
}

void ParticleEmitter::drawSolidPass(vorn::rendering::RenderState& state, const glm::mat4& model,
                                    vorn::rendering::UniformSet& perDraw) {
    if (!solidMaterial->program)
        return;
    // The quads face the camera: the screen's x and y axes expressed in the particles' space.
    const glm::mat4 modelView = state.view * model;
    const glm::mat3 toParticleSpace = glm::inverse(glm::mat3(modelView));
    const glm::vec3 right = glm::normalize(toParticleSpace * glm::vec3(1.0f, 0.0f, 0.0f));
    const glm::vec3 up = glm::normalize(toParticleSpace * glm::vec3(0.0f, 1.0f, 0.0f));
    // The quads are built around the same (possibly moved) points as the point draws.
    preparePoints(vertices);
    const std::size_t n = vertices.fillQuads(system->rendererScale[0], right, up);
    if (n == 0)
        return;
    state.setBlendFunc(GL_SRC_ALPHA, GL_ONE);
    solidMaterial->apply(state, &perDraw);
    vorn::rendering::ShaderProgram& program = *solidMaterial->program;
    program.setUniform("MVP", state.projection * modelView);
    program.setUniform("MV", modelView);
    program.setUniform("M", model);
    program.setUniform("V", state.view);

    glBindVertexArray(quadVertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer->id());
    reserveVertices(*quadBuffer, system->count() * 6);
    // The layout is "pos", "UV".
    uploadBlock(*quadBuffer, 0, vertices.quadPositions, n);
    uploadBlock(*quadBuffer, 1, vertices.quadUVs, n);
    quadBuffer->bindAttributes(program);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(n));
    glBindVertexArray(0);
}

} // namespace vorn::components
