// OBJ and MTL reading at the parser level (no GL).
#include "engine/DiagnosticsCapture.hpp"
#include "rendering/Material.hpp"
#include "rendering/MtlLoader.hpp"
#include "rendering/ObjLoader.hpp"

#include "ConcaveShapes.hpp"

#include <gtest/gtest.h>

#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>
#include <sstream>

using vorn::rendering::Material;
using vorn::rendering::MtlLoader;
using vorn::rendering::ObjData;
using vorn::rendering::ObjIndex;
using vorn::rendering::ObjLoader;
using vorn::rendering::ObjVertices;
using vorn::rendering::UniformValue;

namespace {

ObjData parseObj(const std::string& text, const std::string& directory = "") {
    std::istringstream in(text);
    return ObjLoader::parse(in, directory);
}

// Nine numbered positions, normals and texture coordinates, so every index shows in the result.
const char* const numbered = "v 1 0 0\nv 2 0 0\nv 3 0 0\nv 4 0 0\nv 5 0 0\nv 6 0 0\n"
                             "v 7 0 0\nv 8 0 0\nv 9 0 0\n"
                             "vn 0 1 0\nvn 0 2 0\nvn 0 3 0\nvn 0 4 0\nvn 0 5 0\nvn 0 6 0\n"
                             "vn 0 7 0\nvn 0 8 0\nvn 0 9 0\n"
                             "vt 0.1 0.1\nvt 0.2 0.2\nvt 0.3 0.3\nvt 0.4 0.4\nvt 0.5 0.5\n"
                             "vt 0.6 0.6\nvt 0.7 0.7\nvt 0.8 0.8\nvt 0.9 0.9\n";

ObjVertices expandGroup(const ObjData& data, const std::string& group) {
    return ObjLoader::expand(data, data.groups.at(group));
}

} // namespace

TEST(ObjParser, FullFaceVerticesTakePositionTextureAndNormalIndices) {
    const ObjData data = parseObj(std::string(numbered) + "f 1/2/3 4/5/6 7/8/9\n");
    const ObjVertices v = expandGroup(data, "");
    ASSERT_EQ(v.positions.size(), 3u);
    EXPECT_EQ(v.positions[0].x, 1.0f);
    EXPECT_EQ(v.positions[1].x, 4.0f);
    EXPECT_EQ(v.positions[2].x, 7.0f);
    EXPECT_EQ(v.normals[0].y, 3.0f);
    EXPECT_EQ(v.normals[1].y, 6.0f);
    EXPECT_EQ(v.normals[2].y, 9.0f);
    // Texture coordinates 2, 5 and 8, with v flipped to 1 - v.
    EXPECT_FLOAT_EQ(v.uvs[0].x, 0.2f);
    EXPECT_FLOAT_EQ(v.uvs[0].y, 0.8f);
    EXPECT_FLOAT_EQ(v.uvs[1].x, 0.5f);
    EXPECT_FLOAT_EQ(v.uvs[2].y, 1.0f - 0.8f);
}

TEST(ObjParser, ShortFaceFormsUseTheZeroElementForWhatIsLeftOut) {
    const ObjData data = parseObj(std::string(numbered) + "f 1//3 2//4 3//5\n"
                                                          "f 4/6 5/7 6/8\n"
                                                          "f 7 8 9\n");
    const ObjVertices v = expandGroup(data, "");
    ASSERT_EQ(v.positions.size(), 9u);
    // v//n: no texture coordinate, so (0, 1) after the flip; the normals are 3, 4, 5.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(v.uvs[static_cast<size_t>(i)], glm::vec2(0.0f, 1.0f));
        EXPECT_EQ(v.normals[static_cast<size_t>(i)].y, static_cast<float>(3 + i));
    }
    // v/t: texture coordinates 6, 7, 8 and the zero normal.
    EXPECT_FLOAT_EQ(v.uvs[3].x, 0.6f);
    EXPECT_EQ(v.normals[3], glm::vec3(0.0f));
    // v: position only.
    EXPECT_EQ(v.positions[8].x, 9.0f);
    EXPECT_EQ(v.normals[8], glm::vec3(0.0f));
    EXPECT_EQ(v.uvs[8], glm::vec2(0.0f, 1.0f));
}

TEST(ObjParser, FacesKeepAllTheirCornersAsAFanAndShortFacesAreDroppedAndCounted) {
    // A triangle, a quad, a 64-corner polygon and a two-corner face.
    std::string text = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";
    for (int i = 0; i < 64; ++i)
        text += "v " + std::to_string(std::cos(i * 0.0981748f)) + " " +
                std::to_string(std::sin(i * 0.0981748f)) + " 1\n";
    text += "f 1 2 3\nf 1 2 3 4\nf";
    for (int i = 5; i <= 68; ++i)
        text += " " + std::to_string(i);
    text += "\nf 1 2\n";
    const ObjData data = parseObj(text);
    const ObjVertices v = expandGroup(data, "");
    ASSERT_EQ(v.positions.size(), (1u + 2u + 62u) * 3u);
    // The quad: (1, 2, 3) and (1, 3, 4), so it covers the whole unit square.
    EXPECT_EQ(v.positions[3], glm::vec3(0, 0, 0));
    EXPECT_EQ(v.positions[5], glm::vec3(1, 1, 0));
    EXPECT_EQ(v.positions[6], glm::vec3(0, 0, 0));
    EXPECT_EQ(v.positions[7], glm::vec3(1, 1, 0));
    EXPECT_EQ(v.positions[8], glm::vec3(0, 1, 0));
    // The polygon's fan covers its whole area (a regular 64-gon of radius 1).
    float area = 0.0f;
    for (std::size_t t = 9; t < v.positions.size(); t += 3) {
        const glm::vec3 a = v.positions[t + 1] - v.positions[t];
        const glm::vec3 b = v.positions[t + 2] - v.positions[t];
        area += 0.5f * (a.x * b.y - a.y * b.x);
    }
    EXPECT_NEAR(area, 32.0f * std::sin(0.0981748f), 1e-3f);
    EXPECT_EQ(data.dropped.shortFaces, 1);
}
namespace {

// The corners turned into another plane and, when asked, in the other winding.
std::vector<glm::vec3> placed(std::vector<glm::vec3> corners, bool tilt, bool reverse) {
    for (glm::vec3& c : corners)
        if (tilt)
            c = glm::vec3(c.x * 0.8f, c.y, c.x * 0.6f + 2.0f); // turned about the y axis
    if (reverse)
        std::reverse(corners.begin(), corners.end());
    return corners;
}

} // namespace

TEST(ObjParser, FacesAreCutInTheirOwnPlaneConvexOnesAsTheFanAndBrokenOnesCounted) {
    const std::vector<glm::vec3> pentagon = {
        {0, 0, 0}, {2, 0, 0}, {3, 1, 0}, {1, 2.5f, 0}, {-1, 1, 0}};
    const std::vector<glm::vec3> ell = concave::ell();
    const float ellArea = 4.0f - 1.333f * 1.333f;
    const float starArea = 10.0f * 0.5f * 0.4f * std::sin(0.62831853f);
    const float ringArea = 32.0f * 0.5f * std::sin(0.19634954f) * (1.0f - 0.36f);
    struct Case {
        const char* name;
        std::vector<glm::vec3> corners;
        float area;    // of the polygon; 0 where the fan is expected
        int nonSimple; // faces counted as not simple
    };
    const Case cases[] = {
        {"convex", pentagon, 0.0f, 0},
        {"convex, turned and clockwise", placed(pentagon, true, true), 0.0f, 0},
        {"square with a corner twice",
         {{0, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
         0.0f,
         0},
        {"L", ell, ellArea, 0},
        {"L, turned and clockwise", placed(ell, true, true), ellArea, 0},
        {"star", concave::star(), starArea, 0},
        {"star, clockwise", placed(concave::star(), false, true), starArea, 0},
        {"ring with a slit", concave::slitRing(), ringArea, 0},
        {"ring with a slit, turned and clockwise", placed(concave::slitRing(), true, true),
         ringArea, 0},
        {"bow tie", {{0, 0, 0}, {1, 1, 0}, {1, 0, 0}, {0, 1, 0}}, 0.0f, 1},
        {"pentagram",
         {{0, 1, 0},
          {0.59f, -0.81f, 0},
          {-0.95f, 0.31f, 0},
          {0.95f, 0.31f, 0},
          {-0.59f, -0.81f, 0}},
         0.0f,
         1},
        {"flat", {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}}, 0.0f, 1},
    };
    for (const Case& c : cases) {
        const ObjData data = parseObj(concave::objText(c.corners, true));
        EXPECT_EQ(data.dropped.nonSimpleFaces, c.nonSimple) << c.name;
        const std::vector<ObjIndex>& triangles = data.groups.at("");
        const std::size_t n = c.corners.size();
        if (c.area == 0.0f) {
            // Exactly the fan around the first corner, in its order.
            ASSERT_EQ(triangles.size(), 3 * (n - 2)) << c.name;
            for (std::size_t t = 0; t + 2 < n; ++t) {
                EXPECT_EQ(triangles[3 * t].position, 1u) << c.name;
                EXPECT_EQ(triangles[3 * t + 1].position, t + 2) << c.name;
                EXPECT_EQ(triangles[3 * t + 2].position, t + 3) << c.name;
            }
            continue;
        }
        // The triangles keep the face's winding and add up to its area, so none reaches out of
        // the outline and none overlaps another.
        glm::vec3 normal(0.0f);
        for (std::size_t i = 0; i < n; ++i)
            normal += glm::cross(c.corners[i], c.corners[(i + 1) % n]);
        normal = glm::normalize(normal);
        const ObjVertices v = expandGroup(data, "");
        float area = 0.0f;
        for (std::size_t t = 0; t < v.positions.size(); t += 3) {
            const float signedArea =
                0.5f * glm::dot(glm::cross(v.positions[t + 1] - v.positions[t],
                                           v.positions[t + 2] - v.positions[t]),
                                normal);
            EXPECT_GE(signedArea, -1e-6f) << c.name << ", triangle " << t / 3;
            area += std::abs(signedArea);
        }
        EXPECT_NEAR(area, c.area, 1e-4f) << c.name;
        EXPECT_LE(triangles.size(), 3 * (n - 2)) << c.name;
    }
}

TEST(ObjParser, GroupsByMaterialMergeRepeatedSectionsAndStartWithTheEmptyName) {
    const ObjData data = parseObj(std::string(numbered) + "f 1 2 3\n"
                                                          "usemtl bark\nf 4 5 6\n"
                                                          "usemtl moss\nf 7 8 9\n"
                                                          "usemtl bark\nf 1 5 9\n");
    ASSERT_EQ(data.groups.size(), 3u);
    EXPECT_EQ(data.groups.at("").size(), 3u);
    ASSERT_EQ(data.groups.at("bark").size(), 6u);
    EXPECT_EQ(data.groups.at("moss").size(), 3u);
    const ObjVertices bark = expandGroup(data, "bark");
    EXPECT_EQ(bark.positions[3].x, 1.0f);
    EXPECT_EQ(bark.positions[5].x, 9.0f);
}

TEST(ObjParser, OutOfRangeNegativeAndAbsurdIndicesSelectTheZeroElementAndAreCounted) {
    const ObjData data = parseObj("v 5 5 5\nvn 0 0 1\nvt 0.5 0.25\n"
                                  "f 2/1/1 -1/1/1 70000/99999999999/1\n"
                                  "f 1/x/1 1/1/7 1/2/1\n"
                                  "vn nan 1 NaN\nvt -nan 0\n");
    const ObjVertices v = expandGroup(data, "");
    ASSERT_EQ(v.positions.size(), 6u);
    EXPECT_EQ(v.positions[0], glm::vec3(0.0f)); // index 2 of 1 position
    EXPECT_EQ(v.positions[1], glm::vec3(0.0f)); // negative
    EXPECT_EQ(v.positions[2], glm::vec3(0.0f)); // beyond 16 bits
    EXPECT_EQ(v.uvs[2], glm::vec2(0.0f, 1.0f));
    EXPECT_EQ(v.positions[3], glm::vec3(5.0f));
    EXPECT_EQ(v.uvs[3], glm::vec2(0.0f, 1.0f)); // unreadable texture index
    EXPECT_EQ(v.normals[4], glm::vec3(0.0f));   // normal index 7 of 1
    EXPECT_EQ(v.uvs[4], glm::vec2(0.5f, 0.75f));
    EXPECT_EQ(data.normals[2], glm::vec3(0.0f, 1.0f, 0.0f)); // NaN reads as 0
    EXPECT_EQ(data.uvs[2], glm::vec2(0.0f));

    // Position 2 and normal 7; the texture coordinate 2 exists by the end of the file.
    EXPECT_EQ(data.dropped.outOfRangeIndices, 2);
    EXPECT_EQ(data.dropped.negativeIndices, 1);
    EXPECT_EQ(data.dropped.largeIndices, 2);
    EXPECT_EQ(data.dropped.nanCoordinates, 3);
    EXPECT_EQ(data.dropped.shortFaces, 0);
    EXPECT_EQ(data.dropped.describe("m.obj"),
              "m.obj: ignored 2 out-of-range indices, 1 negative index, 2 indices over 65535, "
              "3 NaN coordinates\n");
    EXPECT_EQ(parseObj("v 1 2 3\nf 1 1 1\n").dropped.describe("m.obj"), "");
}

TEST(ObjParser, AnyLineEndAByteOrderMarkAndMaterialNamesWithBlanksReadAlike) {
    const std::string lines[] = {"mtllib crate.mtl", "v 1 2 3",      "v 4 5 6",
                                 "v 7 8 9",          "usemtl Mat A", "f 1 2 3",
                                 "usemtl Mat B",     "f 3 2 1",      "usemtl\tMat A  "};
    for (const std::string& prefix : {std::string(), std::string("\xEF\xBB\xBF")}) {
        for (const std::string end : {"\n", "\r\n", "\r"}) {
            std::string text = prefix;
            for (const std::string& line : lines)
                text += line + end;
            const ObjData data = parseObj(text, "assets/models/");
            const std::string what = "prefix " + std::to_string(prefix.size()) + ", end " +
                                     std::to_string(end.size()) + (end == "\r" ? " CR" : "");
            ASSERT_EQ(data.materialLibraries.size(), 1u) << what;
            EXPECT_EQ(data.materialLibraries[0], "assets/models/crate.mtl") << what;
            EXPECT_EQ(data.positions.size(), 4u) << what;
            EXPECT_EQ(data.positions[1], glm::vec3(1, 2, 3)) << what;
            ASSERT_EQ(data.groups.count("Mat A"), 1u) << what;
            ASSERT_EQ(data.groups.count("Mat B"), 1u) << what;
            EXPECT_EQ(data.groups.at("Mat A").size(), 3u) << what;
            EXPECT_EQ(data.groups.at("Mat B").size(), 3u) << what;
            EXPECT_EQ(data.groups.at("Mat B")[0].position, 3u) << what;
        }
    }
}

namespace {

struct MtlResult {
    std::shared_ptr<vorn::rendering::MaterialLibrary> library;
    std::vector<std::string> programRequests;
    std::vector<std::string> textureRequests;
};

MtlResult parseMtl(const std::string& text, const std::string& directory = "dir/") {
    MtlResult result;
    std::istringstream in(text);
    result.library = MtlLoader::parse(
        in, directory,
        [&](const std::string& name) {
            result.programRequests.push_back(name);
            return nullptr;
        },
        [&](const std::string& path) {
            result.textureRequests.push_back(path);
            return nullptr;
        });
    return result;
}

const UniformValue& uniform(const Material& m, const std::string& name) {
    static const UniformValue missing(-12345);
    const UniformValue* value = m.uniforms.find(name);
    return value ? *value : missing;
}

} // namespace

TEST(MtlParser, ReadsColoursShininessAndAsksForTheTexturedProgram) {
    const MtlResult r = parseMtl("newmtl bark\nKa 0.1 0.2 0.3\nKd 0.4 0.5 0.6\n"
                                 "Ks 0.7 0.8 0.9\nNs 42\nillum 2\n");
    ASSERT_EQ(r.library->size(), 1u);
    const Material& m = *r.library->at("bark");
    EXPECT_EQ(uniform(m, "mat_ambient"), UniformValue(glm::vec3(0.1f, 0.2f, 0.3f)));
    EXPECT_EQ(uniform(m, "mat_diffuse"), UniformValue(glm::vec3(0.4f, 0.5f, 0.6f)));
    EXPECT_EQ(uniform(m, "mat_specular"), UniformValue(glm::vec3(0.7f, 0.8f, 0.9f)));
    EXPECT_EQ(uniform(m, "mat_shininess"), UniformValue(42.0f));
    EXPECT_EQ(uniform(m, "usingDiffuseTex"), UniformValue(0));
    EXPECT_EQ(r.programRequests, std::vector<std::string>{"shaders/texturedShaderProgram.txt"});
    EXPECT_TRUE(r.textureRequests.empty());
}

TEST(MtlParser, MissingOrBlackDiffuseBecomesWhite) {
    const MtlResult r = parseMtl("newmtl none\nKa 1 0 0\n"
                                 "newmtl black\nKd 0 0 0\n"
                                 "newmtl dim\nKd 0 0 0.01\n");
    ASSERT_EQ(r.library->size(), 3u);
    EXPECT_EQ(uniform(*r.library->at("none"), "mat_diffuse"), UniformValue(glm::vec3(1.0f)));
    EXPECT_EQ(uniform(*r.library->at("black"), "mat_diffuse"), UniformValue(glm::vec3(1.0f)));
    EXPECT_EQ(uniform(*r.library->at("dim"), "mat_diffuse"),
              UniformValue(glm::vec3(0.0f, 0.0f, 0.01f)));
}

TEST(MtlParser, MapKdPathsComeFromTheLibrarysDirectoryUnlessAbsoluteWithEitherSlash) {
    const MtlResult r = parseMtl("newmtl plain\nKd 1 1 1\n"
                                 "newmtl painted\nmap_Kd bark diffuse.png\r\n"
                                 "newmtl windows\nmap_Kd .\\textures\\wood.jpg\n"
                                 "newmtl rooted\nmap_Kd /srv/art/stone.png\n"
                                 "newmtl drive\nmap_Kd C:\\art\\moss.png\n",
                                 "assets/models/");
    EXPECT_EQ(r.textureRequests,
              (std::vector<std::string>{"assets/models/bark diffuse.png",
                                        "assets/models/./textures/wood.jpg", "/srv/art/stone.png",
                                        "C:/art/moss.png"}));
}

TEST(MtlParser, AMissingTextureKeepsTheDiffuseColourAndNamesRunToTheLineEnd) {
    // The texture source finds nothing (the GL tests cover a texture that does load).
    const MtlResult r = parseMtl("newmtl Mat A\nKd 0.5 0.25 0\nmap_Kd missing.png\n"
                                 "newmtl Mat B\r\nKd 0 0 1\r\n");
    ASSERT_EQ(r.library->size(), 2u);
    const Material& a = *r.library->at("Mat A");
    EXPECT_EQ(uniform(a, "usingDiffuseTex"), UniformValue(0));
    EXPECT_EQ(a.textures.count("diffuseTex"), 0u);
    EXPECT_EQ(uniform(a, "mat_diffuse"), UniformValue(glm::vec3(0.5f, 0.25f, 0.0f)));
    EXPECT_EQ(uniform(*r.library->at("Mat B"), "mat_diffuse"),
              UniformValue(glm::vec3(0.0f, 0.0f, 1.0f)));
    EXPECT_EQ(r.textureRequests, std::vector<std::string>{"dir/missing.png"});
}

TEST(MtlParser, LinesBeforeTheFirstMaterialAreIgnoredAndALaterSameNameReplaces) {
    const MtlResult r = parseMtl("Kd 0.5 0.5 0.5\nmap_Kd stray.png\n"
                                 "newmtl a\nKd 0.2 0.2 0.2\nnewmtl a\nKd 0.3 0.3 0.3\n");
    ASSERT_EQ(r.library->size(), 1u);
    EXPECT_EQ(uniform(*r.library->at("a"), "mat_diffuse"), UniformValue(glm::vec3(0.3f)));
    EXPECT_TRUE(r.textureRequests.empty());
}

TEST(MaterialDefinition, ReadsUniformsProgramAndTextureAndSkipsUnknownKeys) {
    std::istringstream in("{ shaderProgram \"shaders/x.txt\"\n"
                          "  colour // unknown key: its value is read as the next key\n"
                          "  uniforms [ float f 2 vec3 c [1 2 3] ]\n"
                          "  texture \"images/bark.png\" }");
    std::vector<std::string> programs;
    std::vector<std::string> textures;
    const auto m = Material::readDefinition(
        in, "m.txt",
        [&](const std::string& n) {
            programs.push_back(n);
            return nullptr;
        },
        [&](const std::string& n) {
            textures.push_back(n);
            return nullptr;
        });
    EXPECT_EQ(programs, std::vector<std::string>{"shaders/x.txt"});
    EXPECT_EQ(textures, std::vector<std::string>{"images/bark.png"});
    EXPECT_EQ(m->uniforms.size(), 2u);
    EXPECT_EQ(uniform(*m, "c"), UniformValue(glm::vec3(1, 2, 3)));
    EXPECT_EQ(m->textures.count("diffuseTex"), 1u);
    EXPECT_TRUE(m->changed);
}

TEST(MaterialDefinition, ParseErrorIsReportedWithThePathAndKeepsWhatWasRead) {
    std::istringstream in("{ uniforms [ int a 4 ] uniforms [ float b 1 ] ! }");
    vorn::engine::DiagnosticsCapture capture;
    const auto m = Material::readDefinition(in, "levels/broken.txt", nullptr, nullptr);
    const std::string err = capture.errText();
    EXPECT_EQ(err.rfind("levels/broken.txt: Parsing error (line 1, column ", 0), 0u) << err;
    // The second block replaced the first as a whole.
    EXPECT_EQ(m->uniforms.size(), 1u);
    EXPECT_EQ(uniform(*m, "b"), UniformValue(1.0f));
}
