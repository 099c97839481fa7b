// Animated models on OpenGL: the generated ninja imported through the animated mesh cache, drawn
// with the skinned program into the test framebuffer and checked by its pixels.

#include "engine/Application.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/DiagnosticsCapture.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "rendering/AnimCrossFadeNode.hpp"
#include "rendering/AnimSegment.hpp"
#include "rendering/AnimatedMesh.hpp"
#include "rendering/AnimatedMeshCache.hpp"
#include "rendering/AnimatedMeshLoader.hpp"
#include "rendering/AnimatedModel.hpp"
#include "rendering/Camera.hpp"
#include "rendering/Material.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/Renderer.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/SkeletonAnimationData.hpp"
#include "rendering/Texture.hpp"
#include "rendering/UniformSet.hpp"
#include "rendering/VertexBuffer.hpp"
#include "support/GlTestContext.hpp"

#include <SFML/Graphics/Image.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using vorn::components::AnimatedModel;
using vorn::rendering::AnimatedMesh;

using vorn::engine::DiagnosticsCapture;

namespace {

// The ninja's segments as its generator wrote them.
const std::vector<std::string> ninjaSegments = {"idle",    "walking", "jump",  "freefall",
                                                "landing", "punch",   "death", "hurt"};

// Which pixels a draw covered (alpha above zero on a transparent clear), row by row from the
// bottom.
struct Coverage {
    int width = 0;
    int height = 0;
    std::vector<bool> covered;

    int count() const {
        int n = 0;
        for (bool c : covered)
            n += c;
        return n;
    }
    // Pixels covered by exactly one of the two.
    int difference(const Coverage& other) const {
        int n = 0;
        for (std::size_t i = 0; i < covered.size(); ++i)
            n += covered[i] != other.covered[i];
        return n;
    }
    // Intersection over union.
    double overlap(const Coverage& other) const {
        int both = 0, either = 0;
        for (std::size_t i = 0; i < covered.size(); ++i) {
            both += covered[i] && other.covered[i];
            either += covered[i] || other.covered[i];
        }
        return either ? static_cast<double>(both) / either : 1.0;
    }
    glm::vec2 centroid() const {
        glm::dvec2 sum(0.0);
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (covered[static_cast<std::size_t>(y * width + x)]) {
                    sum += glm::dvec2(x, y);
                    ++n;
                }
        return n ? glm::vec2(sum / double(n)) : glm::vec2(-1.0f);
    }
    // Lowest and highest covered rows (from the bottom), or (-1, -1).
    glm::ivec2 rows() const {
        glm::ivec2 range(-1);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (covered[static_cast<std::size_t>(y * width + x)]) {
                    range.x = range.x < 0 ? y : range.x;
                    range.y = y;
                }
        return range;
    }
};

class AnimatedModelGlTest : public ::testing::Test {
protected:
    static constexpr int size = 128;

    void SetUp() override {
        context = std::make_unique<testsupport::GlTestContext>(size, size);
        ASSERT_TRUE(context->ok()) << context->error();
        state = std::make_unique<vorn::rendering::RenderState>(nullptr);
        previousRoot = vorn::engine::assetRoot();
        vorn::engine::setAssetRoot(std::string(MOSSFANG_SOURCE_DIR) + "/assets/");
        lights.set("ambientLight", glm::vec3(0.3f, 0.3f, 0.3f));
        lights.set("lights[0].color", glm::vec3(1.0f, 1.0f, 0.9f));
        lights.set("lights[0].direction", glm::normalize(glm::vec3(-1.0f, -1.0f, -1.0f)));
        lights.set("lights[1].color", glm::vec3(0.4f, 0.4f, 0.6f));
        lights.set("lights[1].direction", glm::normalize(glm::vec3(1.0f, 0.5f, -0.5f)));
        frontCamera();
    }

    void TearDown() override {
        if (context && context->ok()) {
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        }
        vorn::engine::setAssetRoot(previousRoot);
        state.reset();
        context.reset();
    }

    // Replaces the framebuffer by one of another size (and the render state with it, since a new
    // test context resets the GL state the render state caches).
    void resize(int width, int height) {
        state.reset();
        context = std::make_unique<testsupport::GlTestContext>(width, height);
        ASSERT_TRUE(context->ok()) << context->error();
        state = std::make_unique<vorn::rendering::RenderState>(nullptr);
    }

    // Looks at the ninja (standing on y = -5, head near y = 5) straight from the front, with an
    // orthographic lens 12 units across.
    void frontCamera() {
        eye = glm::vec3(0.0f, 0.0f, 30.0f);
        state->view = glm::lookAt(eye, glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
        state->projection = glm::ortho(-6.0f, 6.0f, -6.0f, 6.0f, 1.0f, 60.0f);
    }

    // Looks at the ninja from the front right and a little above, with a perspective lens.
    void portraitCamera(float aspect) {
        eye = glm::vec3(11.0f, 4.0f, 22.0f);
        state->view = glm::lookAt(eye, glm::vec3(0.0f, 0.2f, 0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
        state->projection = glm::perspective(glm::radians(30.0f), aspect, 1.0f, 100.0f);
    }

    // Clears to transparent black and draws the model as the renderer's opaque pass would.
    void draw(AnimatedModel& model, const glm::mat4& matrix = glm::mat4(1.0f)) {
        context->bind();
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        state->enableCap(GL_DEPTH_TEST);
        state->enableCap(GL_CULL_FACE);
        state->disableCap(GL_BLEND);
        lights.set("eyePos", eye);
        model.draw(*state, matrix, lights);
    }

    Coverage coverage() const {
        Coverage c;
        c.width = context->width();
        c.height = context->height();
        for (const glm::u8vec4& p : context->pixels())
            c.covered.push_back(p.a > 0);
        return c;
    }

    // Saves the framebuffer as a PNG (top row first) over an opaque background colour.
    bool save(const std::string& path,
              const glm::vec3& background = glm::vec3(0.16f, 0.1f, 0.05f)) const {
        const std::vector<glm::u8vec4> pixels = context->pixels();
        const int w = context->width();
        const int h = context->height();
        sf::Image image;
        image.create(static_cast<unsigned>(w), static_cast<unsigned>(h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const glm::u8vec4 p = pixels[static_cast<std::size_t>((h - 1 - y) * w + x)];
                const float a = p.a / 255.0f;
                const glm::vec3 c = glm::vec3(p.r, p.g, p.b) * a + background * 255.0f * (1.0f - a);
                image.setPixel(static_cast<unsigned>(x), static_cast<unsigned>(y),
                               sf::Color(static_cast<sf::Uint8>(c.r), static_cast<sf::Uint8>(c.g),
                                         static_cast<sf::Uint8>(c.b)));
            }
        return image.saveToFile(path);
    }

    // The ninja as the hero gets it, playing `segment`.
    std::unique_ptr<AnimatedModel> hero(const std::string& segment) {
        return AnimatedModel::createSkinned("models/ninjaAnimations.txt", segment);
    }

    std::unique_ptr<testsupport::GlTestContext> context;
    std::unique_ptr<vorn::rendering::RenderState> state;
    vorn::rendering::UniformSet lights;
    glm::vec3 eye{0.0f};
    std::string previousRoot;
};

} // namespace

// ---- import ---------------------------------------------------------------------------------

TEST_F(AnimatedModelGlTest, NinjaImportsWithItsSkeletonSegmentsAndSkinnedLayout) {
    const auto mesh = vorn::rendering::animatedMeshCache().get("models/ninjaAnimations.txt");
    ASSERT_NE(mesh, nullptr);
    const auto& skeleton = *mesh->skeleton;

    // The bones in depth-first pre-order from the skeleton root, each after its parent.
    const std::vector<std::string> names = {
        "root",   "hips",   "spine",     "chest",    "neck",   "head",      "scarf1",
        "scarf2", "scarf3", "upperArmR", "forearmR", "handR",  "upperArmL", "forearmL",
        "handL",  "thighR", "shinR",     "footR",    "thighL", "shinL",     "footL"};
    const std::vector<int> parents = {-1, 0, 1,  2,  3, 4,  4,  6, 7,  3, 9,
                                      10, 3, 12, 13, 1, 15, 16, 1, 18, 19};
    ASSERT_EQ(skeleton.bones.size(), 21u);
    for (std::size_t i = 0; i < skeleton.bones.size(); ++i) {
        EXPECT_EQ(skeleton.bones[i].name, names[i]);
        EXPECT_EQ(skeleton.bones[i].parent, parents[i]) << names[i];
        EXPECT_LT(skeleton.bones[i].parent, static_cast<int>(i));
        EXPECT_EQ(skeleton.boneIndex.at(names[i]), static_cast<int>(i));
    }
    EXPECT_EQ(skeleton.rootMatrix, glm::mat4(1.0f));
    const glm::vec3 head = skeleton.bones[5].bindPosition;
    EXPECT_NEAR(head.y, 13.35f, 1e-4f);
    const glm::vec3 handL = skeleton.bones[14].bindPosition;
    EXPECT_NEAR(handL.x, 1.6f, 1e-4f);
    EXPECT_NEAR(handL.y, 9.85f, 1e-4f);

    // One clip; every segment of the definition file lies within its keyframes.
    ASSERT_EQ(skeleton.clips.size(), 1u);
    const int keyframes = static_cast<int>(skeleton.firstClip().size());
    ASSERT_GT(keyframes, 100);
    for (const auto& keyframe : skeleton.firstClip())
        ASSERT_EQ(keyframe.rotations.size(), 21u);
    for (const std::string& name : ninjaSegments) {
        const vorn::rendering::AnimSegment* segment = skeleton.findSegment(name);
        ASSERT_NE(segment, nullptr) << name;
        EXPECT_GE(segment->startFrame, 0) << name;
        EXPECT_GT(segment->endFrame, segment->startFrame) << name;
        EXPECT_LT(segment->endFrame, keyframes) << name;
        EXPECT_GT(segment->secondsPerFrame, 0.0f) << name;
    }
    EXPECT_TRUE(skeleton.findSegment("idle")->loop);
    EXPECT_FALSE(skeleton.findSegment("punch")->loop);
    const vorn::rendering::AnimSegment* fallback = skeleton.findSegment("default");
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(fallback->endFrame, keyframes);

    // One part: the skinned layout with tangents, and the file's material.
    ASSERT_EQ(mesh->parts.size(), 1u);
    const auto& buffer = *mesh->parts[0].vertexBuffer;
    std::vector<std::string> layout;
    for (const auto& attribute : buffer.layout)
        layout.push_back(attribute.name);
    EXPECT_EQ(layout, (std::vector<std::string>{"pos", "UV", "normal", "tangent", "bitangent",
                                                "index", "weight"}));
    EXPECT_EQ(buffer.layout[5].type, static_cast<GLenum>(GL_INT));
    EXPECT_EQ(buffer.layout[5].components, 4);
    EXPECT_EQ(buffer.layout[6].type, static_cast<GLenum>(GL_FLOAT));
    EXPECT_EQ(buffer.layout[6].components, 4);
    ASSERT_GT(buffer.vertexCount, 0);
    EXPECT_EQ(buffer.vertexCount % 3, 0);

    // What went into the buffer: every vertex moves with bones of the skeleton, weights that
    // add up to one.
    std::vector<glm::ivec4> indices(static_cast<std::size_t>(buffer.vertexCount));
    std::vector<glm::vec4> weights(indices.size());
    glBindBuffer(GL_ARRAY_BUFFER, buffer.id());
    glGetBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(buffer.blockOffset(5)),
                       static_cast<GLsizeiptr>(buffer.blockSize(5)), indices.data());
    glGetBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(buffer.blockOffset(6)),
                       static_cast<GLsizeiptr>(buffer.blockSize(6)), weights.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    std::vector<bool> used(21, false);
    for (std::size_t v = 0; v < indices.size(); ++v) {
        const glm::vec4 w = weights[v];
        ASSERT_NEAR(w.x + w.y + w.z + w.w, 1.0f, 1e-3f) << "vertex " << v;
        for (int slot = 0; slot < 4; ++slot) {
            ASSERT_GE(indices[v][slot], 0);
            ASSERT_LT(indices[v][slot], 21);
            if (w[slot] > 0.0f)
                used[static_cast<std::size_t>(indices[v][slot])] = true;
        }
    }
    for (int b = 1; b < 21; ++b)
        EXPECT_TRUE(used[static_cast<std::size_t>(b)]) << "no vertex follows " << names[b];

    const auto& material = *mesh->parts[0].material;
    EXPECT_EQ(material.program,
              vorn::rendering::shaderProgramCache().get("shaders/texturedShaderProgram.txt"));
    ASSERT_EQ(material.textures.count("diffuseTex"), 1u);
    EXPECT_EQ(material.textures.at("diffuseTex"),
              vorn::rendering::textureCache().get("models/ninjaDiffuse.png"));
    EXPECT_GT(material.textures.at("diffuseTex")->width, 0);
    ASSERT_NE(material.uniforms.find("usingDiffuseTex"), nullptr);
    EXPECT_EQ(material.uniforms.find("usingDiffuseTex")->get<int>(), 1);

    // The bind pose stands on y = 5.75 and reaches y = 15.75 under the hood.
    ASSERT_TRUE(mesh->hasBounds);
    EXPECT_NEAR(mesh->boundsMin.y, 5.75f, 0.1f);
    EXPECT_NEAR(mesh->boundsMax.y, 15.75f, 0.3f);
}

TEST_F(AnimatedModelGlTest, CacheSharesMeshesAndInstancesKeepTheirSourceAlive) {
    auto& cache = vorn::rendering::animatedMeshCache();
    auto first = cache.get("models/ninjaAnimations.txt");
    EXPECT_EQ(cache.get("models/ninjaAnimations.txt"), first);
    // The model file imported directly is a mesh of its own, with only the "default" segment.
    auto direct = cache.get("models/ninja.gltf");
    ASSERT_NE(direct, first);
    EXPECT_EQ(direct->skeleton->bones.size(), 21u);
    EXPECT_EQ(direct->skeleton->segments.size(), 1u);
    EXPECT_NE(direct->skeleton->findSegment("default"), nullptr);

    AnimatedMesh instance = AnimatedMesh::instanceOf(first);
    AnimatedMesh* const original = first.get();
    first.reset();
    EXPECT_EQ(cache.peek("models/ninjaAnimations.txt").get(), original);
    EXPECT_EQ(instance.skeleton, original->skeleton);

    // Giving the instance its own program and normal map copies its materials: the cached mesh
    // keeps the textured program and no normal map.
    instance.setShaderProgram(
        vorn::rendering::shaderProgramCache().get(AnimatedModel::skinnedProgramName));
    instance.setTexture("normalMap",
                        vorn::rendering::textureCache().get(AnimatedModel::heroNormalMapName));
    EXPECT_NE(instance.parts[0].material, original->parts[0].material);
    EXPECT_EQ(original->parts[0].material->program,
              vorn::rendering::shaderProgramCache().get("shaders/texturedShaderProgram.txt"));
    EXPECT_EQ(original->parts[0].material->textures.count("normalMap"), 0u);
    EXPECT_EQ(instance.parts[0].material->textures.count("normalMap"), 1u);
    EXPECT_EQ(instance.parts[0].material->textures.count("diffuseTex"), 1u);

    // Once the instance goes, nothing holds the cached mesh any more.
    instance = AnimatedMesh();
    EXPECT_EQ(cache.peek("models/ninjaAnimations.txt"), nullptr);
}

TEST_F(AnimatedModelGlTest, SkinnedProgramLinksWithBonesAndTheLitOutputs) {
    DiagnosticsCapture errors;
    const auto program =
        vorn::rendering::shaderProgramCache().get(AnimatedModel::skinnedProgramName);
    EXPECT_EQ(errors.errText(), "");
    for (const char* name : {"bones[0]", "bones[20]", "bones[63]", "MVP", "M", "V", "eyePos",
                             "ambientLight", "lights[0].direction", "lights[0].color", "normalMap",
                             "diffuseTex", "usingDiffuseTex", "mat_diffuse"})
        EXPECT_GE(program->location(name), 0) << name;
    EXPECT_LT(program->location("bones[64]"), 0);
    EXPECT_EQ(glGetFragDataLocation(program->id(), "fragColor"), 0);
    EXPECT_EQ(glGetFragDataLocation(program->id(), "fragNormal"), 1);
    for (const char* input : {"pos", "UV", "normal", "tangent", "bitangent", "index", "weight"})
        EXPECT_GE(glGetAttribLocation(program->id(), input), 0) << input;
}

// ---- playback on the model ------------------------------------------------------------------

TEST_F(AnimatedModelGlTest, ModelPlaysSegmentsAndIgnoresUnknownNames) {
    auto model = hero("walking");
    EXPECT_TRUE(model->hasName("renderable"));
    EXPECT_TRUE(model->hasName("animatedModel"));
    EXPECT_TRUE(model->hasName("behavior"));
    EXPECT_EQ(model->rootOffset, AnimatedModel::heroRootOffset);
    auto* walking = dynamic_cast<vorn::rendering::AnimSegment*>(model->current.get());
    ASSERT_NE(walking, nullptr);
    EXPECT_EQ(walking->startFrame, model->skeleton->findSegment("walking")->startFrame);
    model->update(0.1f);
    EXPECT_NEAR(walking->time, 0.1f, 1e-6f);

    // Unknown names leave the playback tree as it is.
    EXPECT_FALSE(model->play("moonwalk"));
    EXPECT_FALSE(model->crossFade("moonwalk", 0.2f));
    EXPECT_EQ(model->current.get(), walking);

    EXPECT_TRUE(model->crossFade("punch", 0.1f));
    EXPECT_NE(dynamic_cast<vorn::rendering::AnimCrossFadeNode*>(model->current.get()), nullptr);
    model->update(0.05f);
    model->update(0.06f);
    auto* punch = dynamic_cast<vorn::rendering::AnimSegment*>(model->current.get());
    ASSERT_NE(punch, nullptr);
    EXPECT_EQ(punch->startFrame, model->skeleton->findSegment("punch")->startFrame);
    EXPECT_NEAR(punch->time, 0.11f, 1e-6f);

    EXPECT_TRUE(model->play("idle"));
    auto* idle = dynamic_cast<vorn::rendering::AnimSegment*>(model->current.get());
    ASSERT_NE(idle, nullptr);
    EXPECT_EQ(idle->time, 0.0f);
    EXPECT_EQ(model->computePose().size(), 21u);
}

// ---- pixels ---------------------------------------------------------------------------------

TEST_F(AnimatedModelGlTest, WalkingAtTwoTimesCoversDifferentPixels) {
    auto model = hero("walking");
    const auto* walking = model->skeleton->findSegment("walking");
    ASSERT_NE(walking, nullptr);
    draw(*model);
    const Coverage start = coverage();
    // A quarter of the stride later the other leg is forward.
    model->update(walking->length() * 0.5f);
    draw(*model);
    const Coverage later = coverage();
    EXPECT_GT(start.count(), 1500);
    EXPECT_GT(later.count(), 1500);
    EXPECT_GT(start.difference(later), 200) << "the two walking poses cover the same pixels";
    // The same time draws the same pixels again.
    model->play("walking");
    draw(*model);
    EXPECT_EQ(coverage().difference(start), 0);
}

TEST_F(AnimatedModelGlTest, IdleAtTimeZeroSitsWhereTheBindPosePutsIt) {
    // Held to the end: a material that leaves its program after the program GL has current was
    // deleted would make GL report an error at the end of the test.
    const auto skinnedProgram =
        vorn::rendering::shaderProgramCache().get(AnimatedModel::skinnedProgramName);
    // Reference: the cached mesh with its own (unskinned) textured program, which draws the
    // bind pose; the hero's root offset is applied by the model matrix instead.
    const auto cached = vorn::rendering::animatedMeshCache().get("models/ninjaAnimations.txt");
    AnimatedModel bindPose(*cached);
    draw(bindPose, glm::translate(glm::mat4(1.0f), AnimatedModel::heroRootOffset));
    const Coverage reference = coverage();
    ASSERT_GT(reference.count(), 1500);

    auto idle = hero("idle");
    draw(*idle);
    const Coverage skinned = coverage();
    // Same footing and height within a few pixels (the idle stance bends the knees a little),
    // same horizontal place, and mostly the same pixels.
    EXPECT_NEAR(skinned.rows().x, reference.rows().x, 2);
    EXPECT_NEAR(skinned.rows().y, reference.rows().y, 6);
    EXPECT_NEAR(skinned.centroid().x, reference.centroid().x, 1.5f);
    EXPECT_NEAR(skinned.centroid().y, reference.centroid().y, 4.0f);
    EXPECT_GT(skinned.overlap(reference), 0.7);

    // Without its root offset the skinned ninja would float 10.75 units (115 pixels) higher:
    // the match above depends on the bones carrying the offset.
    idle->rootOffset = glm::vec3(0.0f);
    draw(*idle);
    EXPECT_LT(coverage().overlap(reference), 0.1);
}

TEST_F(AnimatedModelGlTest, SkinnedShaderLightsTheNinjaFromItsLights) {
    auto idle = hero("idle");
    draw(*idle);
    const std::vector<glm::u8vec4> lit = context->pixels();
    lights.set("lights[0].color", glm::vec3(0.0f));
    lights.set("lights[1].color", glm::vec3(0.0f));
    draw(*idle);
    const std::vector<glm::u8vec4> ambient = context->pixels();
    long litSum = 0, ambientSum = 0;
    int covered = 0;
    for (std::size_t i = 0; i < lit.size(); ++i) {
        if (lit[i].a == 0)
            continue;
        ++covered;
        litSum += lit[i].r + lit[i].g + lit[i].b;
        ambientSum += ambient[i].r + ambient[i].g + ambient[i].b;
        ASSERT_EQ(ambient[i].a, lit[i].a);
    }
    ASSERT_GT(covered, 1500);
    // Ambient light alone (0.3) leaves the ninja much darker than with the two lights on.
    EXPECT_GT(litSum, ambientSum * 3 / 2);
    EXPECT_GT(ambientSum, 0);
}

TEST_F(AnimatedModelGlTest, WorldAdvancesAndTheRendererDrawsIt) {
    vorn::engine::Application app(state.get(), 20.0f, 60.0f, vorn::engine::assetRoot());
    auto world = std::make_shared<vorn::engine::World>();
    const auto ninja = world->createEntity();
    world->addComponent(ninja, new vorn::components::Transform());
    AnimatedModel* model = hero("walking").release();
    world->addComponent(ninja, model);
    const auto camera = world->createEntity();
    world->addComponent(camera,
                        new vorn::components::Transform(glm::translate(glm::mat4(1.0f), eye)));
    world->addComponent(camera, new vorn::components::Camera(state->projection));
    world->addComponent(new vorn::systems::Renderer(
        std::set<std::string>{}, 0.0f, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, lights));
    app.setWorld(world);
    context->bind();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    world->render(0.0f);
    const Coverage first = coverage();
    EXPECT_GT(first.count(), 1500);
    world->update(0.05f);
    world->update(0.05f);
    auto* segment = dynamic_cast<vorn::rendering::AnimSegment*>(model->current.get());
    ASSERT_NE(segment, nullptr);
    EXPECT_NEAR(segment->time, 0.1f, 1e-6f);
    context->bind();
    world->render(0.0f);
    EXPECT_GT(coverage().difference(first), 100);
    world.reset();
}

// ---- bad input ------------------------------------------------------------------------------

TEST_F(AnimatedModelGlTest, MissingOrCorruptModelGivesAnEmptyMeshThatDrawsNothing) {
    const std::string dir =
        ::testing::TempDir() + std::to_string(getpid()) + "_mossfang_animated_gl/";
    std::filesystem::create_directories(dir);
    const std::string corrupt = dir + "corrupt.gltf";
    {
        std::ofstream out(corrupt, std::ios::binary);
        out << "{ \"asset\": {\"version\": \"2.0\"}, \"buffers\": [{\"byteLength\": 99999, "
               "\"uri\": \"nowhere.bin\"}], \"meshes\": [ 17 ";
    }
    const std::string definition = dir + "brokenModel.txt";
    std::ofstream(definition) << "{ \"corrupt.gltf\" [ idle { 0 4 } ] }";

    struct Case {
        std::string label;
        std::function<std::shared_ptr<AnimatedMesh>()> load;
        std::string path;
    };
    const std::vector<Case> cases = {
        {"missing",
         [] { return vorn::rendering::animatedMeshCache().get("models/noSuchNinja.gltf"); },
         vorn::engine::assetRoot() + "models/noSuchNinja.gltf"},
        {"corrupt", [&] { return vorn::rendering::AnimatedMeshLoader::load(corrupt); }, corrupt},
        {"definition of a corrupt model",
         [&] { return vorn::rendering::AnimatedMeshLoader::load(definition); },
         dir + "corrupt.gltf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::shared_ptr<AnimatedMesh> mesh;
        {
            DiagnosticsCapture out;
            mesh = c.load();
            EXPECT_EQ(out.outText().rfind("Error parsing " + c.path + ": ", 0), 0u)
                << out.outText();
        }
        ASSERT_NE(mesh, nullptr);
        EXPECT_TRUE(mesh->parts.empty());
        EXPECT_TRUE(mesh->skeleton->bones.empty());
        AnimatedModel model(*mesh, "idle");
        model.update(0.1f);
        model.crossFade("idle", 0.2f);
        model.update(0.1f);
        draw(model);
        EXPECT_EQ(coverage().count(), 0);
    }
}

TEST_F(AnimatedModelGlTest, ProgramWithTooFewBonesGetsNoMoreMatricesThanItHolds) {
    // A program whose "bones" array has two entries: the upload is cut to two matrices (no GL
    // error), and the vertices that follow bone 0 still land where the pose puts them.
    const std::string dir =
        ::testing::TempDir() + std::to_string(getpid()) + "_mossfang_animated_gl/";
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "twoBones.vert")
        << "in vec3 pos;\nin ivec4 index;\nin vec4 weight;\nuniform mat4 bones[2];\n"
           "uniform mat4 MVP;\nvoid main() {\n"
           "  mat4 skin = bones[0] * weight.x + bones[min(index.y, 1)] * weight.y;\n"
           "  gl_Position = MVP * skin * vec4(pos, 1.0);\n}\n";
    std::ofstream(dir + "twoBones.frag")
        << "layout(location = 0) out vec4 colour;\nvoid main() { colour = vec4(1.0); }\n";
    std::ofstream(dir + "twoBones.txt")
        << "[ { type vertex key \"twoBones.vert\" data \"#version 330 core\\n\" }\n"
           "  { type fragment key \"twoBones.frag\" data \"#version 330 core\\n\" } ]\n";
    DiagnosticsCapture errors;
    const auto program = vorn::rendering::shaderProgramCache().getFullPath(dir + "twoBones.txt");
    ASSERT_GE(program->location("bones[1]"), 0) << errors.errText();
    AnimatedMesh mesh = AnimatedMesh::instanceOf(
        vorn::rendering::animatedMeshCache().get("models/ninjaAnimations.txt"));
    mesh.setShaderProgram(program);
    mesh.rootOffset = AnimatedModel::heroRootOffset;
    AnimatedModel model(mesh, "idle");
    draw(model);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_GT(coverage().count(), 100);
}

// ---- the segments, one picture each ---------------------------------------------------------

// Renders the middle frame of every segment of the ninja in a three-quarter view. Set
// MOSSFANG_WRITE_DOC_IMAGES=1 to write them to docs/assets/ninja_<segment>.png (otherwise they go
// to the test's temporary folder).
TEST_F(AnimatedModelGlTest, EverySegmentShowsItsOwnPoseAtItsMiddleFrame) {
    resize(256, 256);
    portraitCamera(1.0f);
    const char* write = std::getenv("MOSSFANG_WRITE_DOC_IMAGES");
    const std::string dir =
        write && std::string(write) == "1"
            ? std::string(MOSSFANG_SOURCE_DIR) + "/docs/assets/"
            : ::testing::TempDir() + std::to_string(getpid()) + "_mossfang_animated_gl/";
    std::filesystem::create_directories(dir);
    std::vector<Coverage> poses;
    for (const std::string& name : ninjaSegments) {
        auto model = hero(name);
        const auto* segment = model->skeleton->findSegment(name);
        ASSERT_NE(segment, nullptr) << name;
        // The middle of the middle frame.
        const int middle = (segment->endFrame - segment->startFrame) / 2;
        model->update((static_cast<float>(middle) + 0.5f) * segment->secondsPerFrame);
        auto* playing = dynamic_cast<vorn::rendering::AnimSegment*>(model->current.get());
        ASSERT_NE(playing, nullptr);
        EXPECT_EQ(playing->currentFrame(), segment->startFrame + middle) << name;
        draw(*model);
        poses.push_back(coverage());
        EXPECT_GT(poses.back().count(), 3000) << name;
        EXPECT_TRUE(save(dir + "ninja_" + name + ".png")) << name;
    }
    for (std::size_t a = 0; a < poses.size(); ++a)
        for (std::size_t b = a + 1; b < poses.size(); ++b)
            EXPECT_GT(poses[a].difference(poses[b]), 150)
                << ninjaSegments[a] << " and " << ninjaSegments[b] << " look the same";
}
