// The post-processing renderer's frame at the window's size, 800 x 600, on this machine's OpenGL:
// a play-area-like scene of 20 lit models with the 1,000-particle ambient cloud and a dust
// emitter, drawn through FBOParticleRenderer, beside the same scene through a plain Renderer and
// one bare full-screen RGBA16F pass as the unit of cost. Every iteration ends with glFinish, so
// the times are the GPU's (Mesa llvmpipe under Xvfb here); the frame benchmark also reports the
// mean time of each of the eight steps from GL timer queries, in milliseconds. "CPU" is the time
// of the whole process, rasteriser threads included: on a busy machine it varies far less than
// the wall-clock time, so comparisons use it (and the step times as shares of the frame).
//
// Needs an X display: run it under xvfb-run. MOSSFANG_BENCH_ASSETS=DIR/ loads the shaders from DIR.
#include "../tests/support/GlTestContext.cpp"

#include "engine/Application.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "particles/ParticleEffects.hpp"
#include "rendering/Camera.hpp"
#include "rendering/FBOParticleRenderer.hpp"
#include "rendering/FrameBufferObject.hpp"
#include "rendering/FullScreenQuad.hpp"
#include "rendering/Mesh.hpp"
#include "rendering/Model.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/ShaderProgram.hpp"

#include <SFML/Graphics/Image.hpp>
#include <benchmark/benchmark.h>
#include <glm/gtc/matrix_transform.hpp>

#include <cstdlib>
#include <iostream>

namespace {

// The asset root: the source tree's, or MOSSFANG_BENCH_ASSETS (to compare against the shaders of
// an earlier version kept elsewhere).
std::string assetRoot() {
    const char* other = std::getenv("MOSSFANG_BENCH_ASSETS");
    return other ? std::string(other) : std::string(MOSSFANG_SOURCE_DIR) + "/assets/";
}

constexpr int width = 800;
constexpr int height = 600;

const char* const modelNames[] = {"models/Platform3x3.obj",
                                  "models/SmallPlatform.obj",
                                  "models/boulder.obj",
                                  "models/antEgg.obj",
                                  "models/candy_corn.obj",
                                  "models/mushroom_cluster.obj",
                                  "models/SugarPile.obj",
                                  "models/flatPlatformLen3.obj",
                                  "models/rock_platform.obj",
                                  "models/shinyThing.obj",
                                  "models/spikes.obj",
                                  "models/worker_ant.obj",
                                  "models/breakable.obj",
                                  "models/jumpUpgrade.obj",
                                  "models/mushroom_single.obj",
                                  "models/CrossedSwords.obj",
                                  "models/grasshopper.obj",
                                  "models/soldier_ant.obj",
                                  "models/wasp.obj",
                                  "models/spider.obj"};

// The scene: 20 models in a 5 x 4 wall about 150 units wide, each scaled to about 24 units, under
// the play areas' lights, seen from 160 units away; the ambient cloud around the middle and dust
// at the floor.
class Scene {
public:
    // `single`: one model in the middle instead of the 20 (the documentation's picture).
    explicit Scene(bool post, bool particles = true, bool single = false) : target(width, height) {
        if (!target.ok())
            return;
        std::srand(1);
        state = std::make_unique<vorn::rendering::RenderState>(nullptr);
        app = std::make_unique<vorn::engine::Application>(state.get(), 20.0f, 60.0f, assetRoot());
        world = std::make_shared<vorn::engine::World>();
        using vorn::components::Transform;
        int i = 0;
        const std::vector<const char*> names =
            single ? std::vector<const char*>{"models/mushroom_cluster.obj"}
                   : std::vector<const char*>(std::begin(modelNames), std::end(modelNames));
        for (const char* name : names) {
            const auto mesh = vorn::rendering::meshCache().get(name);
            if (!mesh || mesh->parts.empty())
                continue;
            const glm::vec3 size =
                mesh->hasBounds ? mesh->boundsMax - mesh->boundsMin : glm::vec3(2.0f);
            const glm::vec3 centre =
                mesh->hasBounds ? (mesh->boundsMax + mesh->boundsMin) * 0.5f : glm::vec3(0.0f);
            const float scale =
                (single ? 80.0f : 24.0f) / std::max({size.x, size.y, size.z, 1e-3f});
            const glm::vec3 place = single ? glm::vec3(0.0f)
                                           : glm::vec3(-60.0f + 30.0f * float(i % 5),
                                                       -40.0f + 27.0f * float(i / 5), 0.0f);
            const auto e = world->createEntity();
            world->addComponent(
                e, new Transform(glm::translate(glm::mat4(1.0f), place) *
                                 glm::rotate(glm::mat4(1.0f), 0.5f, glm::vec3(0, 1, 0)) *
                                 glm::scale(glm::mat4(1.0f), glm::vec3(scale)) *
                                 glm::translate(glm::mat4(1.0f), -centre)));
            world->addComponent(e, new vorn::components::Label("gameSpace"));
            world->addComponent(e, new vorn::components::Model(vorn::rendering::makeParts(name)));
            ++i;
        }
        const auto camera = world->createEntity();
        world->addComponent(camera,
                            new Transform(glm::inverse(glm::lookAt(
                                glm::vec3(0, 10, 160), glm::vec3(0, 0, 0), glm::vec3(0, 1, 0)))));
        world->addComponent(camera, new vorn::components::Label("gameSpace"));
        world->addComponent(camera, new vorn::components::Camera(glm::perspective(
                                        0.785f, float(width) / float(height), 1.0f, 1000.0f)));
        if (particles) {
            vorn::particles::ParticleEffects::createAmbientCloud(*world, glm::vec3(0, 0, 20));
            vorn::particles::ParticleEffects::createDust(*world, glm::vec3(0, -52, 10));
            if (single)
                vorn::particles::ParticleEffects::createSugarSparkle(*world, glm::vec3(0, -20, 30));
        }
        vorn::rendering::UniformSet lights;
        lights.set("ambientLight", glm::vec3(0.2f, 0.1f, 0.2f));
        lights.set("lights[0].color", glm::vec3(2.0f, 2.0f, 1.2f));
        lights.set("lights[0].direction", glm::normalize(glm::vec3(-1.0f, -1.0f, -0.5f)));
        lights.set("lights[1].color", glm::vec3(1.2f, 0.6f, 0.0f));
        lights.set("lights[1].direction", glm::normalize(glm::vec3(1.0f, -1.0f, 0.0f)));
        if (post) {
            renderer = new FBOParticleRenderer("gameSpace", 0.0f, lights);
            world->addComponent(renderer);
        } else {
            world->addComponent(new vorn::systems::Renderer(
                "gameSpace", 0.0f, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, lights));
        }
        target.bind();
        // The play areas' clear colour, for the plain renderer (the post-processing one sets it).
        glClearColor(0.12f, 0.075f, 0.03f, 1.0f);
        app->setWorld(world);
        // Let the particle systems fill up before measuring.
        for (int frame = 0; frame < 120; ++frame)
            world->update(1.0f / 60.0f);
    }

    bool ok() const { return target.ok() && world != nullptr; }

    void frame() {
        target.bind();
        world->update(1.0f / 60.0f);
        world->render(1.0f / 60.0f);
        glFinish();
    }

    testsupport::GlTestContext target;
    std::unique_ptr<vorn::rendering::RenderState> state;
    std::unique_ptr<vorn::engine::Application> app;
    std::shared_ptr<vorn::engine::World> world;
    FBOParticleRenderer* renderer = nullptr;
};

// Writes the documentation's picture: the single-model scene drawn plainly (left) and through
// the post-processing renderer (right), side by side, into `file`.
bool writePictures(const std::string& file) {
    sf::Image picture;
    picture.create(2 * width, height);
    for (const bool post : {false, true}) {
        Scene scene(post, true, true);
        if (!scene.ok())
            return false;
        scene.frame();
        const std::vector<glm::u8vec4> pixels = scene.target.pixels();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const glm::u8vec4 p = pixels[static_cast<size_t>((height - 1 - y) * width + x)];
                picture.setPixel(static_cast<unsigned>(x + (post ? width : 0)),
                                 static_cast<unsigned>(y), sf::Color(p.r, p.g, p.b, 255));
            }
    }
    return picture.saveToFile(file);
}

void reportFrames(benchmark::State& st) {
    st.counters["fps"] =
        benchmark::Counter(static_cast<double>(st.iterations()), benchmark::Counter::kIsRate);
}

// One bare full-screen pass: an 800 x 600 texture drawn into a target of the same size. The
// arguments pick the formats: source RGBA16F (1) or RGBA8 (0); target RGBA16F (0), RGBA8 (1) or a
// 4-sample RGBA8 renderbuffer (2), which is what the window is for the final composite. Their
// ratios say what the frame's formats and the window's antialiasing cost per full-screen pass.
void BM_FullScreenPass(benchmark::State& st) {
    const bool hdrSource = st.range(0) != 0;
    const int targetKind = static_cast<int>(st.range(1));
    testsupport::GlTestContext context(width, height);
    if (!context.ok()) {
        st.SkipWithError(context.error().c_str());
        return;
    }
    vorn::engine::setAssetRoot(assetRoot());
    vorn::rendering::RenderState state(nullptr);
    vorn::rendering::FrameBufferObject source;
    source.resize(width, height);
    source.addColorAttachments(1, hdrSource, true);
    vorn::rendering::FrameBufferObject target;
    GLuint multisampled = 0;
    GLuint multisampledBuffer = 0;
    if (targetKind == 2) {
        glGenFramebuffers(1, &multisampled);
        glGenRenderbuffers(1, &multisampledBuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, multisampledBuffer);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, 4, GL_RGBA8, width, height);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, multisampled);
        glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  multisampledBuffer);
    } else {
        target.resize(width, height);
        target.addColorAttachments(1, targetKind == 0, true);
        target.bind();
    }
    const auto program =
        vorn::rendering::shaderProgramCache().get("shaders/particleRender/drawShader.txt");
    state.useProgram(program.get());
    program->bindTexture(state, source.colorTexture(0), "diffuseTex");
    glViewport(0, 0, width, height);
    for (auto _ : st) {
        vorn::rendering::drawFullScreenQuad(state);
        glFinish();
    }
    reportFrames(st);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDeleteRenderbuffers(1, &multisampledBuffer);
    glDeleteFramebuffers(1, &multisampled);
}

void frameBenchmark(benchmark::State& st, bool post, bool particles,
                    bool combinedComposite = false) {
    Scene scene(post, particles);
    if (!scene.ok()) {
        st.SkipWithError("no OpenGL context");
        return;
    }
    if (scene.renderer)
        scene.renderer->combinedComposite = combinedComposite;
    for (int warm = 0; warm < 3; ++warm)
        scene.frame();
    if (scene.renderer)
        scene.renderer->setProfiling(true);
    for (auto _ : st)
        scene.frame();
    reportFrames(st);
    if (scene.renderer) {
        scene.renderer->profile()->collectAll();
        for (int step = 0; step < FBOParticleRenderer::stepCount; ++step)
            st.counters[FBOParticleRenderer::stepName(step)] =
                scene.renderer->profile()->meanMilliseconds(step);
    }
}

void BM_PostFrame(benchmark::State& st) {
    frameBenchmark(st, true, true);
}
// The same frame with the composite as one draw of the lit scene, the bloom and the solid
// particles.
void BM_PostFrameOneDrawComposite(benchmark::State& st) {
    frameBenchmark(st, true, true, true);
}
void BM_PostFrameWithoutParticles(benchmark::State& st) {
    frameBenchmark(st, true, false);
}
void BM_PlainFrame(benchmark::State& st) {
    frameBenchmark(st, false, true);
}

} // namespace

BENCHMARK(BM_FullScreenPass)
    ->ArgNames({"hdrSource", "target"})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({1, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->MinTime(1.0);
BENCHMARK(BM_PlainFrame)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->MinTime(2.0);
BENCHMARK(BM_PostFrame)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->MinTime(2.0);
BENCHMARK(BM_PostFrameOneDrawComposite)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->MinTime(2.0);
BENCHMARK(BM_PostFrameWithoutParticles)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->MinTime(2.0);

// `--pictures FILE` writes the documentation's picture and exits; anything else is Google
// Benchmark's command line.
int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--pictures") {
        if (!writePictures(argv[2])) {
            std::cerr << "could not write " << argv[2] << "\n";
            return 1;
        }
        std::cout << "wrote " << argv[2] << "\n";
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
