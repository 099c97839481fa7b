// Meshes on the GL side: OBJ loading into planar buffers, materials from MTL libraries, the
// shared parts of makeParts, bad files, and the full-screen quad.
#include "../ConcaveShapes.hpp"
#include "GlFixture.hpp"
#include "engine/DiagnosticsCapture.hpp"

#include "rendering/FullScreenQuad.hpp"
#include "rendering/Material.hpp"
#include "rendering/Mesh.hpp"
#include "rendering/ObjLoader.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/Texture.hpp"
#include "rendering/VertexBuffer.hpp"

#include <glm/gtc/matrix_transform.hpp>
#include <sys/inotify.h>

#include <cstring>

using vorn::rendering::Mesh;
using vorn::rendering::meshCache;

namespace {

class MeshGlTest : public GlFixture {
protected:
    explicit MeshGlTest(int width = 64, int height = 64) : GlFixture(width, height) {}

    void SetUp() override {
        GlFixture::SetUp();
        vorn::engine::setAssetRoot(dir);
        // The MTL materials ask for the game's textured program under the asset root.
        std::filesystem::create_directories(dir + "shaders");
        for (const char* file : {"texturedShaderProgram.txt", "lit.vert", "textured.frag",
                                 "lighting.glsl", "common.glsl"})
            std::filesystem::copy_file(std::string(MOSSFANG_SOURCE_DIR) + "/assets/shaders/" + file,
                                       dir + "shaders/" + file);
        std::filesystem::create_directories(dir + "models");
    }

    template <class T>
    std::vector<T> readBlock(const vorn::rendering::VertexBuffer& buffer, size_t index) {
        std::vector<T> values(buffer.blockSize(index) / sizeof(T));
        glBindBuffer(GL_ARRAY_BUFFER, buffer.id());
        glGetBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(buffer.blockOffset(index)),
                           static_cast<GLsizeiptr>(buffer.blockSize(index)), values.data());
        return values;
    }
};

} // namespace

TEST_F(MeshGlTest, ObjBecomesOnePartPerMaterialGroupWithPlanarTangentSpaceBuffers) {
    writeImage("models/bark.png", 1, 1, {sf::Color::Red});
    write("models/tree.mtl",
          "newmtl bark\nKd 0.5 0.25 0\nmap_Kd bark.png\nnewmtl leaf\nKd 0 1 0\n");
    write("models/tree.obj", "mtllib tree.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 -2\n"
                             "vn 0 0 1\nvt 0 0\nvt 1 0.25\n"
                             "usemtl bark\nf 1/1/1 2/2/1 3/1/1\nusemtl nowhere\nf 1 2 4\n"
                             "usemtl leaf\nf 3 2 1\n");
    vorn::engine::DiagnosticsCapture capture;
    const auto mesh = meshCache().get("models/tree.obj");
    EXPECT_EQ(capture.errText(),
              dir + "models/tree.obj: 1 face names a material the library lacks: nowhere\n");
    ASSERT_EQ(mesh->parts.size(), 3u); // groups in name order: bark, leaf, nowhere
    const auto& bark = mesh->parts[0];
    ASSERT_NE(bark.material, nullptr);
    EXPECT_EQ(bark.material->uniforms.find("usingDiffuseTex")->get<int>(), 1);
    EXPECT_EQ(bark.material->textures.at("diffuseTex"),
              vorn::rendering::textureCache().get("models/bark.png"));
    EXPECT_EQ(bark.material->program,
              vorn::rendering::shaderProgramCache().get("shaders/texturedShaderProgram.txt"));
    EXPECT_EQ(mesh->parts[1].material->uniforms.find("mat_diffuse")->get<glm::vec3>(),
              glm::vec3(0, 1, 0));
    EXPECT_EQ(mesh->parts[2].material, nullptr); // the library has no "nowhere"

    const auto& buffer = *bark.vertexBuffer;
    EXPECT_EQ(buffer.vertexCount, 3);
    // Positions, normals and texture coordinates only: no tangent frame is stored.
    ASSERT_EQ(buffer.layout.size(), 3u);
    EXPECT_EQ(buffer.layout[2].name, "UV");
    EXPECT_EQ(buffer.blockOffset(1), 3u * 3u * sizeof(float)); // normals follow all positions
    const auto pos = readBlock<glm::vec3>(buffer, 0);
    EXPECT_EQ(pos, (std::vector<glm::vec3>{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
    const auto uv = readBlock<glm::vec2>(buffer, 2);
    EXPECT_EQ(uv[1], glm::vec2(1.0f, 0.75f));
    EXPECT_EQ(buffer.blockOffset(3), 3u * 8u * sizeof(float));
    EXPECT_TRUE(mesh->hasBounds);
    EXPECT_EQ(mesh->boundsMin, glm::vec3(0, 0, -2));
    EXPECT_EQ(mesh->boundsMax, glm::vec3(1, 1, 0));
}

TEST_F(MeshGlTest, MakePartsSharesBuffersAndMaterialsAndKeepsTheCachedMeshAlive) {
    write("models/tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    std::weak_ptr<Mesh> cached;
    {
        auto parts = vorn::rendering::makeParts("models/tri.obj");
        ASSERT_EQ(parts.size(), 1u);
        cached = meshCache().peek("models/tri.obj");
        ASSERT_FALSE(cached.expired()); // held through the parts' buffers alone
        const auto mesh = cached.lock();
        EXPECT_EQ(parts[0].vertexBuffer, mesh->parts[0].vertexBuffer);
        EXPECT_NE(parts[0].vertexArrayId(), mesh->parts[0].vertexArrayId());
        EXPECT_TRUE(parts[0].attributesDirty);
        auto more = vorn::rendering::makeParts("models/tri.obj");
        EXPECT_EQ(more[0].vertexBuffer, parts[0].vertexBuffer); // not loaded twice
    }
    EXPECT_TRUE(cached.expired());
}

TEST_F(MeshGlTest, MissingEmptyOrBinaryFilesGiveEmptyMeshesAndLibraries) {
    std::string binary(5000, '\0');
    for (size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i * 7919 % 251);
    write("models/binary.obj", binary);
    write("models/empty.obj", "");
    write("models/badlib.obj", "mtllib binary.mtl\nmtllib missing.mtl\nv 1 1 1\nf 1 1 1\n");
    write("models/binary.mtl", binary);
    {
        vorn::engine::DiagnosticsCapture capture;
        EXPECT_TRUE(meshCache().get("models/missing.obj")->parts.empty());
        EXPECT_TRUE(meshCache().get("models/empty.obj")->parts.empty());
        EXPECT_EQ(capture.errText(), "");
    }
    vorn::engine::DiagnosticsCapture capture;
    EXPECT_TRUE(meshCache().get("models/binary.obj")->parts.empty());
    const auto badlib = meshCache().get("models/badlib.obj");
    EXPECT_EQ(capture.errText(),
              dir + "models/binary.obj: not read: it is binary data, not text\n" + dir +
                  "models/binary.mtl: not read: it is binary data, not text\n" + dir +
                  "models/badlib.obj: ignored 1 material library that does not open\n");
    ASSERT_EQ(badlib->parts.size(), 1u);
    EXPECT_EQ(badlib->parts[0].material, nullptr);
    EXPECT_FALSE(badlib->parts[0].drawable());
}

TEST_F(MeshGlTest, DroppedDataIsReportedInOneLinePerFileAndMissingTexturesKeepTheColour) {
    write("models/rough.mtl", "newmtl Mat A\nKd 0.5 0.25 0\nmap_Kd .\\gone.png\n"
                              "newmtl Mat B\nKd 0 0 1\nmap_Kd .\\sub\\wood.png\n");
    std::filesystem::create_directories(dir + "models/sub");
    writeImage("models/sub/wood.png", 1, 1, {sf::Color::Red});
    write("models/rough.obj", "mtllib rough.mtl\nmtllib nowhere.mtl\nv 0 0 0\nv 1 0 0\n"
                              "v nan 1 0\nv 0 1 0\nusemtl Mat A\nf 1 2 3 4\nf 1 2\n"
                              "usemtl Mat B\nf 1 -2 9 70000\n");
    vorn::engine::DiagnosticsCapture capture;
    const auto mesh = meshCache().get("models/rough.obj");
    EXPECT_EQ(capture.errText(), "Failed to load texture " + dir + "models/./gone.png\n" + dir +
                                     "models/rough.obj: ignored 1 out-of-range index, 1 negative "
                                     "index, 1 index over 65535, 1 NaN coordinate, 1 face with "
                                     "fewer than three corners, 1 material library that does not "
                                     "open; 1 face is not a simple polygon, drawn as a fan\n");
    ASSERT_EQ(mesh->parts.size(), 2u);
    // "Mat A": the quad whole, in its Kd colour since its texture is missing.
    const auto& a = *mesh->parts[0].material;
    // Two triangles over four distinct corners.
    EXPECT_EQ(mesh->parts[0].vertexBuffer->vertexCount, 4);
    EXPECT_EQ(mesh->parts[0].vertexBuffer->indexCount, 6);
    EXPECT_EQ(a.uniforms.find("usingDiffuseTex")->get<int>(), 0);
    EXPECT_EQ(a.textures.count("diffuseTex"), 0u);
    EXPECT_EQ(a.uniforms.find("mat_diffuse")->get<glm::vec3>(), glm::vec3(0.5f, 0.25f, 0.0f));
    // "Mat B": a backslash path found beside the library.
    const auto& b = *mesh->parts[1].material;
    // Its four corners name positions 1, 9 and two absent ones, which are the same corner.
    EXPECT_EQ(mesh->parts[1].vertexBuffer->vertexCount, 3);
    EXPECT_EQ(mesh->parts[1].vertexBuffer->indexCount, 6);
    EXPECT_EQ(b.uniforms.find("usingDiffuseTex")->get<int>(), 1);
    ASSERT_EQ(b.textures.count("diffuseTex"), 1u);
    EXPECT_TRUE(b.textures.at("diffuseTex")->loaded());
}

TEST_F(MeshGlTest, FullScreenQuadDrawsWithItsOwnVertexArrayWhateverIsBound) {
    write("fs.txt", "[ { type vertex data \"#version 330 core\\nin vec3 pos;\\nin vec2 UV;\\nout "
                    "vec2 uv;\\nvoid main() { uv = UV; gl_Position = vec4(pos, 1.0); }\" }\n"
                    "  { type fragment data \"#version 330 core\\nin vec2 uv;\\nout vec4 c;\\n"
                    "void main() { c = vec4(uv, 0.0, 1.0); }\" } ]");
    vorn::engine::DiagnosticsCapture capture;
    const auto program = vorn::rendering::ShaderProgram::load(dir + "fs.txt");
    ASSERT_EQ(capture.errText(), "");
    state->useProgram(program.get());
    for (int round = 0; round < 2; ++round) {
        GLuint stray = 0;
        glGenVertexArrays(1, &stray);
        glBindVertexArray(stray);
        glClear(GL_COLOR_BUFFER_BIT);
        vorn::rendering::drawFullScreenQuad(*state);
        glDeleteVertexArrays(1, &stray);
        GLint bound = -1;
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &bound);
        EXPECT_EQ(bound, 0);
        // UV runs from (0, 0) at the bottom left to (1, 1) at the top right.
        EXPECT_TRUE(near(context->pixel(0, 0), {2, 2, 0, 255}, 3))
            << describe(context->pixel(0, 0));
        EXPECT_TRUE(near(context->pixel(63, 0), {253, 2, 0, 255}, 3));
        EXPECT_TRUE(near(context->pixel(0, 63), {2, 253, 0, 255}, 3));
        EXPECT_TRUE(near(context->pixel(63, 63), {253, 253, 0, 255}, 3));
    }
}

namespace {

// Draws models in flat white on black over the square from -1.1 to 1.1, to compare the pixels
// concave faces cover with those of the same shapes written as triangles.
class MeshShapeGlTest : public MeshGlTest {
protected:
    MeshShapeGlTest() : MeshGlTest(160, 160) {}

    // Which pixels the model `name` (relative to the scratch directory, the asset root) covers.
    std::vector<bool> coverage(const std::string& name) {
        write("flat.txt",
              "[ { type vertex data \"#version 330 core\\nin vec3 pos;\\nuniform mat4 MVP;"
              "\\nvoid main() { gl_Position = MVP * vec4(pos, 1.0); }\" }\n"
              "  { type fragment data \"#version 330 core\\nout vec4 c;\\n"
              "void main() { c = vec4(1.0); }\" } ]");
        const auto program = vorn::rendering::shaderProgramCache().get("flat.txt");
        auto parts = vorn::rendering::makeParts(name);
        vorn::rendering::MeshPart::setShaderProgram(parts, program);
        state->projection = glm::ortho(-1.1f, 1.1f, -1.1f, 1.1f, -1.0f, 1.0f);
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        vorn::rendering::UniformSet perDraw;
        for (auto& part : parts) {
            part.applyMaterial(*state, perDraw, glm::mat4(1.0f));
            part.draw();
        }
        std::vector<bool> covered;
        for (const glm::u8vec4& p : context->pixels())
            covered.push_back(p.r > 127);
        return covered;
    }
};

} // namespace

TEST_F(MeshShapeGlTest, ConcaveFacesCoverTheSamePixelsAsTheirShapesWrittenAsTriangles) {
    const std::string header = "mtllib flat.mtl\nusemtl white\n";
    write("flat.mtl", "newmtl white\nKd 1 1 1\n");
    const struct {
        const char* name;
        std::vector<glm::vec3> outline;
        std::vector<glm::vec3> triangles;
    } shapes[] = {{"ell", concave::ell(), concave::ellTriangles()},
                  {"star", concave::star(), concave::starTriangles()},
                  {"ring", concave::slitRing(), concave::slitRingTriangles()}};
    for (const auto& shape : shapes) {
        write(std::string(shape.name) + ".obj", concave::objText(shape.outline, true, header));
        write(std::string(shape.name) + "_triangles.obj",
              concave::objText(shape.triangles, false, header));
        vorn::engine::DiagnosticsCapture capture;
        const std::vector<bool> face = coverage(std::string(shape.name) + ".obj");
        const std::vector<bool> triangles = coverage(std::string(shape.name) + "_triangles.obj");
        EXPECT_EQ(capture.errText(), "") << shape.name;
        int covered = 0;
        int differing = 0;
        for (std::size_t i = 0; i < face.size(); ++i) {
            covered += triangles[i];
            differing += face[i] != triangles[i];
        }
        // Only pixels whose centres lie right on an edge may come out either way.
        EXPECT_GT(covered, 2000) << shape.name;
        EXPECT_LE(differing, 6) << shape.name << ": " << differing << " of " << covered;
    }
}

TEST_F(MeshGlTest, TheLoaderSaysWhyNothingDrawsAndCountsFacesWhoseMaterialIsMissing) {
    write("models/kept.mtl", "newmtl mtl1\nKd 1 0 0\n");
    write("models/my kept.mtl", "newmtl mtl1\nKd 0 1 0\n");
    write("models/other.mtl", "newmtl mtl2\nKd 0 0 1\n");
    const std::string tri = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n";
    std::string utf16 = "\xFF\xFE";
    for (const char c : tri)
        utf16 += std::string{c, '\0'};
    struct Case {
        const char* model;
        std::string text; // none: the file is not written
        const char* report;
        const char* why;
        int withMaterial; // parts that have a material
    };
    const Case cases[] = {
        {"none", tri + "usemtl mtl1\nf 1 2 3\n", "", "it names no material library", 0},
        {"gone", "mtllib gone.mtl\n" + tri + "usemtl mtl1\nf 1 2 3\n",
         "ignored 1 material library that does not open",
         "its material library does not open: gone.mtl", 0},
        {"plain", "mtllib kept.mtl\n" + tri + "f 1 2 3\n", "",
         "its faces name no material (no usemtl)", 0},
        {"lacking",
         "mtllib kept.mtl\n" + tri + "usemtl mtl1\nf 1 2 3\nusemtl mtl3\nf 1 2 3\nf 3 2 1\n",
         "2 faces name a material the library lacks: mtl3", "", 1},
        {"lackingAll", "mtllib kept.mtl\n" + tri + "usemtl mtl3\nf 1 2 3\nusemtl mtl 4\nf 1 2 3\n",
         "2 faces name a material the library lacks: mtl 4, mtl3",
         "its faces name materials the library lacks: mtl 4, mtl3", 0},
        {"lines", tri + "p 1\nl 1 2 3\n", "", "it holds only points and lines", 0},
        {"spaced", "mtllib my kept.mtl\n" + tri + "usemtl mtl1\nf 1 2 3\n", "", "", 1},
        {"several",
         "mtllib kept.mtl  other.mtl\n" + tri + "usemtl mtl1\nf 1 2 3\nusemtl mtl2\nf 1 2 3\n", "",
         "", 2},
        {"halfThere", "mtllib kept.mtl gone.mtl\n" + tri + "usemtl mtl1\nf 1 2 3\n",
         "ignored 1 material library that does not open", "", 1},
        {"bowTie", "mtllib kept.mtl\nusemtl mtl1\n" + tri + "f 1 4 2 3\n",
         "1 face is not a simple polygon, drawn as a fan", "", 1},
        {"utf16", utf16, "not read: it is UTF-16 text; save it as UTF-8",
         "the file is UTF-16 text; save it as UTF-8", 0},
        {"missing", "", "", "the file does not open", 0},
    };
    for (const Case& c : cases) {
        const std::string name = std::string("models/") + c.model + ".obj";
        if (!c.text.empty())
            write(name, c.text);
        vorn::engine::DiagnosticsCapture capture;
        const auto mesh = meshCache().get(name);
        const std::string report = *c.report ? dir + name + ": " + c.report + "\n" : "";
        EXPECT_EQ(capture.errText(), report) << c.model;
        EXPECT_EQ(mesh->whyNothingDraws, c.why) << c.model;
        int withMaterial = 0;
        for (const auto& part : mesh->parts)
            withMaterial += part.material != nullptr;
        EXPECT_EQ(withMaterial, c.withMaterial) << c.model;
    }
}

TEST_F(MeshGlTest, EachMaterialLibraryIsOpenedOncePerModelLoad) {
    write("models/kept.mtl", "newmtl mtl1\nKd 1 0 0\n");
    write("models/once.obj", "mtllib kept.mtl\nmtllib kept.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\n"
                             "usemtl mtl1\nf 1 2 3\n");
    // Every file opened in the models folder shows as an open event with its name. Identical
    // events in a row are merged into one, so closes are watched too, to come between opens.
    const int watcher = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watcher, 0);
    ASSERT_GE(inotify_add_watch(watcher, (dir + "models").c_str(), IN_OPEN | IN_CLOSE_NOWRITE), 0);
    const auto mesh = meshCache().get("models/once.obj");
    ASSERT_NE(mesh->parts.at(0).material, nullptr);
    int opens = 0;
    alignas(inotify_event) char events[4096];
    for (ssize_t got; (got = read(watcher, events, sizeof events)) > 0;) {
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            opens += (event->mask & IN_OPEN) && event->len > 0 &&
                     std::strcmp(event->name, "kept.mtl") == 0;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    close(watcher);
    EXPECT_EQ(opens, 1);
}
