// One update of an area holding 20 worker ants that crawl round one free-standing platform, all in
// the same sense and spread along its whole outline (top, sides and underside), with the area's
// gravity and the rigid-body system: everything a frame of crawling costs, chirps included (played
// into OpenAL Soft's null output). The ants keep their spacing, so every frame looks like the last;
// the "onPlatform" counter shows that they still cling after the run.
#include "audio/SoundTable.hpp"
#include "components/AntBehaviour.hpp"
#include "engine/Application.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "physics/CircleCollider.hpp"
#include "physics/Gravity.hpp"
#include "physics/PolygonCollider.hpp"
#include "physics/RigidBody.hpp"

#include <benchmark/benchmark.h>
#include <glm/gtc/matrix_transform.hpp>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using vorn::components::AntBehaviour;
using vorn::components::Label;
using vorn::components::RigidBody;
using vorn::components::Transform;
using vorn::engine::EntityHandle;

constexpr float dt = 1.0f / 60.0f;
constexpr float halfWidth = 60.0f;
constexpr float halfHeight = 15.0f;
constexpr float antRadius = 2.5f;
constexpr int antCount = 20;

struct AntLoop {
    vorn::engine::Application app{nullptr, 20.0f, 60.0f, vorn::engine::assetRoot()};
    std::shared_ptr<vorn::engine::World> world = std::make_shared<vorn::engine::World>();
    std::vector<AntBehaviour*> ants;

    AntLoop() {
        app.setWorld(world);
        world->addComponent(new vorn::systems::Gravity(0.0f, -40.0f, 0.0f, "hasGravity"));
        const EntityHandle platform = at(0.0f, 0.0f);
        world->addComponent(
            platform, new vorn::components::PolygonCollider(0.0f, -halfWidth, -halfHeight,
                                                            2 * halfWidth, 2 * halfHeight, 1, 1));
        world->addComponent(platform, new RigidBody(1.0f, true, 1.0f, 0, 0, 0));
        world->addComponent(platform, new Label("platform"));
        world->addComponent(platform, new Label("staticBody"));
        // Evenly along the outline: 8 on the top, 8 under the underside, 2 on each side, each
        // sunk a little into the platform so that it holds on from the first frame.
        const float top = halfHeight + antRadius - 0.2f;
        const float side = halfWidth + antRadius - 0.2f;
        for (int i = 0; i < 8; ++i) {
            const float x = -halfWidth + 7.5f + 15.0f * static_cast<float>(i);
            addAnt(x, top);
            addAnt(x, -top);
        }
        for (const float y : {-7.5f, 7.5f}) {
            addAnt(-side, y);
            addAnt(side, y);
        }
        // Let every ant find its surface and come up to speed.
        for (int i = 0; i < 120; ++i)
            world->update(dt);
    }

    EntityHandle at(float x, float y) {
        const EntityHandle e = world->createEntity();
        world->addComponent(e, new Transform(glm::translate(glm::mat4(1.0f), glm::vec3(x, y, 0))));
        return e;
    }

    void addAnt(float x, float y) {
        const EntityHandle ant = at(x, y);
        world->addComponent(ant, new vorn::components::CircleCollider(antRadius));
        world->addComponent(ant, new RigidBody(100.0f, false, 0.0f, 0, 0, 0));
        world->addComponent(ant, new Label("hasGravity"));
        auto* crawl = new AntBehaviour(true, 10.0f, 0.2f, 0.5f, 10.0f);
        world->addComponent(ant, crawl);
        ants.push_back(crawl);
    }

    int onPlatform() const {
        int n = 0;
        for (const AntBehaviour* ant : ants)
            n += ant->onPlatform ? 1 : 0;
        return n;
    }
};

void BM_TwentyAntsCrawlingAPlatformLoop(benchmark::State& state) {
    std::srand(1);
    AntLoop loop;
    for (auto _ : state)
        loop.world->update(dt);
    state.counters["onPlatform"] = loop.onPlatform();
    state.counters["ants"] = antCount;
}
BENCHMARK(BM_TwentyAntsCrawlingAPlatformLoop)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    // Chirps go to OpenAL Soft's null output; the sounds come from the repository's assets.
    ::setenv("ALSOFT_CONF", MOSSFANG_SOURCE_DIR "/scripts/openal-null.conf", 1);
    vorn::engine::setAssetRoot(MOSSFANG_SOURCE_DIR "/assets/");
    vorn::audio::registerSoundTable();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
