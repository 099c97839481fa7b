// Random and mutated input for every text loader of the rendering layer. Each loader must return
// normally whatever the bytes; run under AddressSanitizer this also shows that none reads or
// writes outside its buffers. Fixed seeds and bounded sizes keep the runs repeatable and short.
#include "engine/DiagnosticsCapture.hpp"
#include "parsing/DefinitionReader.hpp"
#include "parsing/ParseError.hpp"
#include "rendering/Material.hpp"
#include "rendering/MtlLoader.hpp"
#include "rendering/ObjLoader.hpp"
#include "rendering/ShaderIncludes.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/UniformSet.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

using namespace vorn::rendering;

namespace {

constexpr int rounds = 1500;

// Inputs of three kinds: raw bytes; text made of the format's own tokens in random order; and a
// valid sample with random bytes changed, cut short or repeated.
class InputMaker {
public:
    InputMaker(unsigned seed, std::vector<std::string> tokens, std::string sample)
        : random(seed), tokens(std::move(tokens)), sample(std::move(sample)) {}

    std::string next() {
        switch (random() % 3) {
        case 0:
            return bytes();
        case 1:
            return tokenSoup();
        default:
            return mutated();
        }
    }

private:
    std::string bytes() {
        std::string s(random() % 300, '\0');
        for (char& c : s)
            c = static_cast<char>(random() % 256);
        return s;
    }
    std::string tokenSoup() {
        std::string s;
        const int count = static_cast<int>(random() % 60);
        for (int i = 0; i < count; ++i) {
            s += tokens[random() % tokens.size()];
            s += " \n\t"[random() % 3];
        }
        return s;
    }
    std::string mutated() {
        std::string s = sample;
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < edits && !s.empty(); ++i) {
            const std::size_t at = random() % s.size();
            switch (random() % 4) {
            case 0:
                s[at] = static_cast<char>(random() % 256);
                break;
            case 1:
                s.erase(at, random() % 16);
                break;
            case 2:
                s.insert(at, tokens[random() % tokens.size()]);
                break;
            default:
                s.resize(at); // truncated file
                break;
            }
        }
        return s;
    }

    std::mt19937 random;
    std::vector<std::string> tokens;
    std::string sample;
};

} // namespace

TEST(LoaderRandomInput, ObjParserAlwaysYieldsWholeTrianglesWithinItsArrays) {
    InputMaker maker(11, {"v",     "vn",   "vt", "f",     "usemtl", "mtllib",     "1",
                          "2/3/4", "1//2", "-7", "65535", "65536",  "4294967296", "1e39",
                          "nan",   "/",    "//", "#",     "\r",     "\0"},
                     "mtllib m.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n"
                     "usemtl a\nf 1/1/1 2/1/1 3/1/1\nf 1 2 3 4\nusemtl \nf 3//1 2//1 1//1\n");
    for (int i = 0; i < rounds; ++i) {
        std::istringstream in(maker.next());
        const ObjData data = ObjLoader::parse(in, "dir/");
        ASSERT_FALSE(data.positions.empty());
        ASSERT_FALSE(data.normals.empty());
        ASSERT_FALSE(data.uvs.empty());
        for (const auto& [name, indices] : data.groups) {
            ASSERT_EQ(indices.size() % 3, 0u) << "group " << name;
            const ObjVertices v = ObjLoader::expand(data, indices);
            ASSERT_EQ(v.positions.size(), indices.size());
            ASSERT_EQ(v.normals.size(), indices.size());
            ASSERT_EQ(v.uvs.size(), indices.size());
            // The indexed form gives the same vertices, each distinct corner stored once.
            const ObjIndexedVertices shared = ObjLoader::expandIndexed(data, indices);
            ASSERT_EQ(shared.corners.size(), indices.size());
            ASSERT_LE(shared.vertices.positions.size(), indices.size());
            for (std::size_t c = 0; c < indices.size(); ++c) {
                const std::uint32_t at = shared.corners[c];
                ASSERT_LT(at, shared.vertices.positions.size());
                ASSERT_EQ(shared.vertices.positions[at], v.positions[c]) << "corner " << c;
                ASSERT_EQ(shared.vertices.normals[at], v.normals[c]) << "corner " << c;
                ASSERT_EQ(shared.vertices.uvs[at], v.uvs[c]) << "corner " << c;
            }
        }
        for (const std::string& library : data.materialLibraries)
            ASSERT_EQ(library.rfind("dir/", 0), 0u);
    }
}

TEST(LoaderRandomInput, MtlParserAlwaysFinishesEveryMaterialWithADiffuseColour) {
    InputMaker maker(12,
                     {"newmtl", "Ka", "Kd", "Ks", "Ns", "map_Kd", "0", "1", "-1", "1e40", "nan",
                      "a.png", "\r", "#"},
                     "newmtl a\nKa 0.2 0.2 0.2\nKd 0 0 0\nKs 1 1 1\nNs 10\nmap_Kd a.png\n"
                     "newmtl b\nKd 0.5 0.5 0.5\n");
    for (int i = 0; i < rounds; ++i) {
        std::istringstream in(maker.next());
        int textures = 0;
        const auto library = MtlLoader::parse(
            in, "dir/", [](const std::string&) { return nullptr; },
            [&](const std::string& path) {
                EXPECT_EQ(path.rfind("dir/", 0), 0u);
                ++textures;
                return nullptr;
            });
        ASSERT_NE(library, nullptr);
        for (const auto& [name, material] : *library) {
            const UniformValue* diffuse = material->uniforms.find("mat_diffuse");
            ASSERT_NE(diffuse, nullptr) << name;
            ASSERT_TRUE(diffuse->holds<glm::vec3>());
            ASSERT_NE(diffuse->get<glm::vec3>(), glm::vec3(0.0f));
            ASSERT_NE(material->uniforms.find("usingDiffuseTex"), nullptr);
        }
        ASSERT_LE(library->size(), 1000u);
        (void)textures;
    }
}

TEST(LoaderRandomInput, DefinitionFileReadersReturnNormallyAndReportOnlyParseErrors) {
    InputMaker material(13,
                        {"{", "}", "[", "]", "uniforms", "shaderProgram", "texture", "int", "float",
                         "vec3", "\"", "\\", "//", "/*", "*/", "x", "-", "1.5", "\0"},
                        "{ uniforms [ int a 1 float b 2.5 vec3 c [1 2 3] ]\n"
                        "  shaderProgram \"shaders/x.txt\" texture t.png }");
    InputMaker shader(14,
                      {"[", "]", "{", "}", "type", "key", "data", "vertex", "fragment",
                       "\"tess control\"", "\"", "\\n", "//", "/*", "\0"},
                      "[ { type vertex key \"a.vert\" data \"#version 330 core\\n\" }\n"
                      "  { type fragment data \"void main() {}\" } ]");
    InputMaker block(15, {"[", "]", "int", "float", "vec3", "mat4", "n", "1", "-", ".", "\""},
                     "[ int a 1 float b 2 vec3 c [1 2 3] ]");
    for (int i = 0; i < rounds; ++i) {
        std::istringstream materialIn(material.next());
        vorn::engine::DiagnosticsCapture capture;
        const auto m = Material::readDefinition(
            materialIn, "m.txt", [](const std::string&) { return nullptr; },
            [](const std::string&) { return nullptr; });
        const std::string materialErrors = capture.errText();
        ASSERT_NE(m, nullptr);
        if (!materialErrors.empty()) {
            ASSERT_EQ(materialErrors.rfind("m.txt: Parsing error (line ", 0), 0u) << materialErrors;
        }

        std::istringstream shaderIn(shader.next());
        std::string error;
        const auto entries = ShaderProgram::readDefinition(shaderIn, error);
        if (!error.empty()) {
            ASSERT_EQ(error.rfind("Parsing error (line ", 0), 0u) << error;
        }
        ASSERT_LE(entries.size(), 1000u);

        std::istringstream blockIn(block.next());
        vorn::parsing::DefinitionReader reader(blockIn);
        UniformSet set;
        try {
            set.read(reader);
        } catch (const vorn::parsing::ParseError&) {
        }
        for (const auto& [name, value] : set.values)
            ASSERT_TRUE(value.tag() == 0 || value.tag() == 1 || value.tag() == 6) << name;
    }
}

TEST(LoaderRandomInput, IncludeExpansionRemovesEveryDirectiveItCanResolveOrReport) {
    const std::string dir =
        ::testing::TempDir() + std::to_string(getpid()) + "_mossfang_include_fuzz/";
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "a.glsl") << "a\n#include \"b.glsl\"\n";
    std::ofstream(dir + "b.glsl") << "b\n#include \"a.glsl\"\n#include \"\n";
    InputMaker maker(16,
                     {"#include", "\"a.glsl\"", "\"b.glsl\"", "\"missing\"", "\"", "\n", "#line 5"},
                     "x\n#include \"a.glsl\"\ny\n#include \"missing\"\nz\n");
    for (int i = 0; i < rounds / 3; ++i) {
        std::string text = maker.next();
        vorn::engine::DiagnosticsCapture capture;
        const int count = expandIncludes(text, dir, 0);
        ASSERT_GE(count, 0);
        ASSERT_LT(text.size(), 10u * 1000u * 1000u);
    }
}
