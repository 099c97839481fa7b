// Skeletal animation costs of the ninja: the pose computed and uploaded for one draw (target: at
// most 20 microseconds), and the import of the animated model (target: at most 150 ms).
//
// Needs an X display for its OpenGL context: run under xvfb-run -a -s "-screen 0 1024x768x24".

#include "engine/AssetRoot.hpp"
#include "rendering/AnimCrossFadeNode.hpp"
#include "rendering/AnimatedMesh.hpp"
#include "rendering/AnimatedMeshCache.hpp"
#include "rendering/AnimatedMeshImporter.hpp"
#include "rendering/AnimatedMeshLoader.hpp"
#include "rendering/AnimatedModel.hpp"
#include "rendering/GlewInitError.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/Texture.hpp"

#include <SFML/Window/Context.hpp>
#include <benchmark/benchmark.h>
#include <glm/gtc/type_ptr.hpp>

#include <cstdlib>
#include <memory>
#include <string>

using vorn::components::AnimatedModel;

namespace {

const std::string definition = "models/ninjaAnimations.txt";

// The process's OpenGL context, made once; "" when it is ready, else why not.
const std::string& glContext() {
    static std::unique_ptr<sf::Context> context;
    static const std::string failure = []() -> std::string {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            return "no X display: run under xvfb-run";
        context = std::make_unique<sf::Context>(
            sf::ContextSettings(24, 8, 0, 3, 3, sf::ContextSettings::Core), 1, 1);
        if (!context->setActive(true))
            return "could not activate an OpenGL context";
        try {
            vorn::rendering::initializeGlew();
        } catch (const std::exception& e) {
            return e.what();
        }
        vorn::engine::setAssetRoot(std::string(MOSSFANG_SOURCE_DIR) + "/assets/");
        return "";
    }();
    return failure;
}

// Advancing playback and computing the 21 skinning matrices, without GL.
void BM_NinjaPoseCompute(benchmark::State& state) {
    if (!glContext().empty())
        return state.SkipWithError(glContext().c_str());
    auto model = AnimatedModel::createSkinned(definition, "walking");
    for (auto _ : state) {
        model->update(1.0f / 60.0f);
        benchmark::DoNotOptimize(model->computePose().data());
    }
}
BENCHMARK(BM_NinjaPoseCompute);

// What one draw spends on the pose: advance, compute, and upload the matrices into "bones" of
// the skinned program (current, as during a draw). `range(0)` = 1 measures it during a
// cross-fade, which blends every bone of two segments.
void BM_NinjaPoseComputeAndUpload(benchmark::State& state) {
    if (!glContext().empty())
        return state.SkipWithError(glContext().c_str());
    auto model = AnimatedModel::createSkinned(definition, "walking");
    const auto program =
        vorn::rendering::shaderProgramCache().get(AnimatedModel::skinnedProgramName);
    glUseProgram(program->id());
    const GLint bones = program->location("bones[0]");
    if (bones < 0)
        return state.SkipWithError("the skinned program has no bones");
    const bool fading = state.range(0) != 0;
    for (auto _ : state) {
        if (fading && !dynamic_cast<vorn::rendering::AnimCrossFadeNode*>(model->current.get()))
            model->crossFade(model->skeleton->findSegment("idle") ? "idle" : "default", 10.0f);
        model->update(1.0f / 60.0f);
        const std::vector<glm::mat4>& skin = model->computePose();
        glUniformMatrix4fv(bones, static_cast<GLsizei>(skin.size()), GL_FALSE,
                           glm::value_ptr(skin[0]));
    }
    glFinish();
    glUseProgram(0);
}
BENCHMARK(BM_NinjaPoseComputeAndUpload)->Arg(0)->Arg(1);

// A complete import of the ninja through its definition file: Assimp, conversion, vertex
// buffer upload and materials (program and textures are already loaded, as in a running game).
void BM_NinjaImport(benchmark::State& state) {
    if (!glContext().empty())
        return state.SkipWithError(glContext().c_str());
    const auto program =
        vorn::rendering::shaderProgramCache().get("shaders/texturedShaderProgram.txt");
    const auto texture = vorn::rendering::textureCache().get("models/ninjaDiffuse.png");
    const std::string path = vorn::engine::assetRoot() + definition;
    for (auto _ : state) {
        auto mesh = vorn::rendering::AnimatedMeshLoader::load(path);
        benchmark::DoNotOptimize(mesh.get());
    }
    state.SetLabel("definition file + model");
}
BENCHMARK(BM_NinjaImport)->Unit(benchmark::kMillisecond);

// The Assimp read and conversion alone (no GL).
void BM_NinjaImportCpuOnly(benchmark::State& state) {
    if (!glContext().empty())
        return state.SkipWithError(glContext().c_str());
    const std::string path = vorn::engine::assetRoot() + "models/ninja.gltf";
    for (auto _ : state) {
        auto result = vorn::rendering::AnimatedMeshImporter::readFile(path);
        benchmark::DoNotOptimize(result.meshes.data());
    }
}
BENCHMARK(BM_NinjaImportCpuOnly)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
