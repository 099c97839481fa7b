// Materials: redundant-state elimination, switching, program changes, copies, definition files.
#include "GlCallCounter.hpp"
#include "GlFixture.hpp"
#include "engine/DiagnosticsCapture.hpp"

#include "rendering/Material.hpp"
#include "rendering/Model.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/Texture.hpp"

#include <glm/gtc/type_ptr.hpp>

using vorn::rendering::Material;
using vorn::rendering::ShaderProgram;
using vorn::rendering::Texture;
using vorn::rendering::UniformSet;

namespace {

class MaterialGlTest : public GlFixture {
protected:
    void SetUp() override {
        GlFixture::SetUp();
        write("m.vert", "in vec3 pos;\nuniform mat4 MVP;\nvoid main() { gl_Position = MVP * "
                        "vec4(pos, 1.0); }\n");
        write("m.frag", "uniform vec3 a;\nuniform vec3 b;\nuniform float gain;\nuniform vec3 "
                        "eyePos;\nuniform sampler2D diffuseTex;\nout vec4 c;\nvoid main() { c = "
                        "vec4(a + b * gain + eyePos, 1.0) * texture(diffuseTex, vec2(0.5)); }\n");
        program = loadProgram("m.txt");
    }

    std::shared_ptr<ShaderProgram> loadProgram(const std::string& name) {
        write(name, "[ { type vertex key \"m.vert\" data \"#version 330 core\\n\" }\n"
                    "  { type fragment key \"m.frag\" data \"#version 330 core\\n\" } ]");
        vorn::engine::DiagnosticsCapture capture;
        auto p = ShaderProgram::load(dir + name);
        EXPECT_EQ(capture.errText(), "");
        return p;
    }

    glm::vec3 vec3Uniform(const ShaderProgram& p, const std::string& name) {
        glm::vec3 v(-99.0f);
        glGetUniformfv(p.id(), p.location(name), glm::value_ptr(v));
        return v;
    }

    std::shared_ptr<ShaderProgram> program;
};

} // namespace

TEST_F(MaterialGlTest, ApplyingTheSameUnchangedMaterialTwiceUploadsOnce) {
    Material material;
    material.setShaderProgram(program);
    material.setUniform("a", glm::vec3(0.1f));
    material.setUniform("b", glm::vec3(0.2f));
    material.setTexture("diffuseTex", std::make_shared<Texture>());
    UniformSet perDraw;
    perDraw.set("eyePos", glm::vec3(1, 2, 3));

    testsupport::GlCallCounter counter;
    material.apply(*state, &perDraw);
    EXPECT_EQ(counter.count("glUseProgram"), 1);
    EXPECT_EQ(counter.count("glBindTexture"), 1);
    EXPECT_EQ(counter.uniformCalls(), 4); // eyePos, a, b and the sampler
    EXPECT_FALSE(material.changed);
    EXPECT_FALSE(perDraw.dirty);

    counter.reset();
    material.apply(*state, &perDraw);
    EXPECT_EQ(counter.total(), 0) << "the second apply must issue no GL call at all";

    // A change is uploaded once; so is a per-draw set marked dirty.
    material.setUniform("a", glm::vec3(0.5f));
    perDraw.set("eyePos", glm::vec3(0.0f));
    counter.reset();
    material.apply(*state, &perDraw);
    EXPECT_EQ(counter.count("glUseProgram"), 0);
    EXPECT_EQ(counter.uniformCalls(), 3); // eyePos, a, b
    EXPECT_EQ(vec3Uniform(*program, "a"), glm::vec3(0.5f));
}

TEST_F(MaterialGlTest, SwitchingMaterialsResetsWhatTheNewOneDoesNotSet) {
    Material first;
    first.setShaderProgram(program);
    first.setUniform("a", glm::vec3(0.3f));
    first.setUniform("b", glm::vec3(0.4f));
    first.setUniform("gain", 2.0f);
    Material second;
    second.setShaderProgram(program);
    second.setUniform("b", glm::vec3(0.7f));
    program->defaults.set("gain", 1.0f);

    first.apply(*state, nullptr);
    EXPECT_EQ(vec3Uniform(*program, "a"), glm::vec3(0.3f));
    second.apply(*state, nullptr);
    EXPECT_EQ(vec3Uniform(*program, "a"), glm::vec3(0.0f)); // zero: no default for "a"
    EXPECT_EQ(vec3Uniform(*program, "b"), glm::vec3(0.7f));
    float gain = 0.0f;
    glGetUniformfv(program->id(), program->location("gain"), &gain);
    EXPECT_EQ(gain, 1.0f); // the program's default
    EXPECT_EQ(program->lastMaterial, &second);
    EXPECT_EQ(state->currentMaterial, &second);
}

TEST_F(MaterialGlTest, LeavingAProgramGivesItsValuesBackAndTheNewProgramGetsThemAll) {
    const auto other = loadProgram("other.txt");
    Material material;
    material.setShaderProgram(program);
    material.setUniform("a", glm::vec3(0.6f));
    material.apply(*state, nullptr);
    ASSERT_EQ(program->lastMaterial, &material);

    material.setShaderProgram(other);
    EXPECT_EQ(program->lastMaterial, nullptr);
    EXPECT_EQ(vec3Uniform(*program, "a"), glm::vec3(0.0f));
    EXPECT_EQ(state->currentProgram, program.get()); // GL's current program is left as it was
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), program->id());

    // Still the render state's current material, but its values must reach the new program.
    material.apply(*state, nullptr);
    EXPECT_EQ(vec3Uniform(*other, "a"), glm::vec3(0.6f));
}

TEST_F(MaterialGlTest, ADestroyedMaterialIsNeverReadAgainByItsProgram) {
    auto doomed = std::make_unique<Material>();
    doomed->setShaderProgram(program);
    doomed->setUniform("a", glm::vec3(0.9f));
    doomed->apply(*state, nullptr);
    doomed.reset();
    EXPECT_EQ(program->lastMaterial, nullptr);
    EXPECT_EQ(vec3Uniform(*program, "a"), glm::vec3(0.0f));
    Material next;
    next.setShaderProgram(program);
    next.setUniform("b", glm::vec3(0.1f));
    next.apply(*state, nullptr);
    EXPECT_EQ(vec3Uniform(*program, "b"), glm::vec3(0.1f));
}

TEST_F(MaterialGlTest, ACopyIsUploadedEvenWhereTheOriginalWasAlreadyCurrent) {
    Material original;
    original.setShaderProgram(program);
    original.setUniform("a", glm::vec3(0.2f));
    original.apply(*state, nullptr);
    Material copy(original);
    EXPECT_TRUE(copy.changed);
    EXPECT_EQ(copy.textures.size(), original.textures.size());
    copy.setUniform("a", glm::vec3(0.8f));
    copy.apply(*state, nullptr);
    EXPECT_EQ(vec3Uniform(*program, "a"), glm::vec3(0.8f));
    original.apply(*state, nullptr);
    EXPECT_EQ(vec3Uniform(*program, "a"), glm::vec3(0.2f));
}

TEST_F(MaterialGlTest, DefinitionFileLoadsThroughTheCachesAndReportsBadFiles) {
    vorn::engine::setAssetRoot(dir);
    writeImage("bark.png", 1, 1, {sf::Color(10, 20, 30)});
    write("bark.txt", "{ shaderProgram \"m.txt\"\n  uniforms [ vec3 a [0.25 0.5 1] int unused 3 ]\n"
                      "  texture \"bark.png\" }");
    const auto material = vorn::rendering::materialCache().get("bark.txt");
    EXPECT_EQ(material->program, vorn::rendering::shaderProgramCache().get("m.txt"));
    ASSERT_EQ(material->textures.count("diffuseTex"), 1u);
    EXPECT_EQ(material->textures.at("diffuseTex")->width, 1);
    material->apply(*state, nullptr);
    EXPECT_EQ(vec3Uniform(*material->program, "a"), glm::vec3(0.25f, 0.5f, 1.0f));

    for (const std::string& bad : {std::string(""), std::string("{ uniforms [ vec3 a 1 2 3 ] }"),
                                   std::string("\x89PNG\r\n\x1a\n\0\0\0", 11)}) {
        write("bad.txt", bad);
        vorn::engine::DiagnosticsCapture capture;
        const auto broken = vorn::rendering::materialCache().get("bad.txt");
        const std::string errors = capture.errText();
        ASSERT_NE(broken, nullptr);
        EXPECT_EQ(errors.rfind(dir + "bad.txt: Parsing error (line ", 0), 0u) << errors;
    }
    vorn::engine::DiagnosticsCapture capture;
    EXPECT_NE(vorn::rendering::materialCache().get("none.txt"), nullptr);
    EXPECT_NE(capture.errText().find("none.txt: Parsing error"), std::string::npos);
}

TEST_F(MaterialGlTest, ModelTextureAndProgramChangesCopyOnlySharedMaterials) {
    auto shared = std::make_shared<Material>();
    shared->setShaderProgram(program);
    const auto original = std::make_shared<Texture>();
    shared->setTexture("diffuseTex", original);
    std::vector<vorn::rendering::MeshPart> parts;
    parts.emplace_back(shared, nullptr);
    vorn::components::Model first(parts);
    vorn::components::Model second(parts);
    parts.clear();

    const auto replacement = std::make_shared<Texture>();
    first.setTexture("diffuseTex", replacement);
    EXPECT_NE(first.parts[0].material, shared);
    EXPECT_EQ(first.parts[0].material->textures.at("diffuseTex"), replacement);
    EXPECT_EQ(second.parts[0].material, shared);
    EXPECT_EQ(second.parts[0].material->textures.at("diffuseTex"), original);

    // The material is now first's alone: a second change needs no further copy.
    const vorn::rendering::Material* own = first.parts[0].material.get();
    second.parts[0].attributesDirty = false;
    const auto other = loadProgram("other.txt");
    first.setShaderProgram(other);
    EXPECT_EQ(first.parts[0].material.get(), own);
    EXPECT_EQ(first.parts[0].material->program, other);
    EXPECT_TRUE(first.parts[0].attributesDirty);
    EXPECT_EQ(second.parts[0].material->program, program);
    EXPECT_FALSE(second.parts[0].attributesDirty);
}
