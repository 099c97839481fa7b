// Renderer costs: one frame of 1,000 models that share one mesh and one material, measured as CPU
// time per drawn model and as the GL calls one Renderer::render issues.
//
// The benchmark draws into an off-screen framebuffer on the same OpenGL 3.3 core context the GL
// tests use, and counts calls with the tests' counting wrapper (both compiled in here). Needs an
// X display: run it under xvfb-run.
#include "../tests/rendering/gl/GlCallCounter.cpp"
#include "../tests/support/GlTestContext.cpp"

#include "engine/Application.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "rendering/Camera.hpp"
#include "rendering/Mesh.hpp"
#include "rendering/Model.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/Renderer.hpp"
#include "rendering/ResourceCaches.hpp"

#include <SFML/Graphics/Image.hpp>
#include <benchmark/benchmark.h>
#include <glm/gtc/matrix_transform.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

constexpr int modelCount = 1000;

// A lit, textured scene of 1,000 crates in a 40 x 25 grid under a perspective camera, with the
// game's lights: every model shares the cached mesh, its buffer, its material and its texture.
class Scene {
public:
    Scene() : target(320, 240) {
        if (!target.ok())
            return;
        state = std::make_unique<vorn::rendering::RenderState>(nullptr);
        app = std::make_unique<vorn::engine::Application>(
            state.get(), 20.0f, 60.0f, std::string(MOSSFANG_SOURCE_DIR) + "/assets/");

        const std::string dir =
            std::filesystem::temp_directory_path().string() + "/mossfang_bench/";
        std::filesystem::create_directories(dir);
        sf::Image image;
        image.create(8, 8, sf::Color(180, 120, 60));
        image.saveToFile(dir + "crate.png");
        std::ofstream(dir + "crate.mtl") << "newmtl wood\nKd 1 1 1\nKs 0.2 0.2 0.2\nNs 20\n"
                                            "map_Kd crate.png\n";
        std::ofstream obj(dir + "crate.obj");
        obj << "mtllib crate.mtl\nusemtl wood\n";
        for (int i = 0; i < 8; ++i)
            obj << "v " << (i & 1 ? 0.4 : -0.4) << ' ' << (i & 2 ? 0.4 : -0.4) << ' '
                << (i & 4 ? 0.4 : -0.4) << "\n";
        obj << "vn 0 0 1\nvt 0 0\nvt 1 0\nvt 1 1\n";
        const int faces[12][3] = {{1, 2, 4}, {1, 4, 3}, {5, 7, 8}, {5, 8, 6}, {1, 5, 6}, {1, 6, 2},
                                  {3, 4, 8}, {3, 8, 7}, {1, 3, 7}, {1, 7, 5}, {2, 6, 8}, {2, 8, 4}};
        for (const auto& f : faces)
            obj << "f " << f[0] << "/1/1 " << f[1] << "/2/1 " << f[2] << "/3/1\n";
        obj.close();
        mesh = vorn::rendering::meshCache().getFullPath(dir + "crate.obj");

        world = std::make_shared<vorn::engine::World>();
        for (int i = 0; i < modelCount; ++i) {
            const auto e = world->createEntity();
            const glm::vec3 at(float(i % 40) - 19.5f, float(i / 40) - 12.0f, 0.0f);
            world->addComponent(
                e, new vorn::components::Transform(glm::translate(glm::mat4(1.0f), at)));
            world->addComponent(e, new vorn::components::Model(mesh->parts));
        }
        const auto camera = world->createEntity();
        world->addComponent(camera, new vorn::components::Transform(
                                        glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, 40))));
        world->addComponent(camera, new vorn::components::Camera(glm::perspective(
                                        glm::radians(45.0f), 4.0f / 3.0f, 0.1f, 1000.0f)));
        vorn::rendering::UniformSet lights;
        lights.set("ambientLight", glm::vec3(0.2f, 0.1f, 0.2f));
        lights.set("lights[0].color", glm::vec3(2.0f, 2.0f, 1.2f));
        lights.set("lights[0].direction", glm::vec3(-0.6667f, -0.6667f, -0.3333f));
        world->addComponent(new vorn::systems::Renderer(
            std::set<std::string>{}, 0.0f, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, lights));
        app->setWorld(world);
        frame(); // first frame: vertex arrays are built, the material is uploaded
        glFinish();
    }

    ~Scene() {
        world.reset();
        app.reset();
        state.reset();
    }

    bool ok() const { return target.ok() && mesh && !mesh->parts.empty(); }
    const std::string& error() const { return target.error(); }

    void frame() {
        target.bind();
        world->render(1.0f / 60.0f);
    }

private:
    testsupport::GlTestContext target;
    std::unique_ptr<vorn::rendering::RenderState> state;
    std::unique_ptr<vorn::engine::Application> app;
    std::shared_ptr<vorn::rendering::Mesh> mesh;
    std::shared_ptr<vorn::engine::World> world;
};

Scene& scene() {
    static Scene instance;
    return instance;
}

bool ready(benchmark::State& state) {
    if (scene().ok())
        return true;
    state.SkipWithError(("no GL scene: " + scene().error()).c_str());
    return false;
}

void addPerModelCounter(benchmark::State& state) {
    // CPU time divided by the models drawn: the cost of one model.
    state.counters["cpu_per_model"] = benchmark::Counter(
        modelCount, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// One Renderer::render of the whole scene, with Mesa doing its share of each draw call on this
// thread (llvmpipe's rasterizer threads are not counted in this thread's CPU time).
void BM_RenderThousandSharedModels(benchmark::State& state) {
    if (!ready(state))
        return;
    for (auto _ : state)
        scene().frame();
    glFinish();
    addPerModelCounter(state);
}
BENCHMARK(BM_RenderThousandSharedModels)->Unit(benchmark::kMillisecond);

// The same frame with glDrawArrays counted but not passed on: the engine's own CPU work (walking
// the entities, matrices, material and uniform calls) without the driver's vertex processing.
void BM_RenderThousandSharedModelsWithoutDriverDraws(benchmark::State& state) {
    if (!ready(state))
        return;
    testsupport::GlCallCounter counter;
    counter.suppressDraws(true);
    for (auto _ : state)
        scene().frame();
    counter.suppressDraws(false);
    addPerModelCounter(state);
}
BENCHMARK(BM_RenderThousandSharedModelsWithoutDriverDraws)->Unit(benchmark::kMillisecond);

// The GL calls of one frame, by function, reported as counters (calls per frame).
void BM_GlCallsPerRender(benchmark::State& state) {
    if (!ready(state))
        return;
    testsupport::GlCallCounter counter;
    int frames = 0;
    for (auto _ : state) {
        scene().frame();
        ++frames;
    }
    for (const auto& [function, calls] : counter.counts())
        state.counters[function] = double(calls) / frames;
    state.counters["all_calls"] = double(counter.total()) / frames;
    state.counters["uniform_calls"] = double(counter.uniformCalls()) / frames;
    // Per frame, everything beyond the per-model matrices, vertex array binds and draws: the
    // program switch, per-draw and material uploads, texture binds and capability changes.
    const double perModel = counter.count("glUniformMatrix4fv") +
                            counter.count("glBindVertexArray") + counter.count("glDrawArrays");
    state.counters["calls_not_per_model"] = (counter.total() - perModel) / frames;
}
BENCHMARK(BM_GlCallsPerRender)->Iterations(20);

} // namespace

BENCHMARK_MAIN();
