// Shader programs on a real GL context: loading, compile and link messages, includes, uniform
// discovery and setting, texture unit assignment, and the program cache.
#include "GlCallCounter.hpp"
#include "GlFixture.hpp"
#include "engine/DiagnosticsCapture.hpp"

#include "rendering/ResourceCaches.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/Texture.hpp"

#include <glm/gtc/type_ptr.hpp>

using vorn::rendering::ShaderProgram;
using vorn::rendering::Texture;

namespace {

const char* const passVertex = "in vec3 pos;\nuniform mat4 MVP;\nvoid main() { gl_Position = MVP * "
                               "vec4(pos, 1.0); }\n";
const char* const tintFragment = "uniform vec3 tint;\nout vec4 colour;\nvoid main() { colour = "
                                 "vec4(tint, 1.0); }\n";
const char* const version = "#version 330 core\\n";

class ShaderProgramGlTest : public GlFixture {
protected:
    // A definition with a vertex and a fragment stage from files in the scratch directory.
    std::string definition(const std::string& name, const std::string& vert,
                           const std::string& frag) {
        return write(name, std::string("[ { type vertex key \"") + vert + "\" data \"" + version +
                               "\" }\n  { type fragment key \"" + frag + "\" data \"" + version +
                               "\" } ]\n");
    }

    std::shared_ptr<ShaderProgram> loadQuietly(const std::string& path, std::string& errors) {
        vorn::engine::DiagnosticsCapture capture;
        auto program = ShaderProgram::load(path);
        errors = capture.errText();
        return program;
    }
};

GLint linkStatus(const ShaderProgram& program) {
    GLint linked = GL_FALSE;
    glGetProgramiv(program.id(), GL_LINK_STATUS, &linked);
    return linked;
}

} // namespace

TEST_F(ShaderProgramGlTest, StageFilesBesideTheDefinitionLoadThroughTheFallbackPath) {
    write("fb.vert", passVertex);
    write("fb.frag", tintFragment);
    std::string errors;
    const auto program = loadQuietly(definition("fb.txt", "fb.vert", "fb.frag"), errors);
    EXPECT_EQ(errors, "");
    EXPECT_EQ(linkStatus(*program), GL_TRUE);
    EXPECT_NE(program->location("tint"), -1);
    EXPECT_NE(program->location("MVP"), -1);
}

TEST_F(ShaderProgramGlTest, DataOnlyStageIsAWholeSourceAndItsErrorsAreLabelledShader) {
    const std::string good =
        write("data.txt", std::string("[ { type vertex data \"#version 330 core\\nin vec3 pos;\\n"
                                      "void main() { gl_Position = vec4(pos, 1.0); }\" }\n"
                                      "  { type fragment data \"#version 330 core\\nout vec4 c;\\n"
                                      "void main() { c = vec4(1.0); }\" } ]"));
    std::string errors;
    EXPECT_EQ(linkStatus(*loadQuietly(good, errors)), GL_TRUE);
    EXPECT_EQ(errors, "");

    const std::string bad =
        write("bad.txt", std::string("[ { type fragment data \"#version 330 core\\nout vec4 c;\\n"
                                     "void main() {\\n  c = undefinedThing;\\n}\" } ]"));
    const auto program = loadQuietly(bad, errors);
    EXPECT_EQ(errors.rfind("Errors compiling \"Shader\":\n", 0), 0u) << errors;
    EXPECT_NE(errors.find("undefinedThing"), std::string::npos) << errors;
    EXPECT_NE(errors.find("0:4("), std::string::npos) << errors; // the source's own line 4
    EXPECT_EQ(errors.find("Note: if the line number"), std::string::npos) << errors;
    EXPECT_NE(errors.find("Errors linking \"" + bad + "\":\n"), std::string::npos) << errors;
    EXPECT_EQ(linkStatus(*program), GL_FALSE);
}

TEST_F(ShaderProgramGlTest, IncludedFileErrorsReportFiveDigitLineNumbersWithTheNote) {
    write("inc.vert", passVertex);
    write("helpers.glsl", "float fine() { return 1.0; }\n");
    write("broken.glsl", "float ok() { return 1.0; }\nfloat bad() { return nope; }\n");
    write("inc.frag", "#include \"helpers.glsl\"\n#include \"broken.glsl\"\nout vec4 c;\n"
                      "void main() { c = vec4(fine() + bad()); }\n");
    std::string errors;
    loadQuietly(definition("inc.txt", "inc.vert", "inc.frag"), errors);
    EXPECT_NE(errors.find("Errors compiling \"" + dir + "inc.frag\":\n"), std::string::npos)
        << errors;
    EXPECT_NE(errors.find("Note: if the line number is 5 digits long, the first digit refers to "
                          "which\nincluded file the error occured in.\n"),
              std::string::npos)
        << errors;
    // The second included file's second line.
    EXPECT_NE(errors.find("20002"), std::string::npos) << errors;
}

TEST_F(ShaderProgramGlTest, AnErrorAtTheDeepestIncludeLevelReportsItsTrueLine) {
    write("deep.vert", passVertex);
    // deep.frag includes outer.glsl, which includes inner.glsl (the deepest level allowed),
    // which tries to include too.glsl (one level too deep, refused).
    write("outer.glsl", "float outer() { return 1.0; }\n#include \"inner.glsl\"\n");
    write("inner.glsl", "float fine() { return 1.0; }\nfloat bad() { return nope; }\n"
                        "#include \"too.glsl\"\n");
    write("too.glsl", "float worse() { return alsoNope; }\n");
    write("deep.frag", "#include \"outer.glsl\"\nout vec4 c;\n"
                       "void main() { c = vec4(outer() + fine() + bad()); }\n");
    std::string errors;
    loadQuietly(definition("deep.txt", "deep.vert", "deep.frag"), errors);
    EXPECT_NE(errors.find("too.glsl\" (includes nested too deeply)"), std::string::npos) << errors;
    // inner.glsl is the first include of file 1: its line 2 is (1 * 10000 + 1) * 10000 + 2.
    EXPECT_NE(errors.find(":100010002("), std::string::npos) << errors;
    EXPECT_EQ(errors.find("alsoNope"), std::string::npos) << errors;
}

TEST_F(ShaderProgramGlTest, ErrorAfterAnIncludeReportsTheLinesOwnNumber) {
    write("after.vert", passVertex);
    write("lib.glsl", "float a() { return 1.0; }\nfloat b() { return 2.0; }\n");
    write("after.frag", "#include \"lib.glsl\"\nout vec4 c;\nvoid main() {\n"
                        "  c = vec4(missingName);\n}\n");
    std::string errors;
    loadQuietly(definition("after.txt", "after.vert", "after.frag"), errors);
    // Mesa writes "0:4(" for source string 0, line 4.
    EXPECT_NE(errors.find(":4("), std::string::npos) << errors;
}

TEST_F(ShaderProgramGlTest, MissingIncludeIsReportedAndTheRestStillCompilesAndLinks) {
    write("mi.vert", passVertex);
    write("mi.frag", std::string("#include \"absent.glsl\"\n") + tintFragment);
    std::string errors;
    const auto program = loadQuietly(definition("mi.txt", "mi.vert", "mi.frag"), errors);
    EXPECT_EQ(errors, "Could not include \"" + dir + "absent.glsl\"\n");
    EXPECT_EQ(linkStatus(*program), GL_TRUE);
}

TEST_F(ShaderProgramGlTest, ParseErrorIsReportedWithThePathAndEarlierStagesAreStillLinked) {
    write("pe.vert", passVertex);
    const std::string path =
        write("pe.txt", std::string("[ { type vertex key \"pe.vert\" data \"") + version +
                            "\" }\n { type fragment ( ]");
    std::string errors;
    const auto program = loadQuietly(path, errors);
    EXPECT_NE(errors.find(path + ": Parsing error (line 2, column 18): Was expecting '}', got '('"),
              std::string::npos)
        << errors;
    GLint attached = 0;
    glGetProgramiv(program->id(), GL_ATTACHED_SHADERS, &attached);
    EXPECT_EQ(attached, 1);
}

TEST_F(ShaderProgramGlTest, MissingDefinitionGivesAnEmptyProgramAndMessagesNotACrash) {
    std::string errors;
    const auto program = loadQuietly(dir + "nothing.txt", errors);
    ASSERT_NE(program, nullptr);
    EXPECT_NE(errors.find(dir + "nothing.txt: Parsing error"), std::string::npos) << errors;
    EXPECT_EQ(program->setUniform("anything", 1.0f), -1);
}

TEST_F(ShaderProgramGlTest, UniformArraysGetALocationForEveryElement) {
    write("arr.vert", "in vec3 pos;\nuniform mat4 bones[3];\nstruct L { vec3 direction; vec3 "
                      "color; };\nuniform L lights[2];\nvoid main() { gl_Position = bones[0] * "
                      "bones[1] * bones[2] * vec4(pos + lights[0].color + lights[1].color + "
                      "lights[1].direction, 1.0); }\n");
    write("arr.frag", "out vec4 c;\nvoid main() { c = vec4(1.0); }\n");
    std::string errors;
    const auto program = loadQuietly(definition("arr.txt", "arr.vert", "arr.frag"), errors);
    ASSERT_EQ(errors, "");
    const GLint b0 = program->location("bones[0]");
    const GLint b1 = program->location("bones[1]");
    const GLint b2 = program->location("bones[2]");
    EXPECT_NE(b0, -1);
    EXPECT_NE(b1, -1);
    EXPECT_NE(b2, -1);
    EXPECT_NE(b0, b1);
    EXPECT_NE(b1, b2);
    EXPECT_EQ(program->location("bones[3]"), -1);
    EXPECT_NE(program->location("lights[1].color"), -1);
    EXPECT_NE(program->location("lights[0].color"), program->location("lights[1].color"));
}

TEST_F(ShaderProgramGlTest, SetUniformSendsEachTypeAndIgnoresNamesTheProgramLacks) {
    write("su.vert", "in vec3 pos;\nuniform mat4 MVP;\nuniform int mode;\nuniform vec2 "
                     "shift;\nvoid main() { gl_Position = MVP * vec4(pos.xy + shift, pos.z + "
                     "float(mode), 1.0); }\n");
    write("su.frag", tintFragment);
    std::string errors;
    const auto program = loadQuietly(definition("su.txt", "su.vert", "su.frag"), errors);
    ASSERT_EQ(errors, "");
    state->useProgram(program.get());

    const glm::mat4 m(glm::vec4(1, 2, 3, 4), glm::vec4(5, 6, 7, 8), glm::vec4(9, 10, 11, 12),
                      glm::vec4(13, 14, 15, 16));
    EXPECT_EQ(program->setUniform("MVP", m), program->location("MVP"));
    EXPECT_NE(program->setUniform("tint", glm::vec3(0.25f, 0.5f, 0.75f)), -1);
    EXPECT_NE(program->setUniform("mode", 7), -1);
    EXPECT_NE(program->setUniform("shift", glm::vec2(-1.5f, 2.5f)), -1);

    glm::mat4 readMatrix(0.0f);
    glGetUniformfv(program->id(), program->location("MVP"), glm::value_ptr(readMatrix));
    EXPECT_EQ(readMatrix, m); // column-major, not transposed
    glm::vec3 tint(0.0f);
    glGetUniformfv(program->id(), program->location("tint"), glm::value_ptr(tint));
    EXPECT_EQ(tint, glm::vec3(0.25f, 0.5f, 0.75f));
    GLint mode = 0;
    glGetUniformiv(program->id(), program->location("mode"), &mode);
    EXPECT_EQ(mode, 7);

    testsupport::GlCallCounter counter;
    EXPECT_EQ(program->setUniform("notInTheProgram", 1.0f), -1);
    EXPECT_EQ(counter.total(), 0);
}

TEST_F(ShaderProgramGlTest, RestoreDefaultsUsesTheProgramsDefaultOrTheZeroOfThePreviousType) {
    write("rd.vert", passVertex);
    write("rd.frag", "uniform vec3 tint;\nuniform float gain;\nout vec4 c;\nvoid main() { c = "
                     "vec4(tint * gain, 1.0); }\n");
    std::string errors;
    const auto program = loadQuietly(definition("rd.txt", "rd.vert", "rd.frag"), errors);
    ASSERT_EQ(errors, "");
    state->useProgram(program.get());
    program->defaults.set("gain", 0.5f);

    vorn::rendering::UniformSet previous;
    previous.set("tint", glm::vec3(1.0f));
    previous.set("gain", 4.0f);
    previous.set("absent", 2);
    program->upload(previous);
    EXPECT_FALSE(previous.dirty);
    program->restoreDefaults(previous);

    glm::vec3 tint(9.0f);
    glGetUniformfv(program->id(), program->location("tint"), glm::value_ptr(tint));
    EXPECT_EQ(tint, glm::vec3(0.0f));
    float gain = 0.0f;
    glGetUniformfv(program->id(), program->location("gain"), &gain);
    EXPECT_EQ(gain, 0.5f);
}

namespace {

class BindTextureTest : public ShaderProgramGlTest {
protected:
    void SetUp() override {
        ShaderProgramGlTest::SetUp();
        write("bt.vert", passVertex);
        write("bt.frag", "uniform sampler2D first;\nuniform sampler2D second;\nout vec4 c;\n"
                         "void main() { c = texture(first, vec2(0.5)) + texture(second, "
                         "vec2(0.5)); }\n");
        std::string errors;
        program = loadQuietly(definition("bt.txt", "bt.vert", "bt.frag"), errors);
        ASSERT_EQ(errors, "");
        state->useProgram(program.get());
    }

    GLint samplerValue(const std::string& name) const {
        GLint unit = -1;
        glGetUniformiv(program->id(), program->location(name), &unit);
        return unit;
    }

    std::shared_ptr<ShaderProgram> program;
};

} // namespace

TEST_F(BindTextureTest, OneTextureForTwoSamplersUsesOneUnit) {
    Texture texture;
    const int a = program->bindTexture(*state, texture, "first");
    const int b = program->bindTexture(*state, texture, "second");
    EXPECT_EQ(a, 1); // the lowest free unit; unit 0 is kept for uploads
    EXPECT_EQ(b, 1);
    EXPECT_EQ(state->boundTextures[1], &texture);
    EXPECT_EQ(samplerValue("first"), 1);
    EXPECT_EQ(samplerValue("second"), 1);
    EXPECT_EQ(texture.state, state.get());
    EXPECT_EQ(program->bindTexture(*state, texture, "noSuchSampler"), -1);
}

TEST_F(BindTextureTest, ASecondTextureMovesTheSamplerAndRebindingIssuesNoGlCall) {
    Texture one;
    Texture two;
    EXPECT_EQ(program->bindTexture(*state, one, "first"), 1);
    EXPECT_EQ(program->bindTexture(*state, two, "first"), 2);
    EXPECT_EQ(samplerValue("first"), 2);
    EXPECT_EQ(program->samplerUnits[1], -1); // the old entry is free again
    EXPECT_EQ(program->samplerUnits[2], program->location("first"));

    testsupport::GlCallCounter counter;
    EXPECT_EQ(program->bindTexture(*state, two, "first"), 2);
    EXPECT_EQ(counter.total(), 0);
    // Back to the first texture: it is still on unit 1, so only the sampler moves.
    EXPECT_EQ(program->bindTexture(*state, one, "first"), 1);
    EXPECT_EQ(counter.count("glBindTexture"), 0);
    EXPECT_EQ(counter.count("glUniform1iv"), 1);
}

TEST_F(BindTextureTest, WhenEveryUnitIsTakenAUnitNoOtherSamplerUsesIsReplaced) {
    std::vector<std::unique_ptr<Texture>> fillers;
    for (int unit = 1; unit < state->maxTextureUnits; ++unit) {
        fillers.push_back(std::make_unique<Texture>());
        fillers.back()->bindToUnit(*state, unit);
    }
    Texture late;
    // Unit 0 is the lowest unit no sampler of this program holds.
    EXPECT_EQ(program->bindTexture(*state, late, "first"), 0);
    EXPECT_EQ(samplerValue("first"), 0);
    Texture later;
    // "second" may not take unit 0 from "first"; unit 1 is free of samplers.
    EXPECT_EQ(program->bindTexture(*state, later, "second"), 1);
    EXPECT_EQ(state->boundTextures[1], &later);
}

TEST_F(ShaderProgramGlTest, CacheSharesWhileHeldAndReloadsAndRelinksAfterRelease) {
    vorn::engine::setAssetRoot(dir);
    write("cache.vert", passVertex);
    write("cache.frag", tintFragment);
    definition("cache.txt", "cache.vert", "cache.frag");
    auto first = vorn::rendering::shaderProgramCache().get("cache.txt");
    auto second = vorn::rendering::shaderProgramCache().get("cache.txt");
    EXPECT_EQ(first, second);
    EXPECT_NE(first->location("tint"), -1);

    // A changed file is only seen once every holder has let go.
    write("cache.frag",
          "uniform vec3 shade;\nout vec4 c;\nvoid main() { c = vec4(shade, 1.0); }\n");
    EXPECT_NE(vorn::rendering::shaderProgramCache().get("cache.txt")->location("tint"), -1);
    std::weak_ptr<ShaderProgram> old = first;
    first.reset();
    second.reset();
    EXPECT_TRUE(old.expired());
    const auto reloaded = vorn::rendering::shaderProgramCache().get("cache.txt");
    EXPECT_EQ(reloaded->location("tint"), -1);
    EXPECT_NE(reloaded->location("shade"), -1);
}

TEST_F(ShaderProgramGlTest, TheGamesShadersCompileAndLinkWithTheirUniforms) {
    for (const char* name :
         {"shaders/flatShader.txt", "shaders/texturedShaderProgram.txt",
          "shaders/objSpaceNormalMapping.txt", "shaders/colorizedTextShader.txt"}) {
        vorn::engine::DiagnosticsCapture capture;
        const auto program = vorn::rendering::shaderProgramCache().get(name);
        const std::string errors = capture.errText();
        EXPECT_EQ(errors, "") << name;
        EXPECT_EQ(linkStatus(*program), GL_TRUE) << name;
    }
    const auto lit = vorn::rendering::shaderProgramCache().get("shaders/texturedShaderProgram.txt");
    for (const char* uniform :
         {"mat_ambient", "mat_diffuse", "mat_specular", "mat_shininess", "mat_emissive",
          "usingDiffuseTex", "diffuseTex", "ambientLight", "lights[0].direction", "lights[3].color",
          "eyePos", "MVP", "M", "V"})
        EXPECT_NE(lit->location(uniform), -1) << uniform;
    const auto mapped =
        vorn::rendering::shaderProgramCache().get("shaders/objSpaceNormalMapping.txt");
    EXPECT_NE(mapped->location("normalMap"), -1);
    const auto text = vorn::rendering::shaderProgramCache().get("shaders/colorizedTextShader.txt");
    EXPECT_NE(text->location("color"), -1);
    EXPECT_NE(text->location("diffuseTex"), -1);
}
